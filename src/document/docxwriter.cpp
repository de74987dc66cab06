// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/docxwriter.h"

#include "document/modeldocument.h"
#include "document/officiallayout.h"

#include <QXmlStreamWriter>

#include <zip.h>

#include <algorithm>

namespace Juanzong {

namespace {

struct DocxPart
{
    QString name; // path inside the package: "word/document.xml"
    QByteArray data;
};

using namespace OfficialLayout;
using Role = Paragraph::Role;

const QString W = QStringLiteral("http://schemas.openxmlformats.org/wordprocessingml/2006/main");
const QString R = QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships");
const QString PackageRels = QStringLiteral("http://schemas.openxmlformats.org/package/2006/relationships");
const QString OfficeRel = QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships/");

constexpr int TypeWidthTwips = twipsOfMm(PaperMm.typeWidth());
// The page number's line sits 7 mm under the type area.
constexpr int FooterTwips = twipsOfMm(PaperMm.bottom - 7) - PageNumberPt * 20;
constexpr int HeaderTwips = twipsOfMm(15);
// One character of the page number's size: the gap to the outside edge.
constexpr int PageNumberGapTwips = PageNumberPt * 20;
constexpr int IndentTwips = 2 * BodyPt * 20;
constexpr int SignGapTwips = 4 * BodyPt * 20;

// XML 1.0 has no way to hold most control characters, even escaped, nor
// half of a surrogate pair: the writer would stop at one, mid-document.
QString xmlSafe(const QString &text)
{
    const QString folded = foldedText(text);
    QString out;
    out.reserve(folded.size());
    for (qsizetype i = 0; i < folded.size(); ++i) {
        const QChar c = folded.at(i);
        if (c.isHighSurrogate() && i + 1 < folded.size() && folded.at(i + 1).isLowSurrogate()) {
            out += c;
            out += folded.at(++i);
        } else if (!c.isSurrogate() && c.unicode() >= 0x20 && c.unicode() != 0xFFFE && c.unicode() != 0xFFFF) {
            out += c;
        }
    }
    return out;
}

class Xml
{
public:
    Xml() : m_writer(&m_bytes)
    {
        m_writer.writeStartDocument(QStringLiteral("1.0"), true);
    }
    QXmlStreamWriter *operator->() { return &m_writer; }
    // An element with w: attributes and no content.
    void empty(const QString &name, std::initializer_list<std::pair<QString, QString>> attributes = {})
    {
        m_writer.writeEmptyElement(name);
        for (const auto &[key, value] : attributes)
            m_writer.writeAttribute(key, value);
    }
    void start(const QString &name) { m_writer.writeStartElement(name); }
    void end() { m_writer.writeEndElement(); }
    // Empty where the writer failed: a part cut short is never packed.
    QByteArray finish()
    {
        m_writer.writeEndDocument();
        return m_writer.hasError() ? QByteArray() : m_bytes;
    }

private:
    QByteArray m_bytes;
    QXmlStreamWriter m_writer;
};

QString num(int value)
{
    return QString::number(value);
}

struct Font
{
    QString latin;
    QString eastAsia;
    int halfPoints;
    bool bold;
    int spacing = 0; // twentieths of a point between characters
};

Font bodyFont()
{
    return {QString::fromUtf16(BodyFamily), QString::fromUtf16(BodyFamily), BodyPt * 2, false, CharSpacingTwentieths};
}

Font titleFont()
{
    return {QString::fromUtf16(TitleFamilyAlt), QString::fromUtf16(TitleFamily), TitlePt * 2, true};
}

void writeRunProperties(Xml &xml, const Font &font)
{
    xml.start(QStringLiteral("w:rPr"));
    // The hint and the eastAsia family are what make Word and WPS choose the
    // Chinese face for Chinese text instead of the Latin one.
    xml.empty(QStringLiteral("w:rFonts"), {{QStringLiteral("w:ascii"), font.latin},
                                           {QStringLiteral("w:hAnsi"), font.latin},
                                           {QStringLiteral("w:eastAsia"), font.eastAsia},
                                           {QStringLiteral("w:cs"), font.latin},
                                           {QStringLiteral("w:hint"), QStringLiteral("eastAsia")}});
    if (font.bold) {
        xml.empty(QStringLiteral("w:b"));
        xml.empty(QStringLiteral("w:bCs"));
    }
    if (font.spacing != 0)
        xml.empty(QStringLiteral("w:spacing"), {{QStringLiteral("w:val"), num(font.spacing)}});
    xml.empty(QStringLiteral("w:sz"), {{QStringLiteral("w:val"), num(font.halfPoints)}});
    xml.empty(QStringLiteral("w:szCs"), {{QStringLiteral("w:val"), num(font.halfPoints)}});
    xml.empty(QStringLiteral("w:lang"), {{QStringLiteral("w:val"), QStringLiteral("en-US")},
                                         {QStringLiteral("w:eastAsia"), QStringLiteral("zh-CN")}});
    xml.end();
}

void writeText(Xml &xml, const QString &text)
{
    xml.start(QStringLiteral("w:t"));
    xml->writeAttribute(QStringLiteral("xml:space"), QStringLiteral("preserve"));
    xml->writeCharacters(text);
    xml.end();
}

void writeRun(Xml &xml, const Font &font, const QString &text)
{
    xml.start(QStringLiteral("w:r"));
    writeRunProperties(xml, font);
    writeText(xml, text);
    xml.end();
}

// Paragraph properties in the order the schema fixes: spacing, ind, jc.
void writeParagraph(Xml &xml, Role role, const QString &text)
{
    const bool title = role == Role::Court || role == Role::DocType;
    xml.start(QStringLiteral("w:p"));
    xml.start(QStringLiteral("w:pPr"));
    xml.empty(QStringLiteral("w:spacing"), {{QStringLiteral("w:before"), QStringLiteral("0")},
                                            {QStringLiteral("w:after"), QStringLiteral("0")},
                                            {QStringLiteral("w:line"), num(LinePitchTwips)},
                                            {QStringLiteral("w:lineRule"), QStringLiteral("exact")}});
    QString align;
    switch (role) {
    case Role::Court:
    case Role::DocType:
        align = QStringLiteral("center");
        break;
    case Role::CaseNo:
        align = QStringLiteral("right");
        break;
    case Role::Body:
    case Role::Heading:
        xml.empty(QStringLiteral("w:ind"), {{QStringLiteral("w:firstLineChars"), QStringLiteral("200")},
                                            {QStringLiteral("w:firstLine"), num(IndentTwips)}});
        align = QStringLiteral("both");
        break;
    case Role::Sign:
    case Role::Date:
        xml.empty(QStringLiteral("w:ind"), {{QStringLiteral("w:rightChars"), QStringLiteral("400")},
                                            {QStringLiteral("w:right"), num(SignGapTwips)}});
        align = QStringLiteral("right");
        break;
    case Role::Plain:
    case Role::Table:
        align = QStringLiteral("left");
        break;
    }
    xml.empty(QStringLiteral("w:jc"), {{QStringLiteral("w:val"), align}});
    xml.end();
    if (!text.isEmpty()) {
        Font font = title ? titleFont() : bodyFont();
        font.bold = font.bold || role == Role::Heading;
        writeRun(xml, font, text);
    }
    xml.end();
}

void writeTable(Xml &xml, const Paragraph &table)
{
    qsizetype columns = 1;
    for (const QStringList &row : table.rows)
        columns = std::max(columns, row.size());
    const int cellWidth = int(TypeWidthTwips / columns);

    xml.start(QStringLiteral("w:tbl"));
    xml.start(QStringLiteral("w:tblPr"));
    xml.empty(QStringLiteral("w:tblW"), {{QStringLiteral("w:w"), num(TypeWidthTwips)},
                                         {QStringLiteral("w:type"), QStringLiteral("dxa")}});
    xml.start(QStringLiteral("w:tblBorders"));
    for (const char *side : {"top", "left", "bottom", "right", "insideH", "insideV"})
        xml.empty(QStringLiteral("w:") + QLatin1StringView(side), {{QStringLiteral("w:val"), QStringLiteral("single")},
                                                                   {QStringLiteral("w:sz"), QStringLiteral("4")},
                                                                   {QStringLiteral("w:space"), QStringLiteral("0")},
                                                                   {QStringLiteral("w:color"), QStringLiteral("000000")}});
    xml.end();
    xml.empty(QStringLiteral("w:tblLayout"), {{QStringLiteral("w:type"), QStringLiteral("fixed")}});
    xml.end();
    xml.start(QStringLiteral("w:tblGrid"));
    for (qsizetype c = 0; c < columns; ++c)
        xml.empty(QStringLiteral("w:gridCol"), {{QStringLiteral("w:w"), num(cellWidth)}});
    xml.end();
    for (const QStringList &row : table.rows) {
        xml.start(QStringLiteral("w:tr"));
        for (qsizetype c = 0; c < columns; ++c) {
            xml.start(QStringLiteral("w:tc"));
            xml.start(QStringLiteral("w:tcPr"));
            xml.empty(QStringLiteral("w:tcW"), {{QStringLiteral("w:w"), num(cellWidth)},
                                                {QStringLiteral("w:type"), QStringLiteral("dxa")}});
            xml.end();
            // Every cell needs a paragraph, even an empty one.
            writeParagraph(xml, Role::Table, xmlSafe(row.value(c)));
            xml.end();
        }
        xml.end();
    }
    xml.end();
}

QByteArray documentXml(const ModelDocument &document)
{
    Xml xml;
    xml.start(QStringLiteral("w:document"));
    xml->writeNamespace(W, QStringLiteral("w"));
    xml->writeNamespace(R, QStringLiteral("r"));
    xml.start(QStringLiteral("w:body"));
    for (const Paragraph &p : document.paragraphs) {
        if (p.role == Role::Table)
            writeTable(xml, p);
        else
            writeParagraph(xml, p.role, xmlSafe(p.text));
    }
    // Word wants the body to end in a paragraph, not a table.
    if (document.paragraphs.isEmpty() || document.paragraphs.constLast().role == Role::Table)
        writeParagraph(xml, Role::Plain, QString());

    xml.start(QStringLiteral("w:sectPr"));
    xml.empty(QStringLiteral("w:footerReference"), {{QStringLiteral("w:type"), QStringLiteral("default")},
                                                    {QStringLiteral("r:id"), QStringLiteral("rIdFooterOdd")}});
    xml.empty(QStringLiteral("w:footerReference"), {{QStringLiteral("w:type"), QStringLiteral("even")},
                                                    {QStringLiteral("r:id"), QStringLiteral("rIdFooterEven")}});
    xml.empty(QStringLiteral("w:pgSz"), {{QStringLiteral("w:w"), num(twipsOfMm(PaperMm.width))},
                                         {QStringLiteral("w:h"), num(twipsOfMm(PaperMm.height))}});
    xml.empty(QStringLiteral("w:pgMar"), {{QStringLiteral("w:top"), num(twipsOfMm(PaperMm.top))},
                                          {QStringLiteral("w:right"), num(twipsOfMm(PaperMm.right))},
                                          {QStringLiteral("w:bottom"), num(twipsOfMm(PaperMm.bottom))},
                                          {QStringLiteral("w:left"), num(twipsOfMm(PaperMm.left))},
                                          {QStringLiteral("w:header"), num(HeaderTwips)},
                                          {QStringLiteral("w:footer"), num(FooterTwips)},
                                          {QStringLiteral("w:gutter"), QStringLiteral("0")}});
    xml.empty(QStringLiteral("w:cols"), {{QStringLiteral("w:space"), QStringLiteral("425")}});
    xml.empty(QStringLiteral("w:docGrid"), {{QStringLiteral("w:type"), QStringLiteral("lines")},
                                            {QStringLiteral("w:linePitch"), num(LinePitchTwips)}});
    xml.end();
    xml.end();
    xml.end();
    return xml.finish();
}

// "— 1 —" in 四号 宋体, one character in from the outside edge: right on odd
// pages, left on even ones.
QByteArray footerXml(bool odd)
{
    const Font font{QString::fromUtf16(TitleFamilyAlt), QString::fromUtf16(TitleFamily), PageNumberPt * 2, false};
    Xml xml;
    xml.start(QStringLiteral("w:ftr"));
    xml->writeNamespace(W, QStringLiteral("w"));
    xml->writeNamespace(R, QStringLiteral("r"));
    xml.start(QStringLiteral("w:p"));
    xml.start(QStringLiteral("w:pPr"));
    xml.empty(QStringLiteral("w:snapToGrid"), {{QStringLiteral("w:val"), QStringLiteral("0")}});
    xml.empty(QStringLiteral("w:ind"), {{odd ? QStringLiteral("w:right") : QStringLiteral("w:left"), num(PageNumberGapTwips)}});
    xml.empty(QStringLiteral("w:jc"), {{QStringLiteral("w:val"), odd ? QStringLiteral("right") : QStringLiteral("left")}});
    xml.end();
    writeRun(xml, font, QStringLiteral("— "));
    auto fieldChar = [&](const QString &type) {
        xml.start(QStringLiteral("w:r"));
        writeRunProperties(xml, font);
        xml.empty(QStringLiteral("w:fldChar"), {{QStringLiteral("w:fldCharType"), type}});
        xml.end();
    };
    fieldChar(QStringLiteral("begin"));
    xml.start(QStringLiteral("w:r"));
    writeRunProperties(xml, font);
    xml.start(QStringLiteral("w:instrText"));
    xml->writeAttribute(QStringLiteral("xml:space"), QStringLiteral("preserve"));
    xml->writeCharacters(QStringLiteral(" PAGE "));
    xml.end();
    xml.end();
    fieldChar(QStringLiteral("separate"));
    writeRun(xml, font, QStringLiteral("1"));
    fieldChar(QStringLiteral("end"));
    writeRun(xml, font, QStringLiteral(" —"));
    xml.end();
    xml.end();
    return xml.finish();
}

QByteArray stylesXml()
{
    Xml xml;
    xml.start(QStringLiteral("w:styles"));
    xml->writeNamespace(W, QStringLiteral("w"));
    xml.start(QStringLiteral("w:docDefaults"));
    xml.start(QStringLiteral("w:rPrDefault"));
    writeRunProperties(xml, bodyFont());
    xml.end();
    xml.start(QStringLiteral("w:pPrDefault"));
    xml.start(QStringLiteral("w:pPr"));
    xml.empty(QStringLiteral("w:spacing"), {{QStringLiteral("w:line"), num(LinePitchTwips)},
                                            {QStringLiteral("w:lineRule"), QStringLiteral("exact")}});
    xml.end();
    xml.end();
    xml.end();
    xml.start(QStringLiteral("w:style"));
    xml->writeAttribute(QStringLiteral("w:type"), QStringLiteral("paragraph"));
    xml->writeAttribute(QStringLiteral("w:default"), QStringLiteral("1"));
    xml->writeAttribute(QStringLiteral("w:styleId"), QStringLiteral("Normal"));
    xml.empty(QStringLiteral("w:name"), {{QStringLiteral("w:val"), QStringLiteral("Normal")}});
    xml.empty(QStringLiteral("w:qFormat"));
    xml.end();
    xml.end();
    return xml.finish();
}

QByteArray settingsXml()
{
    Xml xml;
    xml.start(QStringLiteral("w:settings"));
    xml->writeNamespace(W, QStringLiteral("w"));
    // Page numbers sit at the outside edge, which differs on odd and even pages.
    xml.empty(QStringLiteral("w:evenAndOddHeaders"));
    xml.empty(QStringLiteral("w:defaultTabStop"), {{QStringLiteral("w:val"), num(2 * BodyPt * 10)}});
    xml.empty(QStringLiteral("w:characterSpacingControl"), {{QStringLiteral("w:val"), QStringLiteral("compressPunctuation")}});
    xml.end();
    return xml.finish();
}

// Word takes altName when the first family is missing; the charset and
// family class steer any other program to a Chinese serif face.
QByteArray fontTableXml()
{
    Xml xml;
    xml.start(QStringLiteral("w:fonts"));
    xml->writeNamespace(W, QStringLiteral("w"));
    auto font = [&](const QString &name, const QString &alt, const QString &panose, const QString &pitch) {
        xml.start(QStringLiteral("w:font"));
        xml->writeAttribute(QStringLiteral("w:name"), name);
        xml.empty(QStringLiteral("w:altName"), {{QStringLiteral("w:val"), alt}});
        xml.empty(QStringLiteral("w:panose1"), {{QStringLiteral("w:val"), panose}});
        xml.empty(QStringLiteral("w:charset"), {{QStringLiteral("w:val"), QStringLiteral("86")}});
        xml.empty(QStringLiteral("w:family"), {{QStringLiteral("w:val"), QStringLiteral("roman")}});
        xml.empty(QStringLiteral("w:pitch"), {{QStringLiteral("w:val"), pitch}});
        xml.end();
    };
    font(QString::fromUtf16(BodyFamily), QString::fromUtf16(BodyFamilyAlt), QStringLiteral("02010609060101010101"),
         QStringLiteral("fixed"));
    font(QString::fromUtf16(TitleFamily), QString::fromUtf16(TitleFamilyAlt), QStringLiteral("02010600030101010101"),
         QStringLiteral("variable"));
    font(QString::fromUtf16(TitleFamilyAlt), QString::fromUtf16(TitleFamily), QStringLiteral("02010600030101010101"),
         QStringLiteral("variable"));
    xml.end();
    return xml.finish();
}

QByteArray relationships(const QList<std::pair<QString, std::pair<QString, QString>>> &rels)
{
    Xml xml;
    xml.start(QStringLiteral("Relationships"));
    xml->writeDefaultNamespace(PackageRels);
    for (const auto &[id, target] : rels) {
        xml.empty(QStringLiteral("Relationship"), {{QStringLiteral("Id"), id},
                                                   {QStringLiteral("Type"), target.first},
                                                   {QStringLiteral("Target"), target.second}});
    }
    xml.end();
    return xml.finish();
}

QByteArray contentTypesXml()
{
    const QString ooxml = QStringLiteral("application/vnd.openxmlformats-officedocument.wordprocessingml.");
    Xml xml;
    xml.start(QStringLiteral("Types"));
    xml->writeDefaultNamespace(QStringLiteral("http://schemas.openxmlformats.org/package/2006/content-types"));
    xml.empty(QStringLiteral("Default"), {{QStringLiteral("Extension"), QStringLiteral("rels")},
                                          {QStringLiteral("ContentType"),
                                           QStringLiteral("application/vnd.openxmlformats-package.relationships+xml")}});
    xml.empty(QStringLiteral("Default"), {{QStringLiteral("Extension"), QStringLiteral("xml")},
                                          {QStringLiteral("ContentType"), QStringLiteral("application/xml")}});
    auto part = [&](const QString &name, const QString &type) {
        xml.empty(QStringLiteral("Override"), {{QStringLiteral("PartName"), name}, {QStringLiteral("ContentType"), type}});
    };
    part(QStringLiteral("/word/document.xml"), ooxml + u"document.main+xml");
    part(QStringLiteral("/word/styles.xml"), ooxml + u"styles+xml");
    part(QStringLiteral("/word/settings.xml"), ooxml + u"settings+xml");
    part(QStringLiteral("/word/fontTable.xml"), ooxml + u"fontTable+xml");
    part(QStringLiteral("/word/footer1.xml"), ooxml + u"footer+xml");
    part(QStringLiteral("/word/footer2.xml"), ooxml + u"footer+xml");
    part(QStringLiteral("/docProps/core.xml"), QStringLiteral("application/vnd.openxmlformats-package.core-properties+xml"));
    xml.end();
    return xml.finish();
}

QByteArray coreXml(const ModelDocument &document)
{
    Xml xml;
    xml.start(QStringLiteral("cp:coreProperties"));
    xml->writeNamespace(QStringLiteral("http://schemas.openxmlformats.org/package/2006/metadata/core-properties"),
                        QStringLiteral("cp"));
    xml->writeNamespace(QStringLiteral("http://purl.org/dc/elements/1.1/"), QStringLiteral("dc"));
    xml.start(QStringLiteral("dc:title"));
    xml->writeCharacters(xmlSafe(document.heading));
    xml.end();
    xml.end();
    return xml.finish();
}

// The XML parts of the package, [Content_Types].xml first.
QList<DocxPart> docxParts(const ModelDocument &document)
{
    const QString rels = OfficeRel;
    return {
        {QStringLiteral("[Content_Types].xml"), contentTypesXml()},
        {QStringLiteral("_rels/.rels"),
         relationships({{QStringLiteral("rId1"), {rels + u"officeDocument", QStringLiteral("word/document.xml")}},
                        {QStringLiteral("rId2"),
                         {QStringLiteral("http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties"),
                          QStringLiteral("docProps/core.xml")}}})},
        {QStringLiteral("docProps/core.xml"), coreXml(document)},
        {QStringLiteral("word/document.xml"), documentXml(document)},
        {QStringLiteral("word/_rels/document.xml.rels"),
         relationships({{QStringLiteral("rIdStyles"), {rels + u"styles", QStringLiteral("styles.xml")}},
                        {QStringLiteral("rIdSettings"), {rels + u"settings", QStringLiteral("settings.xml")}},
                        {QStringLiteral("rIdFonts"), {rels + u"fontTable", QStringLiteral("fontTable.xml")}},
                        {QStringLiteral("rIdFooterOdd"), {rels + u"footer", QStringLiteral("footer1.xml")}},
                        {QStringLiteral("rIdFooterEven"), {rels + u"footer", QStringLiteral("footer2.xml")}}})},
        {QStringLiteral("word/styles.xml"), stylesXml()},
        {QStringLiteral("word/settings.xml"), settingsXml()},
        {QStringLiteral("word/fontTable.xml"), fontTableXml()},
        {QStringLiteral("word/footer1.xml"), footerXml(true)},
        {QStringLiteral("word/footer2.xml"), footerXml(false)},
    };
}

QByteArray zipParts(const QList<DocxPart> &parts, QString *error)
{
    auto fail = [error](const char *what, zip_error_t *zipError) {
        if (error)
            *error = QString::fromUtf8(what) + u": " + QString::fromUtf8(zip_error_strerror(zipError));
        return QByteArray();
    };
    zip_error_t zipError;
    zip_error_init(&zipError);
    // The archive is built in memory and handed over whole, so that the file on
    // disk is written in one go by the caller.
    zip_source_t *buffer = zip_source_buffer_create(nullptr, 0, 0, &zipError);
    if (!buffer)
        return fail("zip buffer", &zipError);
    zip_t *archive = zip_open_from_source(buffer, ZIP_TRUNCATE, &zipError);
    if (!archive) {
        zip_source_free(buffer);
        return fail("zip open", &zipError);
    }
    zip_source_keep(buffer);
    for (const DocxPart &part : parts) {
        if (part.data.isEmpty()) {
            zip_discard(archive);
            zip_source_free(buffer);
            if (error)
                *error = QStringLiteral("xml: ") + part.name;
            return {};
        }
        zip_source_t *source = zip_source_buffer(archive, part.data.constData(), zip_uint64_t(part.data.size()), 0);
        const zip_int64_t index = source ? zip_file_add(archive, part.name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8)
                                         : -1;
        if (index < 0) {
            if (source)
                zip_source_free(source);
            QByteArray result = fail("zip add", zip_get_error(archive));
            zip_discard(archive);
            zip_source_free(buffer);
            return result;
        }
        zip_set_file_compression(archive, zip_uint64_t(index), ZIP_CM_DEFLATE, 9);
    }
    if (zip_close(archive) < 0) {
        QByteArray result = fail("zip close", zip_get_error(archive));
        zip_discard(archive);
        zip_source_free(buffer);
        return result;
    }

    QByteArray bytes;
    if (zip_source_open(buffer) < 0) {
        QByteArray result = fail("zip read", zip_source_error(buffer));
        zip_source_free(buffer);
        return result;
    }
    zip_source_seek(buffer, 0, SEEK_END);
    const zip_int64_t size = zip_source_tell(buffer);
    zip_source_seek(buffer, 0, SEEK_SET);
    bytes.resize(qsizetype(std::max<zip_int64_t>(size, 0)));
    const zip_int64_t read = zip_source_read(buffer, bytes.data(), zip_uint64_t(bytes.size()));
    zip_source_close(buffer);
    zip_source_free(buffer);
    if (read != size)
        return fail("zip read", &zipError);
    return bytes;
}

} // namespace

QByteArray writeDocx(const ModelDocument &document, QString *error)
{
    return zipParts(docxParts(document), error);
}

} // namespace Juanzong
