// SPDX-License-Identifier: GPL-3.0-or-later
// The Word file's XML and its zip archive, read back with an XML reader and libzip.
#include "document/docxwriter.h"
#include "document/modeldocument.h"

#include <QHash>
#include <QTest>
#include <QXmlStreamReader>

#include <zip.h>

using namespace Juanzong;
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
            out.last().props[u"jc"_qs] = attr(a, "w:val");
        else if (name == u"w:ind") {
            for (const char *key : {"firstLine", "right", "left"})
                if (const QString value = attr(a, QByteArray("w:") + key); !value.isEmpty())
                    out.last().props[QLatin1StringView(key)] = value;
        } else if (name == u"w:spacing" && a.hasAttribute(u"w:val"_qs)) {
            out.last().props[u"charSpacing"_qs] = attr(a, "w:val");
        } else if (name == u"w:spacing") {
            out.last().props[u"line"_qs] = attr(a, "w:line");
            out.last().props[u"lineRule"_qs] = attr(a, "w:lineRule");
        } else if (name == u"w:sz")
            out.last().props[u"sz"_qs] = attr(a, "w:val");
        else if (name == u"w:b")
            out.last().props[u"b"_qs] = u"1"_qs;
        else if (name == u"w:rFonts") {
            out.last().props[u"eastAsia"_qs] = attr(a, "w:eastAsia");
            out.last().props[u"ascii"_qs] = attr(a, "w:ascii");
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
    doc.heading = u"民事判决书（第一审普通程序用）"_qs;
    doc.paragraphs = {
        {Role::Court, u"××××人民法院"_qs, {}},
        {Role::DocType, u"民事判决书"_qs, {}},
        {Role::CaseNo, u"（××××）……民初……号"_qs, {}},
        {Role::Body, u"原告：张三。  <b>&amp;\"引号\""_qs, {}},
        {Role::Heading, u"事实和理由"_qs, {}},
        {Role::Plain, u"×××："_qs, {}},
        {Role::Sign, u"审判长　×××"_qs, {}},
        {Role::Date, u"二〇××年××月××日\u0001"_qs, {}},
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
    void zip_holdsEveryPartDeflated();
};

void DocxWriterTest::paragraph_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected"); // "key=value" pairs that must hold; "key=" for absent
    // 28 characters a line: each 0.25 pt closer than its 16 pt.
    const QString body = u"eastAsia=FangSong_GB2312 ascii=FangSong_GB2312 sz=32 line=579 lineRule=exact charSpacing=-5"_qs;
    QTest::newRow("court_centredBoldTitleInSong") << 0 << u"××××人民法院"_qs
                                                  << u"jc=center b=1 sz=44 eastAsia=宋体 firstLine= charSpacing="_qs;
    QTest::newRow("doctype_centredBoldTitle") << 1 << u"民事判决书"_qs << u"jc=center b=1 sz=44"_qs;
    QTest::newRow("case number_rightAligned") << 2 << u"（××××）……民初……号"_qs << u"jc=right firstLine= b= "_qs + body;
    QTest::newRow("body_indentedTwoCharactersAndEscaped") << 3 << u"原告：张三。 <b>&amp;\"引号\""_qs
                                                         << u"jc=both firstLine=640 b= "_qs + body;
    QTest::newRow("heading_indentedBold") << 4 << u"事实和理由"_qs << u"firstLine=640 b=1 sz=32"_qs;
    QTest::newRow("addressee_leftWithoutIndent") << 5 << u"×××："_qs << u"jc=left firstLine="_qs;
    QTest::newRow("signature_rightKeepsFullWidthSpace") << 6 << u"审判长　×××"_qs << u"jc=right right=1280 "_qs + body;
    QTest::newRow("date_controlCharacterDropped") << 7 << u"二〇××年××月××日"_qs << u"jc=right right=1280"_qs;
}

