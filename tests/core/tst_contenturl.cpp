// SPDX-License-Identifier: GPL-3.0-or-later
// Which URLs the view may show, which file each stands for, and how a file is labelled.
#include "contenturlproperties.h"
#include "files.h"
#include "core/contentpaths.h"
#include "core/contenturl.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace Juanzong;
using namespace Qt::StringLiterals;

class ContentUrlTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void fromPath_data();
    void fromPath();
    void toPath_data();
    void toPath();
    void memoryPages_keepTheFilesFolder();
    void policy_data();
    void policy();
    void contentType_data();
    void contentType();
    void proposedFileName_data();
    void proposedFileName();
    void openReadable_data();
    void openReadable();
    void htmlEncoding_data();
    void htmlEncoding();
    void replay_data();
    void replay();
};

namespace {
const QString Root = u"/opt/jz/ws/"_s;
}

void ContentUrlTest::fromPath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("url");
    QTest::newRow("page") << u"/opt/jz/ws/wszzgf.html"_s << u"juanzong://ws/wszzgf.html"_s;
    QTest::newRow("doubled separator at a root") << u"/opt/jz//ws/index.html"_s << u"juanzong://ws/index.html"_s;
    QTest::newRow("outside the folder") << u"/opt/jz/black.she"_s << QString();
    QTest::newRow("sibling with the same prefix") << u"/opt/jz/ws2/a.html"_s << QString();
    QTest::newRow("climbing out") << u"/opt/jz/ws/../secret.html"_s << QString();
    QTest::newRow("climbing out through a backslash") << u"/opt/jz/ws\\..\\secret.html"_s << QString();
    QTest::newRow("the folder itself") << u"/opt/jz/ws"_s << QString();
}

void ContentUrlTest::fromPath()
{
    QFETCH(QString, path);
    QFETCH(QString, url);
    QCOMPARE(ContentUrl::fromPath(Root, path).toString(), url);
}

void ContentUrlTest::toPath_data()
{
    QTest::addColumn<QString>("root");
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("path");
    QTest::newRow("page") << Root << u"juanzong://ws/juanzongfanben-5.html"_s << u"/opt/jz/ws/juanzongfanben-5.html"_s;
    QTest::newRow("anchor and query ignored") << Root << u"juanzong://ws/a.html?x=1#ws2"_s << u"/opt/jz/ws/a.html"_s;
    QTest::newRow("escaped name") << Root << u"juanzong://ws/a%20b.html"_s << u"/opt/jz/ws/a b.html"_s;
    QTest::newRow("dot segments that stay inside") << Root << u"juanzong://ws/x/../a.html"_s << u"/opt/jz/ws/a.html"_s;
    QTest::newRow("escaped climb") << Root << u"juanzong://ws/%2e%2e/%2e%2e/etc/passwd"_s << QString();
    QTest::newRow("encoded slash climb") << Root << u"juanzong://ws/..%2f..%2fetc%2fpasswd"_s << QString();
    QTest::newRow("encoded backslash climb") << Root << u"juanzong://ws/..%5c..%5csecret.html"_s << QString();
    QTest::newRow("encoded nul") << Root << u"juanzong://ws/a.html%00.png"_s << QString();
    QTest::newRow("folder itself") << Root << u"juanzong://ws/"_s << QString();
    QTest::newRow("other host") << Root << u"juanzong://other/a.html"_s << QString();
    QTest::newRow("with a port") << Root << u"juanzong://ws:80/a.html"_s << QString();
    QTest::newRow("other scheme") << Root << u"file:///opt/jz/ws/a.html"_s << QString();
    QTest::newRow("program at the root") << u"/ws/"_s << u"juanzong://ws/a.html"_s << u"/ws/a.html"_s;
}

void ContentUrlTest::toPath()
{
    QFETCH(QString, root);
    QFETCH(QString, url);
    QFETCH(QString, path);
    QCOMPARE(ContentUrl::toPath(root, QUrl(url)), path);
}

