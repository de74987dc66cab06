// SPDX-License-Identifier: GPL-3.0-or-later
// The shipped sample content folder against the catalogue and the file formats the program relies on.
#include "core/catalogue.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTest>

using namespace Juanzong;
using namespace Qt::StringLiterals;

namespace {

const QString ContentDir = QStringLiteral(JUANZONG_CONTENT_DIR);

QByteArray readBytes(const QString &name)
{
    QFile file(ContentDir + u'/' + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Strict GBK: a byte sequence that does not decode, or does not encode back to
// the very same bytes, yields a null string.
QString decodeGbk(const QByteArray &bytes)
{
    QStringDecoder decoder("GBK");
    if (!decoder.isValid())
        return {};
    QString text = decoder(bytes);
    if (decoder.hasError())
        return {};
    QStringEncoder encoder("GBK");
    if (QByteArray(encoder(text)) != bytes || encoder.hasError())
        return {};
    return text.isNull() ? QString(u""_s) : text;
}

QString readGbk(const QString &name)
{
    return decodeGbk(readBytes(name));
}

} // namespace

class ContentTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void file_data();
    void file();
    void index_listsEveryDocumentOnceByItsTitle();
};

void ContentTest::file_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("label"); // of the page's node; for the other files a phrase only GBK yields
    QMap<QString, QString> rows = {{u"index.html"_s, u"卷宗范本"_s}, {u"alllist.txt"_s, u"民事判决书"_s},
                                   {u"searchmoban.txt"_s, u"搜索结果"_s}, {u"css.css"_s, u"微软雅黑"_s}};
    for (const QString &file : QDir(ContentDir).entryList(QDir::Files))
        rows.insert(file, rows.value(file)); // a page without a node gets no label and fails
    for (const auto &row : Catalogue::rows()) {
        if (!Catalogue::isCategory(row.key))
            rows.insert(row.key + u".html"_s, row.label.toString()); // a node without a page fails
    }
    for (auto it = rows.cbegin(); it != rows.cend(); ++it)
        QTest::newRow(qPrintable(it.key())) << it.key() << it.value();
}

void ContentTest::file()
{
    QFETCH(QString, file);
    QFETCH(QString, label);
    const QByteArray bytes = readBytes(file);
    QVERIFY2(!bytes.isEmpty(), "missing or empty");
    QVERIFY2(!bytes.startsWith("\xEF\xBB\xBF"), "byte order mark");
    const QString text = decodeGbk(bytes);
    QVERIFY2(!text.isNull(), "not valid GBK");
    QVERIFY2(!label.isEmpty(), "a page without a node");
    const bool page = file.endsWith(u".html"_s);
    if (!page || file == u"index.html")
        QVERIFY2(text.contains(label), qPrintable(label));
    // The viewer decodes undeclared pages as GBK; a declared charset would override that.
    if (page || file == u"searchmoban.txt") {
        QVERIFY2(!text.contains(u"charset"_s, Qt::CaseInsensitive), "declares a charset");
        static const QRegularExpression styleLink(u"<link[^>]*href=[\"']css\\.css[\"']"_s);
        QVERIFY2(styleLink.match(text).hasMatch(), "does not link css.css");
    }
    if (!page || file == u"index.html")
        return;
    // The heading names the node the page belongs to.
    static const QRegularExpression heading(u"<h1[^>]*>([^<]*)</h1>"_s);
    QCOMPARE(heading.match(text).captured(1), label);
    if (file.startsWith(u"juanzongfanben-"_s)) {
        // Every model document has its own anchor, numbered from ws1 without gaps.
        static const QRegularExpression docs(u"<div class=\"ws\" id=\"(ws\\d+)\">"_s);
        QStringList anchors;
        for (const auto &m : docs.globalMatch(text))
            anchors.append(m.captured(1));
        QVERIFY2(!anchors.isEmpty(), "no model document");
        for (qsizetype i = 0; i < anchors.size(); ++i)
            QCOMPARE(anchors.at(i), u"ws%1"_s.arg(i + 1));
    }
}

void ContentTest::index_listsEveryDocumentOnceByItsTitle()
{
    const QString text = readGbk(u"alllist.txt"_s);
    QVERIFY2(text.endsWith(u"\r\n"_s), "alllist.txt missing, not GBK or not ended by CR LF");
    const QRegularExpression target(u"^(juanzongfanben-\\d+\\.html)#(ws\\d+)$"_s);
    QStringList listed;
    for (const QString &line : text.chopped(2).split(u"\r\n"_s)) {
        QVERIFY2(!line.contains(u'\r') && !line.contains(u'\n'), qPrintable(line));
        QCOMPARE(line.count(u"\">"_s), 1);
        const QString title = line.section(u"\">"_s, 1);
        QVERIFY2(!title.trimmed().isEmpty(), qPrintable(line));
        QVERIFY2(!title.contains(u'\'') && !title.contains(u'<'), "breaks the result page markup");
        const auto m = target.match(line.section(u"\">"_s, 0, 0));
        QVERIFY2(m.hasMatch(), qPrintable(line));
        // The title is the document's own title on its page.
        QVERIFY2(readGbk(m.captured(1)).contains(title.toHtmlEscaped()), qPrintable(line));
        listed.append(m.captured(0));
    }
    QStringList documents;
    const QRegularExpression docs(u"<div class=\"ws\" id=\"(ws\\d+)\">"_s);
    for (const QString &file : QDir(ContentDir).entryList({u"juanzongfanben-*.html"_s}, QDir::Files)) {
        for (const auto &m : docs.globalMatch(readGbk(file)))
            documents.append(file + u'#' + m.captured(1));
    }
    listed.sort();
    documents.sort();
    QCOMPARE(listed, documents);
}

QTEST_GUILESS_MAIN(ContentTest)
#include "tst_content.moc"
