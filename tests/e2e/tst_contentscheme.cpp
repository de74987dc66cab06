// SPDX-License-Identifier: GPL-3.0-or-later
// How the content folder is served: what maps in and out, what never leaves the folder.
#include "platform/qt/contentscheme.h"

#include <QTest>

using namespace Juanzong;

class ContentSchemeTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void urlFor_data();
    void urlFor();
    void pathFor_data();
    void pathFor();
    void htmlContentType_data();
    void htmlContentType();
    void memoryPages_keepTheFilesFolder();
};

namespace {
const QString Root = u"/opt/jz/ws/"_qs;
ContentSchemeHandler handler()
{
    return ContentSchemeHandler([] { return Root; });
}
} // namespace

void ContentSchemeTest::urlFor_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("url");
    QTest::newRow("page") << u"/opt/jz/ws/wszzgf.html"_qs << u"juanzong://ws/wszzgf.html"_qs;
    QTest::newRow("doubled separator at a root") << u"/opt/jz//ws/index.html"_qs << u"juanzong://ws/index.html"_qs;
    QTest::newRow("outside the folder") << u"/opt/jz/black.she"_qs << QString();
    QTest::newRow("sibling with the same prefix") << u"/opt/jz/ws2/a.html"_qs << QString();
    QTest::newRow("climbing out") << u"/opt/jz/ws/../secret.html"_qs << QString();
}

void ContentSchemeTest::urlFor()
{
    QFETCH(QString, path);
    QFETCH(QString, url);
    QCOMPARE(handler().urlFor(path).toString(), url);
}

void ContentSchemeTest::pathFor_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("path");
    QTest::newRow("page") << u"juanzong://ws/juanzongfanben-5.html"_qs << u"/opt/jz/ws/juanzongfanben-5.html"_qs;
    QTest::newRow("anchor ignored") << u"juanzong://ws/a.html#ws2"_qs << u"/opt/jz/ws/a.html"_qs;
    QTest::newRow("dot segments that stay inside") << u"juanzong://ws/x/../a.html"_qs << u"/opt/jz/ws/a.html"_qs;
    QTest::newRow("escaped climb") << u"juanzong://ws/%2e%2e/%2e%2e/etc/passwd"_qs << QString();
    QTest::newRow("encoded slash climb") << u"juanzong://ws/..%2f..%2fetc%2fpasswd"_qs << QString();
    QTest::newRow("folder itself") << u"juanzong://ws/"_qs << QString();
    QTest::newRow("other host") << u"juanzong://other/a.html"_qs << QString();
    QTest::newRow("other scheme") << u"file:///opt/jz/ws/a.html"_qs << QString();
}

void ContentSchemeTest::pathFor()
{
    QFETCH(QString, url);
    QFETCH(QString, path);
    QCOMPARE(handler().pathFor(QUrl(url)), path);
}

void ContentSchemeTest::htmlContentType_data()
{
    QTest::addColumn<QByteArray>("head");
    QTest::addColumn<QByteArray>("type");
    const QByteArray gbk = "text/html;charset=GBK";
    QTest::newRow("undeclared") << QByteArray("<html><head><title>x</title></head>") << gbk;
    QTest::newRow("meta charset") << QByteArray("<html><HEAD><META CHARSET=\"utf-8\">") << QByteArray("text/html");
    QTest::newRow("http-equiv") << QByteArray("<meta http-equiv='Content-Type' content='text/html; charset=big5'/>")
                                << QByteArray("text/html");
    QTest::newRow("content type without charset, as result pages have")
        << QByteArray("<html><head><meta http-equiv='Content-Type' content='text/html' />") << gbk;
    QTest::newRow("charset only in body text") << QByteArray("<p>charset=utf-8</p>") << gbk;
    QTest::newRow("utf-8 byte order mark") << QByteArray("\xEF\xBB\xBF<p>x</p>") << QByteArray("text/html");
    QTest::newRow("declaration too late to count") << QByteArray(5000, ' ') + "<meta charset='utf-8'>" << gbk;
}

void ContentSchemeTest::htmlContentType()
{
    QFETCH(QByteArray, head);
    QFETCH(QByteArray, type);
    QCOMPARE(ContentSchemeHandler::htmlContentType(head), type);
}

void ContentSchemeTest::memoryPages_keepTheFilesFolder()
{
    auto h = handler();
    const QUrl url = h.serveFromMemory(u"/opt/jz/ws/search.html"_qs, u"<p>x</p>"_qs);
    QCOMPARE(url.adjusted(QUrl::RemoveQuery).toString(), u"juanzong://ws/search.html"_qs);
    QVERIFY(url.hasQuery());
    QCOMPARE(url.resolved(QUrl(u"css.css"_qs)).toString(), u"juanzong://ws/css.css"_qs);
    QCOMPARE(h.pathFor(url), u"/opt/jz/ws/search.html"_qs);
    QVERIFY(h.serveFromMemory(u"/elsewhere/search.html"_qs, u"<p>x</p>"_qs).isEmpty());
}

QTEST_GUILESS_MAIN(ContentSchemeTest)
#include "tst_contentscheme.moc"