void ContentUrlTest::memoryPages_keepTheFilesFolder()
{
    const QUrl url = ContentUrl::inMemory(ContentUrl::fromPath(Root, Root + u"search.html"_s), u"7"_s);
    QCOMPARE(ContentUrl::memoryToken(url), u"7"_s);
    QCOMPARE(url.resolved(QUrl(u"css.css"_s)).toString(), u"juanzong://ws/css.css"_s);
    QCOMPARE(ContentUrl::toPath(Root, url), u"/opt/jz/ws/search.html"_s);
    QCOMPARE(ContentUrl::memoryToken(QUrl(u"file:///opt/jz/ws/search.html?inmemory=7"_s)), QString());
}

void ContentUrlTest::policy_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("viewable");
    QTest::addColumn<QString>("desktop"); // what goes to the desktop, empty for nothing
    QTest::newRow("a page of the folder") << u"juanzong://ws/a.html#x"_s << true << QString();
    QTest::newRow("a local file") << u"file:///etc/passwd"_s << false << QString();
    QTest::newRow("another host of the scheme") << u"juanzong://etc/passwd"_s << false << QString();
    QTest::newRow("blank frame") << u"about:blank"_s << true << QString();
    QTest::newRow("engine pages") << u"about:version"_s << false << QString();
    QTest::newRow("view source") << u"view-source:juanzong://ws/a.html"_s << false << QString();
    QTest::newRow("inline data") << u"data:text/html,x"_s << true << QString();
    QTest::newRow("script target") << u"javascript:alert(1)"_s << false << QString();
    QTest::newRow("web") << u"https://www.court.gov.cn/"_s << false << u"https://www.court.gov.cn/"_s;
    QTest::newRow("web without a host") << u"http:/etc/passwd"_s << false << QString();
    QTest::newRow("mail") << u"mailto:a@b.cn"_s << false << u"mailto:a@b.cn"_s;
    QTest::newRow("mail attaching a file") << u"mailto:a@b.cn?subject=%E6%A1%88&attach=/etc/passwd&body=y"_s << false
                                           << u"mailto:a@b.cn?subject=%E6%A1%88&body=y"_s;
    QTest::newRow("mail attaching, spelt otherwise")
        << u"mailto:a@b.cn?ATTACHMENT=%2Fetc%2Fshadow&%61ttach=~/.ssh/id_rsa"_s << false << u"mailto:a@b.cn"_s;
    QTest::newRow("file transfer") << u"ftp://example.com/x"_s << false << QString();
}

void ContentUrlTest::policy()
{
    QFETCH(QString, url);
    QFETCH(bool, viewable);
    QFETCH(QString, desktop);
    QCOMPARE(ContentUrl::isViewable(QUrl(url)), viewable);
    QCOMPARE(ContentUrl::forDesktop(QUrl(url)).toString(QUrl::FullyEncoded), desktop);
}

void ContentUrlTest::contentType_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("head");
    QTest::addColumn<QByteArray>("type");
    const QByteArray gbk = "text/html;charset=GBK";
    const QByteArray own = "text/html";
    const QString page = u"/ws/a.html"_s;
    QTest::newRow("undeclared") << page << "<html><head><title>x</title></head>"_ba << gbk;
    QTest::newRow("page in capitals") << u"/ws/A.HTM"_s << "<p>x</p>"_ba << gbk;
    QTest::newRow("meta charset") << page << "<html><HEAD><META CHARSET=\"utf-8\">"_ba << own;
    QTest::newRow("http-equiv") << page << "<meta http-equiv='Content-Type' content='text/html; charset=big5'/>"_ba << own;
    QTest::newRow("content type without charset, as result pages have")
        << page << "<html><head><meta http-equiv='Content-Type' content='text/html' />"_ba << gbk;
    QTest::newRow("the word in another meta") << page << "<head><meta name='keywords' content='charset'>"_ba << gbk;
    QTest::newRow("declared in the body") << page << "<head></head><body><meta charset=utf-8>"_ba << gbk;
    QTest::newRow("declared in a comment") << page << "<head><!-- <meta charset=utf-8> --></head>"_ba << gbk;
    QTest::newRow("declared after a comment") << page << "<head><!-- x --><meta charset=utf-8></head>"_ba << own;
    QTest::newRow("utf-8 byte order mark") << page << "\xEF\xBB\xBF<p>x</p>"_ba << own;
    QTest::newRow("utf-16 byte order mark") << page << "\xFF\xFE<\0p\0>\0"_ba << own;
    QTest::newRow("declared late in a long head")
        << page << "<html><head>"_ba + QByteArray(5000, ' ') + "<meta charset='utf-8'></head>"_ba << own;
    QTest::newRow("beyond what is read")
        << page << QByteArray(ContentUrl::SniffBytes, ' ') + "<meta charset='utf-8'>"_ba << gbk;
    QTest::newRow("style sheet") << u"/ws/css.css"_s << "<p>x</p>"_ba << "text/css"_ba;
    QTest::newRow("picture") << u"/ws/logo.png"_s << "<p>x</p>"_ba << "image/png"_ba;
    QTest::newRow("named html without a suffix") << u"/ws/html"_s << "<p>x</p>"_ba << "application/octet-stream"_ba;
}

