// SPDX-License-Identifier: GPL-3.0-or-later
// The shipped sample content folder against the catalogue and the file formats the program relies on.
#include "core/catalogue.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTest>

using namespace Juanzong;

namespace {

const QString ContentDir = QStringLiteral(JUANZONG_CONTENT_DIR);
// Pages the program itself names or writes, which therefore have no node of their own.
const QSet<QString> FixedPages = {u"wszzgf.html"_qs, u"index.html"_qs, u"search.html"_qs};

QByteArray readBytes(const QString &name)
{
    QFile file(ContentDir + u'/' + name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
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
    return text.isNull() ? QString(u""_qs) : text;
}

QString readGbk(const QString &name)
{
    return decodeGbk(readBytes(name));
}

bool hasAnchor(const QString &page, const QString &anchor)
{
    const QRegularExpression re(u"\\b(?:id|name)\\s*=\\s*[\"']"_qs + QRegularExpression::escape(anchor)
                                + u"[\"']"_qs);
    return re.match(page).hasMatch();
}

QStringList leafKeys()
{
    QStringList keys;
    for (const auto &row : Catalogue::rows()) {
        if (!Catalogue::isCategory(row.key))
            keys.append(row.key.toString());
    }
    return keys;
}

QStringList contentFiles()
{
    return QDir(ContentDir).entryList(QDir::Files, QDir::Name);
}

struct IndexLine {
    QString page;
    QString anchor;
    QString title;
};

} // namespace

class ContentTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void leafPage_data();
    void leafPage();
    void everyPage_belongsToANodeOrTheProgram();
    void textFile_data();
    void textFile();
    void index_isCrLfLinesOfTargetAndTitle();
    void index_coversEveryDocumentOfEveryLeaf();
    void index_findsEveryRulingByItsTitle();
    void styleSheet_data();
    void styleSheet();
};

void ContentTest::leafPage_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("label");
    for (const auto &row : Catalogue::rows()) {
        if (!Catalogue::isCategory(row.key)) {
            const QString key = row.key.toString();
            QTest::newRow(qPrintable(key)) << key + u".html"_qs << row.label.toString();
        }
    }
}

void ContentTest::leafPage()
{
    QFETCH(QString, file);
    QFETCH(QString, label);

    QVERIFY2(QFile::exists(ContentDir + u'/' + file), qPrintable(file));
    const QString page = readGbk(file);
    QVERIFY2(!page.isNull(), "not valid GBK");

    // The heading names the node the page belongs to, which also proves the
    // Chinese text was decoded as written.
    const QRegularExpression heading(u"<h1[^>]*>([^<]*)</h1>"_qs);
    const auto match = heading.match(page);
    QVERIFY2(match.hasMatch(), "no heading");
    QCOMPARE(match.captured(1), label);
    if (file.startsWith(u"juanzongfanben-"_qs)) {

        // Every model document has its own anchor, numbered from ws1 without gaps.
        const QRegularExpression docs(u"<div class=\"ws\" id=\"(ws\\d+)\">"_qs);
        QStringList anchors;
        for (const auto &m : docs.globalMatch(page))
            anchors.append(m.captured(1));
        QVERIFY2(!anchors.isEmpty(), "no model document");
        for (qsizetype i = 0; i < anchors.size(); ++i) {
            QCOMPARE(anchors.at(i), u"ws%1"_qs.arg(i + 1));
            QVERIFY2(hasAnchor(page, anchors.at(i)), qPrintable(anchors.at(i)));
        }
        QVERIFY(page.contains(u"人民法院"_qs));
    }
}

void ContentTest::everyPage_belongsToANodeOrTheProgram()
{
    const QStringList keys = leafKeys();
    const QStringList files = contentFiles();
    int pages = 0;
    for (const QString &file : files) {
        if (!file.endsWith(u".html"_qs))
            continue;
        ++pages;
        const QString key = file.chopped(5);
        QVERIFY2(keys.contains(key) || FixedPages.contains(file), qPrintable(file));
    }
    // 91 leaves (wszzgf among them) and the About page.
    QCOMPARE(pages, int(keys.size()) + 1);
}

void ContentTest::textFile_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("phrase"); // a phrase only a correct GBK reading yields

    QTest::newRow("start page") << u"wszzgf.html"_qs << u"民事诉讼文书制作规范"_qs;
    QTest::newRow("about page") << u"index.html"_qs << u"卷宗范本"_qs;
    QTest::newRow("index") << u"alllist.txt"_qs << u"民事判决书"_qs;
    QTest::newRow("search template") << u"searchmoban.txt"_qs << u"搜索结果"_qs;
    QTest::newRow("style sheet") << u"css.css"_qs << u"微软雅黑"_qs;
    for (const QString &file : contentFiles()) {
        if (file.startsWith(u"juanzongfanben-"_qs))
            QTest::newRow(qPrintable(file)) << file << u"××××"_qs;
    }
}

