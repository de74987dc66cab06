// SPDX-License-Identifier: GPL-3.0-or-later
// A model document in the forms it leaves the program: the Word file's XML read back
// with an XML reader (LibreOffice reads the archive itself), and the clipboard's
// styled HTML and plain text.
#include "document/clipboardformat.h"
#include "document/docxwriter.h"
#include "document/modeldocument.h"

#include <QHash>
#include <QRegularExpression>
#include <QTest>
#include <QXmlStreamReader>

using namespace Juanzong;
using namespace Qt::StringLiterals;
using Role = Paragraph::Role;

namespace {

QByteArray partOf(const QList<DocxPart> &parts, const QString &name)
{
    for (const DocxPart &part : parts)
        if (part.name == name)
            return part.data;
    return {};
}

// What a reader makes of one w:p: its text and the properties that carry the layout.
struct ReadParagraph
{
    QString text;
    QHash<QString, QString> props; // "jc", "firstLine", "right", "sz", "b", "eastAsia", "ascii", "line", "lineRule"
};

QString attr(const QXmlStreamAttributes &a, const QByteArray &name)
{
    return a.value(QLatin1StringView(name)).toString();
}

QList<ReadParagraph> paragraphsOf(const QByteArray &xml)
{
    QList<ReadParagraph> out;
    QXmlStreamReader reader(xml);
    bool inTable = false;
    while (!reader.atEnd()) {
        reader.readNext();
        const QString name = reader.qualifiedName().toString();
        if (reader.isEndElement() && name == u"w:tbl")
            inTable = false;
        if (!reader.isStartElement())
            continue;
        const QXmlStreamAttributes a = reader.attributes();
        if (name == u"w:tbl")
            inTable = true;
        if (inTable)
            continue;
        if (name == u"w:p")
            out.append(ReadParagraph());
        else if (out.isEmpty())
            continue;
        else if (name == u"w:jc")
            out.last().props[u"jc"_s] = attr(a, "w:val");
        else if (name == u"w:ind") {
            for (const char *key : {"firstLine", "right", "left"})
                if (const QString value = attr(a, QByteArray("w:") + key); !value.isEmpty())
                    out.last().props[QLatin1StringView(key)] = value;
        } else if (name == u"w:spacing" && a.hasAttribute(u"w:val"_s)) {
            out.last().props[u"charSpacing"_s] = attr(a, "w:val");
        } else if (name == u"w:spacing") {
            out.last().props[u"line"_s] = attr(a, "w:line");
            out.last().props[u"lineRule"_s] = attr(a, "w:lineRule");
        } else if (name == u"w:sz")
            out.last().props[u"sz"_s] = attr(a, "w:val");
        else if (name == u"w:b")
            out.last().props[u"b"_s] = u"1"_s;
        else if (name == u"w:rFonts") {
            out.last().props[u"eastAsia"_s] = attr(a, "w:eastAsia");
            out.last().props[u"ascii"_s] = attr(a, "w:ascii");
        } else if (name == u"w:t")
            out.last().text += reader.readElementText();
    }
    if (reader.hasError())
        qWarning() << reader.errorString();
    return out;
}

QHash<QString, QString> attributesOf(const QByteArray &xml, const QString &element)
{
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement() && reader.qualifiedName() == element) {
            QHash<QString, QString> out;
            for (const QXmlStreamAttribute &a : reader.attributes())
                out[a.qualifiedName().toString()] = a.value().toString();
            return out;
        }
    }
    return {};
}

ModelDocument sample()
{
    ModelDocument doc;
    doc.heading = u"民事判决书（第一审普通程序用）"_s;
    doc.paragraphs = {
        {Role::Court, u"××××人民法院"_s, {}},
        {Role::DocType, u"民事判决书"_s, {}},
        {Role::CaseNo, u"（××××）……民初……号"_s, {}},
        {Role::Body, u"原告：张三。  <b>&amp;\"引号\""_s, {}},
        {Role::Heading, u"事实和理由"_s, {}},
        {Role::Plain, u"×××："_s, {}},
        {Role::Sign, u"审判长　×××"_s, {}},
        {Role::Date, u"二〇××年××月××日\u0001"_s, {}},
    };
    return doc;
}

// For the clipboard: markup in the heading, the body and a cell.
ModelDocument clipboardSample()
{
    ModelDocument doc;
    doc.heading = u"民事裁定书 <准许撤诉>"_s;
    doc.paragraphs = {
        {Role::Court, u"××××人民法院"_s, {}},
        {Role::CaseNo, u"（××××）……民初……号"_s, {}},
        {Role::Body, u"原告<script>x</script>&  撤诉。"_s, {}},
        {Role::Plain, u"×××："_s, {}},
        {Role::Sign, u"审判长　×××"_s, {}},
        {Role::Table, {}, {{u"a"_s, u"<b>"_s}}},
    };
    return doc;
}

} // namespace

class DocxWriterTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void paragraph_data();
    void paragraph();
    void page_isA4WithOfficialMarginsAndGrid();
    void footers_numberPagesAtTheOutsideEdge();
    void table_hasBordersAndEveryCell();
    void html_data();
    void html();
    void html_escapesEverythingAndNeedsNoStyleSheet();
    void text_keepsIndentAndFullWidthSpaces();
};

void DocxWriterTest::paragraph_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected"); // "key=value" pairs that must hold; "key=" for absent
    // 28 characters a line: each 0.25 pt closer than its 16 pt.
    const QString body = u"eastAsia=FangSong_GB2312 ascii=FangSong_GB2312 sz=32 line=579 lineRule=exact charSpacing=-5"_s;
    QTest::newRow("court_centredBoldTitleInSong") << 0 << u"××××人民法院"_s
                                                  << u"jc=center b=1 sz=44 eastAsia=宋体 firstLine= charSpacing="_s;
    QTest::newRow("doctype_centredBoldTitle") << 1 << u"民事判决书"_s << u"jc=center b=1 sz=44"_s;
    QTest::newRow("case number_rightAligned") << 2 << u"（××××）……民初……号"_s << u"jc=right firstLine= b= "_s + body;
    QTest::newRow("body_indentedTwoCharactersAndEscaped") << 3 << u"原告：张三。 <b>&amp;\"引号\""_s
                                                         << u"jc=both firstLine=640 b= "_s + body;
    QTest::newRow("heading_indentedBold") << 4 << u"事实和理由"_s << u"firstLine=640 b=1 sz=32"_s;
    QTest::newRow("addressee_leftWithoutIndent") << 5 << u"×××："_s << u"jc=left firstLine="_s;
    QTest::newRow("signature_rightKeepsFullWidthSpace") << 6 << u"审判长　×××"_s << u"jc=right right=1280 "_s + body;
    QTest::newRow("date_controlCharacterDropped") << 7 << u"二〇××年××月××日"_s << u"jc=right right=1280"_s;
}

void DocxWriterTest::paragraph()
{
    QFETCH(int, index);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    const QList<ReadParagraph> read = paragraphsOf(partOf(docxParts(sample()), u"word/document.xml"_s));
    QCOMPARE(read.size(), sample().paragraphs.size());
    const ReadParagraph &p = read.at(index);
    QCOMPARE(p.text, text);
    for (const QString &pair : expected.split(u' ', Qt::SkipEmptyParts)) {
        const QString key = pair.section(u'=', 0, 0);
        const QString value = pair.section(u'=', 1);
        QVERIFY2(p.props.value(key) == value, qPrintable(key + u": " + p.props.value(key) + u" != " + value));
    }
}

void DocxWriterTest::page_isA4WithOfficialMarginsAndGrid()
{
    const QByteArray xml = partOf(docxParts(sample()), u"word/document.xml"_s);
    const auto size = attributesOf(xml, u"w:pgSz"_s);
    QCOMPARE(size.value(u"w:w"_s), u"11906"_s); // 210 mm
    QCOMPARE(size.value(u"w:h"_s), u"16838"_s); // 297 mm
    const auto margins = attributesOf(xml, u"w:pgMar"_s);
    QCOMPARE(margins.value(u"w:top"_s), u"2098"_s);    // 37 mm
    QCOMPARE(margins.value(u"w:bottom"_s), u"1984"_s); // 35 mm
    QCOMPARE(margins.value(u"w:left"_s), u"1587"_s);   // 28 mm
    QCOMPARE(margins.value(u"w:right"_s), u"1474"_s);  // 26 mm
    const auto grid = attributesOf(xml, u"w:docGrid"_s);
    QCOMPARE(grid.value(u"w:type"_s), u"lines"_s);
    QCOMPARE(grid.value(u"w:linePitch"_s), u"579"_s);
    // The defaults every other program falls back on carry the body font too.
    const auto fonts = attributesOf(partOf(docxParts(sample()), u"word/styles.xml"_s), u"w:rFonts"_s);
    QCOMPARE(fonts.value(u"w:eastAsia"_s), u"FangSong_GB2312"_s);
    const QByteArray fontTable = partOf(docxParts(sample()), u"word/fontTable.xml"_s);
    QVERIFY(fontTable.contains(u"<w:altName w:val=\"仿宋\"/>"_s.toUtf8()));
}