void ContentUrlTest::contentType()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, head);
    QFETCH(QByteArray, type);
    QCOMPARE(ContentUrl::contentType(name, head), type);
}

void ContentUrlTest::proposedFileName_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<QString>("name");
    QTest::newRow("heading kept") << u"民事调解书（第一审程序用）"_s << u".docx"_s << u"民事调解书（第一审程序用）.docx"_s;
    QTest::newRow("climbing heading_neither hidden nor a path") << u"../x"_s << u".docx"_s << u"_x.docx"_s;
    QTest::newRow("leading dots and spaces") << u" ..  .x. "_s << u".pdf"_s << u"x.pdf"_s;
    QTest::newRow("dots alone") << u"..."_s << u".pdf"_s << u"文书.pdf"_s;
    // 300 characters of three bytes: 83 of them and ".docx" fill 254 bytes.
    QTest::newRow("long Chinese heading_cut to 255 bytes")
        << QString(300, u'判') << u".docx"_s << QString(83, u'判') + u".docx"_s;
    QTest::newRow("long Latin heading") << QString(300, u'a') << u".pdf"_s << QString(251, u'a') + u".pdf"_s;
    // U+1D400, four bytes, never split in two: 250 + 4 would not fit with ".docx".
    QTest::newRow("cut before a character outside the BMP")
        << QString(248, u'a') + u"\U0001D400"_s + u"bbb"_s << u".docx"_s << QString(248, u'a') + u".docx"_s;
    QTest::newRow("cut leaves a trailing dot_dropped")
        << QString(249, u'a') + u".bbbbbbbbb"_s << u".docx"_s << QString(249, u'a') + u".docx"_s;
}

void ContentUrlTest::proposedFileName()
{
    QFETCH(QString, text);
    QFETCH(QString, suffix);
    QFETCH(QString, name);
    const QString proposed = ContentPaths::proposedFileName(text, suffix);
    QCOMPARE(proposed, name);
    QVERIFY(proposed.toUtf8().size() <= 255);
}

void ContentUrlTest::openReadable_data()
{
    // What stands at ws/x.html, made in a fresh folder: a shell-like line of
    // "file", "link TARGET" (relative to the folder's parent), "fifo",
    // "folder" or "sparse BYTES".
    QTest::addColumn<QString>("entry");
    QTest::addColumn<int>("readable");
    using R = ContentUrl::Readable;
    QTest::newRow("plain file") << u"file"_s << int(R::Yes);
    QTest::newRow("link to a file inside") << u"link ws/page.html"_s << int(R::Yes);
    QTest::newRow("link to a file beside the folder") << u"link secret.txt"_s << int(R::Outside);
    QTest::newRow("link to the process's environment") << u"link /proc/self/environ"_s << int(R::Outside);
    QTest::newRow("link to a device") << u"link /dev/zero"_s << int(R::Outside);
    QTest::newRow("pipe_refused without blocking") << u"fifo"_s << int(R::NotPlain);
    QTest::newRow("folder") << u"folder"_s << int(R::NotPlain);
    QTest::newRow("at the size limit") << u"sparse "_s + QString::number(ContentUrl::LargestFile) << int(R::Yes);
    QTest::newRow("over the size limit") << u"sparse "_s + QString::number(ContentUrl::LargestFile + 1)
                                         << int(R::TooLarge);
}