void ContentTest::textFile()
{
    QFETCH(QString, file);
    QFETCH(QString, phrase);

    const QByteArray bytes = readBytes(file);
    QVERIFY2(!bytes.isEmpty(), "missing or empty");
    const QString text = decodeGbk(bytes);
    QVERIFY2(!text.isNull(), "not valid GBK");
    QVERIFY2(text.contains(phrase), qPrintable(phrase));
    QVERIFY2(!bytes.startsWith("\xEF\xBB\xBF"), "byte order mark");

    // The viewer decodes undeclared pages as GBK; a declared charset would
    // override that.
    if (file.endsWith(u".html"_qs) || file == u"searchmoban.txt"_qs) {
        QVERIFY2(!text.contains(u"charset"_qs, Qt::CaseInsensitive), "declares a charset");
        const QRegularExpression styleLink(u"<link[^>]*href=[\"']css\\.css[\"']"_qs);
        QVERIFY2(styleLink.match(text).hasMatch(), "does not link css.css");
    }
}

void ContentTest::index_isCrLfLinesOfTargetAndTitle()
{
    const QString text = readGbk(u"alllist.txt"_qs);
    QVERIFY2(!text.isEmpty(), "alllist.txt missing, empty or not GBK");
    QVERIFY(text.endsWith(u"\r\n"_qs));

    const QStringList lines = text.chopped(2).split(u"\r\n"_qs);
    const QRegularExpression target(u"^(juanzongfanben-\\d+\\.html)#([A-Za-z][\\w-]*)$"_qs);
    QSet<QString> targets;
    for (const QString &line : lines) {
        QVERIFY2(!line.contains(u'\r') && !line.contains(u'\n'), qPrintable(line));
        QCOMPARE(line.count(u"\">"_qs), 1);
        const QString field0 = line.section(u"\">"_qs, 0, 0);
        const QString title = line.section(u"\">"_qs, 1);
        QVERIFY2(!title.trimmed().isEmpty(), qPrintable(line));
        QVERIFY2(!title.contains(u'\'') && !title.contains(u'<'), "breaks the result page markup");
        const auto m = target.match(field0);
        QVERIFY2(m.hasMatch(), qPrintable(line));
        QVERIFY2(!targets.contains(field0), qPrintable(u"listed twice: "_qs + field0));
        targets.insert(field0);

        const QString page = readGbk(m.captured(1));
        QVERIFY2(!page.isEmpty(), qPrintable(line));
        QVERIFY2(hasAnchor(page, m.captured(2)), qPrintable(line));
        // The title is the document's own title on its page.
        QVERIFY2(page.contains(title.toHtmlEscaped()), qPrintable(line));
    }
}

void ContentTest::index_coversEveryDocumentOfEveryLeaf()
{
    const QString text = readGbk(u"alllist.txt"_qs);
    QVERIFY(!text.isEmpty());
    QSet<QString> listed;
    for (const QString &line : text.split(u"\r\n"_qs, Qt::SkipEmptyParts))
        listed.insert(line.section(u"\">"_qs, 0, 0));

    const QRegularExpression docs(u"<div class=\"ws\" id=\"(ws\\d+)\">"_qs);
    for (const QString &key : leafKeys()) {
        if (!key.startsWith(u"juanzongfanben-"_qs))
            continue;
        const QString file = key + u".html"_qs;
        int found = 0;
        for (const auto &m : docs.globalMatch(readGbk(file))) {
            ++found;
            QVERIFY2(listed.contains(file + u'#' + m.captured(1)), qPrintable(file + u'#' + m.captured(1)));
        }
        QVERIFY2(found > 0, qPrintable(file));
    }
}

void ContentTest::index_findsEveryRulingByItsTitle()
{
    // A search for a document type finds every document of that type: each
    // page's rulings carry the word in their index titles.
    const QString text = readGbk(u"alllist.txt"_qs);
    QVERIFY(!text.isEmpty());
    int rulingTitles = 0;
    for (const QString &line : text.split(u"\r\n"_qs, Qt::SkipEmptyParts))
        rulingTitles += line.section(u"\">"_qs, 1).contains(u"裁定书"_qs);

    int rulingDocs = 0;
    const QRegularExpression doctype(u"<p class=\"doctype\">([^<]*)</p>"_qs);
    for (const QString &file : contentFiles()) {
        if (!file.startsWith(u"juanzongfanben-"_qs))
            continue;
        for (const auto &m : doctype.globalMatch(readGbk(file)))
            rulingDocs += m.captured(1).endsWith(u"裁定书"_qs);
    }
    QVERIFY(rulingDocs > 0);
    QCOMPARE(rulingTitles, rulingDocs);
}

void ContentTest::styleSheet_data()
{
    QTest::addColumn<QString>("selector");
    // The result page the search writes uses exactly these classes.
    for (const char *cls : {"fr", "right", "content", "clearfix", "title", "fl", "tit", "sec_list", "btm_row",
                            "count", "num", "page"})
        QTest::newRow(cls) << u"."_qs + QString::fromLatin1(cls);
    // The template pages.
    for (const char *cls : {"ws", "court", "doctype", "caseno", "sign", "seal"})
        QTest::newRow(cls) << u"."_qs + QString::fromLatin1(cls);
    QTest::newRow("print") << u"@media print"_qs;
    QTest::newRow("paper") << u"size: A4"_qs;
}

void ContentTest::styleSheet()
{
    QFETCH(QString, selector);
    const QString css = readGbk(u"css.css"_qs);
    QVERIFY2(!css.isEmpty(), "css.css missing, empty or not GBK");
    const QRegularExpression re(QRegularExpression::escape(selector) + u"(?![\\w-])"_qs);
    QVERIFY2(re.match(css).hasMatch(), qPrintable(selector));
}

QTEST_GUILESS_MAIN(ContentTest)
#include "tst_content.moc"