void DocxWriterTest::paragraph()
{
    QFETCH(int, index);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    const QList<ReadParagraph> read = paragraphsOf(partOf(docxParts(sample()), u"word/document.xml"_qs));
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
    const QByteArray xml = partOf(docxParts(sample()), u"word/document.xml"_qs);
    const auto size = attributesOf(xml, u"w:pgSz"_qs);
    QCOMPARE(size.value(u"w:w"_qs), u"11906"_qs); // 210 mm
    QCOMPARE(size.value(u"w:h"_qs), u"16838"_qs); // 297 mm
    const auto margins = attributesOf(xml, u"w:pgMar"_qs);
    QCOMPARE(margins.value(u"w:top"_qs), u"2098"_qs);    // 37 mm
    QCOMPARE(margins.value(u"w:bottom"_qs), u"1984"_qs); // 35 mm
    QCOMPARE(margins.value(u"w:left"_qs), u"1587"_qs);   // 28 mm
    QCOMPARE(margins.value(u"w:right"_qs), u"1474"_qs);  // 26 mm
    const auto grid = attributesOf(xml, u"w:docGrid"_qs);
    QCOMPARE(grid.value(u"w:type"_qs), u"lines"_qs);
    QCOMPARE(grid.value(u"w:linePitch"_qs), u"579"_qs);
    // The defaults every other program falls back on carry the body font too.
    const auto fonts = attributesOf(partOf(docxParts(sample()), u"word/styles.xml"_qs), u"w:rFonts"_qs);
    QCOMPARE(fonts.value(u"w:eastAsia"_qs), u"FangSong_GB2312"_qs);
    const QByteArray fontTable = partOf(docxParts(sample()), u"word/fontTable.xml"_qs);
    QVERIFY(fontTable.contains(u"<w:altName w:val=\"仿宋\"/>"_qs.toUtf8()));
}

void DocxWriterTest::footers_numberPagesAtTheOutsideEdge()
{
    const QList<DocxPart> parts = docxParts(sample());
    QVERIFY(partOf(parts, u"word/settings.xml"_qs).contains("<w:evenAndOddHeaders/>"));
    const QList<ReadParagraph> odd = paragraphsOf(partOf(parts, u"word/footer1.xml"_qs));
    const QList<ReadParagraph> even = paragraphsOf(partOf(parts, u"word/footer2.xml"_qs));
    QCOMPARE(odd.size(), 1);
    QCOMPARE(odd.at(0).text, u"— 1 —"_qs);
    QCOMPARE(odd.at(0).props.value(u"jc"_qs), u"right"_qs);
    QCOMPARE(odd.at(0).props.value(u"sz"_qs), u"28"_qs);
    QCOMPARE(even.at(0).props.value(u"jc"_qs), u"left"_qs);
    QVERIFY(partOf(parts, u"word/footer1.xml"_qs).contains("> PAGE </w:instrText>"));
}

void DocxWriterTest::table_hasBordersAndEveryCell()
{
    ModelDocument doc;
    doc.paragraphs = {{Role::Table, {}, {{u"项目"_qs, u"金额"_qs}, {u"受理费"_qs}}}};
    const QByteArray xml = partOf(docxParts(doc), u"word/document.xml"_qs);
    for (const char *side : {"top", "left", "bottom", "right", "insideH", "insideV"})
        QVERIFY2(xml.contains(QByteArray(QByteArray("<w:") + side + " w:val=\"single\"")), side);
    QCOMPARE(xml.count("<w:tc>"), 4); // the short row is padded
    QVERIFY(xml.contains(u"受理费"_qs.toUtf8()));
    // A body may not end in a table.
    QVERIFY(xml.lastIndexOf("</w:tbl>") < xml.lastIndexOf("<w:p>"));
}

void DocxWriterTest::zip_holdsEveryPartDeflated()
{
    const QList<DocxPart> parts = docxParts(sample());
    QString error;
    const QByteArray bytes = zipParts(parts, &error);
    QVERIFY2(!bytes.isEmpty(), qPrintable(error));
    QVERIFY(bytes.startsWith("PK\x03\x04"));

    zip_error_t zipError;
    zip_error_init(&zipError);
    zip_source_t *source = zip_source_buffer_create(bytes.constData(), zip_uint64_t(bytes.size()), 0, &zipError);
    zip_t *archive = zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &zipError);
    QVERIFY(archive);
    QCOMPARE(zip_get_num_entries(archive, 0), zip_int64_t(parts.size()));
    QCOMPARE(QString::fromUtf8(zip_get_name(archive, 0, 0)), u"[Content_Types].xml"_qs);
    for (const DocxPart &part : parts) {
        zip_stat_t stat;
        QVERIFY(zip_stat(archive, part.name.toUtf8().constData(), 0, &stat) == 0);
        QCOMPARE(stat.comp_method, zip_uint16_t(ZIP_CM_DEFLATE));
        QByteArray data(qsizetype(stat.size), '\0');
        zip_file_t *file = zip_fopen(archive, part.name.toUtf8().constData(), 0);
        QVERIFY(file);
        QCOMPARE(zip_fread(file, data.data(), stat.size), zip_int64_t(stat.size));
        zip_fclose(file);
        QCOMPARE(data, part.data);
        QXmlStreamReader reader(data);
        while (!reader.atEnd())
            reader.readNext();
        QVERIFY2(!reader.hasError(), qPrintable(part.name + u": " + reader.errorString()));
    }
    zip_close(archive);
}

QTEST_APPLESS_MAIN(DocxWriterTest)
#include "tst_docxwriter.moc"