void DocxWriterTest::footers_numberPagesAtTheOutsideEdge()
{
    const QList<DocxPart> parts = docxParts(sample());
    QVERIFY(partOf(parts, u"word/settings.xml"_s).contains("<w:evenAndOddHeaders/>"));
    const QList<ReadParagraph> odd = paragraphsOf(partOf(parts, u"word/footer1.xml"_s));
    const QList<ReadParagraph> even = paragraphsOf(partOf(parts, u"word/footer2.xml"_s));
    QCOMPARE(odd.size(), 1);
    QCOMPARE(odd.at(0).text, u"— 1 —"_s);
    QCOMPARE(odd.at(0).props.value(u"jc"_s), u"right"_s);
    QCOMPARE(odd.at(0).props.value(u"sz"_s), u"28"_s);
    QCOMPARE(even.at(0).props.value(u"jc"_s), u"left"_s);
    QVERIFY(partOf(parts, u"word/footer1.xml"_s).contains("> PAGE </w:instrText>"));
}

void DocxWriterTest::table_hasBordersAndEveryCell()
{
    ModelDocument doc;
    doc.paragraphs = {{Role::Table, {}, {{u"项目"_s, u"金额"_s}, {u"受理费"_s}}}};
    const QByteArray xml = partOf(docxParts(doc), u"word/document.xml"_s);
    for (const char *side : {"top", "left", "bottom", "right", "insideH", "insideV"})
        QVERIFY2(xml.contains(QByteArray(QByteArray("<w:") + side + " w:val=\"single\"")), side);
    QCOMPARE(xml.count("<w:tc>"), 4); // the short row is padded
    QVERIFY(xml.contains(u"受理费"_s.toUtf8()));
    // A body may not end in a table.
    QVERIFY(xml.lastIndexOf("</w:tbl>") < xml.lastIndexOf("<w:p>"));
}

void DocxWriterTest::html_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("content");
    QTest::addColumn<QStringList>("styles");
    QTest::newRow("court_centredBold") << 0 << u"××××人民法院"_s
                                       << QStringList{u"text-align:center"_s, u"font-weight:bold"_s, u"font-size:22pt"_s};
    QTest::newRow("case number_right") << 1 << u"（××××）……民初……号"_s << QStringList{u"text-align:right"_s};
    QTest::newRow("body_indentedTwoCharacters") << 2 << u"原告&lt;script&gt;x&lt;/script&gt;&amp; 撤诉。"_s
                                                << QStringList{u"text-indent:32pt"_s, u"font-size:16pt"_s};
    QTest::newRow("addressee_noIndent") << 3 << u"×××："_s << QStringList{u"text-align:left"_s};
    QTest::newRow("signature_rightWithFullWidthSpace") << 4 << u"审判长　×××"_s << QStringList{u"text-align:right"_s};
}

void DocxWriterTest::html()
{
    QFETCH(int, index);
    QFETCH(QString, content);
    QFETCH(QStringList, styles);
    static const QRegularExpression paragraph(u"<p style=\"([^\"]*)\">([^<]*)</p>"_s);
    QList<QRegularExpressionMatch> found;
    auto it = paragraph.globalMatch(clipboardHtml(clipboardSample()));
    while (it.hasNext())
        found.append(it.next());
    QCOMPARE(found.size(), 5);
    QCOMPARE(found.at(index).captured(2), content);
    const QString style = found.at(index).captured(1);
    for (const QString &s : styles)
        QVERIFY2(style.contains(s), qPrintable(style));
    QVERIFY(style.contains(u"FangSong"_s) || style.contains(u"宋体"_s));
    if (index != 2)
        QVERIFY2(!style.contains(u"text-indent"_s), qPrintable(style));
}

void DocxWriterTest::html_escapesEverythingAndNeedsNoStyleSheet()
{
    const QString html = clipboardHtml(clipboardSample());
    QVERIFY(!html.contains(u"<script"_s));
    QVERIFY(!html.contains(u"<b>"_s));
    QVERIFY(html.contains(u"<title>民事裁定书 &lt;准许撤诉&gt;</title>"_s));
    QVERIFY(html.contains(u"border:1px solid #000"_s));
    QVERIFY(!html.contains(u"class="_s));
    QVERIFY(!html.contains(u"<link"_s));
}

void DocxWriterTest::text_keepsIndentAndFullWidthSpaces()
{
    QCOMPARE(clipboardText(clipboardSample()),
             u"××××人民法院\n（××××）……民初……号\n　　原告<script>x</script>& 撤诉。\n×××：\n审判长　×××\na\t<b>\n"_s);
}

QTEST_APPLESS_MAIN(DocxWriterTest)
#include "tst_docxwriter.moc"