void ContentUrlTest::openReadable()
{
    QFETCH(QString, entry);
    QFETCH(int, readable);
    QTemporaryDir dir;
    const QString ws = dir.filePath(u"ws"_s);
    QVERIFY(QDir().mkpath(ws));
    TestFiles::put(dir.filePath(u"secret.txt"_s), "SECRET");
    TestFiles::put(ws + u"/page.html"_s, "PAGE");
    const QString path = ws + u"/x.html"_s;
    const QString target = entry.section(u' ', 1);
    if (entry == u"file")
        TestFiles::put(path, "PAGE");
    else if (entry.startsWith(u"link "))
        QVERIFY(QFile::link(target.startsWith(u'/') ? target : dir.filePath(target), path));
    else if (entry == u"fifo")
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else if (entry == u"folder")
        QVERIFY(QDir().mkdir(path));
    else {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.resize(target.toLongLong()));
    }

    QFile file;
    QCOMPARE(int(ContentUrl::openReadable(ws + u'/', path, file)), readable);
    QCOMPARE(file.isOpen(), readable == int(ContentUrl::Readable::Yes));
    if (file.isOpen() && !entry.startsWith(u"sparse"))
        QCOMPARE(file.read(8), "PAGE");
}

// The view reads a page served without a charset by its declaration, as the
// encoding standard maps labels; the index decodes by the same answer.
void ContentUrlTest::htmlEncoding_data()
{
    QTest::addColumn<QByteArray>("head");
    QTest::addColumn<QByteArray>("encoding");
    QTest::newRow("undeclared") << "<html><head><title>x</title></head>"_ba << "GBK"_ba;
    QTest::newRow("gb2312, as Word writes it")
        << "<meta http-equiv=Content-Type content=\"text/html; charset=gb2312\">"_ba << "GBK"_ba;
    QTest::newRow("x-gbk") << "<meta charset='x-gbk'>"_ba << "GBK"_ba;
    QTest::newRow("gb18030 in capitals") << "<META CHARSET=\"GB18030\">"_ba << "gb18030"_ba;
    QTest::newRow("iso-8859-1 is windows-1252") << "<meta charset=iso-8859-1>"_ba << "windows-1252"_ba;
    QTest::newRow("quoted label in a content value")
        << "<meta http-equiv='Content-Type' content='text/html; charset=\"big5\"'>"_ba << "Big5"_ba;
    QTest::newRow("utf-16 in a meta tag reads as UTF-8") << "<meta charset=utf-16>"_ba << "UTF-8"_ba;
    QTest::newRow("unknown label_the view's default") << "<meta charset=klingon>"_ba << "GBK"_ba;
    QTest::newRow("utf-8 byte order mark over a meta")
        << "\xEF\xBB\xBF<meta charset=gb2312>"_ba << "UTF-8"_ba;
    QTest::newRow("utf-16 byte order mark") << "\xFF\xFE<\0p\0>\0"_ba << "UTF-16LE"_ba;
    QTest::newRow("declared in a comment") << "<head><!-- <meta charset=utf-8> --></head>"_ba << "GBK"_ba;
}

void ContentUrlTest::htmlEncoding()
{
    QFETCH(QByteArray, head);
    QFETCH(QByteArray, encoding);
    QCOMPARE(ContentUrl::htmlEncoding(head), encoding);
}

void ContentUrlTest::replay_data()
{
    // The fuzzer's seeds and every input it once broke a rule with.
    TestFiles::fuzzInputRows({JUANZONG_FUZZ_CORPUS, JUANZONG_FUZZ_REGRESSIONS});
}

void ContentUrlTest::replay()
{
    QFETCH(QString, path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(ContentUrlProperties::check(file.readAll()), QString());
}

QTEST_GUILESS_MAIN(ContentUrlTest)
#include "tst_contenturl.moc"
