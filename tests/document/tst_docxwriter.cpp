// SPDX-License-Identifier: GPL-3.0-or-later
// A model document as a Word file, as readers written elsewhere see it
// (python-docx reads it back, LibreOffice prints it).
#include "files.h"
#include "document/docxwriter.h"
#include "document/modeldocument.h"

#include <QTemporaryDir>
#include <QUrl>

using namespace Juanzong;
using namespace Qt::StringLiterals;
using Role = Paragraph::Role;
using TestFiles::run;

namespace {

bool write(const QString &path, const ModelDocument &doc)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(writeDocx(doc)) > 0;
}

// The Word file made of doc, as read_docx.py reports it.
QJsonObject readBack(const ModelDocument &doc)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"doc.docx"_s);
    return write(path, doc) ? TestFiles::readDocx(path) : QJsonObject();
}

// A value of the report as the rows write it: 16, true, CENTER; empty for none.
QString text(const QJsonValue &value)
{
    if (value.isBool())
        return value.toBool() ? u"true"_s : u"false"_s;
    return value.isDouble() ? QString::number(value.toDouble()) : value.toString();
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
        // A lone surrogate, as a page script can make one, goes; a pair stays.
        {Role::Heading, u"事实"_s + QChar(0xD800) + u"和理由\U00020000"_s, {}},
        {Role::Plain, u"×××："_s, {}},
        {Role::Sign, u"审判长　×××"_s, {}},
        {Role::Date, u"二〇××年××月××日\u0001"_s, {}},
    };
    return doc;
}

} // namespace

class DocxWriterTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void paragraph_data();
    void paragraph();
    void page_isA4WithOfficialMarginsAndGrid();
    void footers_numberPagesAtTheOutsideEdge();
    void table_hasBordersAndEveryCell();
    void libreOffice_printsTheWholeTextOnA4();

private:
    QJsonObject m_sample; // sample() as read back
};

void DocxWriterTest::initTestCase()
{
    m_sample = readBack(sample());
    QVERIFY2(!m_sample.isEmpty(), "python-docx could not read the file");
}

void DocxWriterTest::paragraph_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected"); // "key=value" pairs that must hold; "key=" for none
    // 28 characters a line: each 0.25 pt closer than its 16 pt, lines 28.95 pt apart.
    const QString body = u"east_asia=FangSong_GB2312 font=FangSong_GB2312 size_pt=16 line_pt=28.95 line_rule=EXACTLY"
                         u" char_spacing=-5"_s;
    QTest::newRow("court_centredBoldTitleInSong")
        << 0 << u"××××人民法院"_s << u"alignment=CENTER bold=true size_pt=22 east_asia=宋体 first_line_pt=0 char_spacing="_s;
    QTest::newRow("doctype_centredBoldTitle") << 1 << u"民事判决书"_s << u"alignment=CENTER bold=true size_pt=22"_s;
    QTest::newRow("case number_rightAligned") << 2 << u"（××××）……民初……号"_s
                                              << u"alignment=RIGHT first_line_pt=0 bold=false "_s + body;
    QTest::newRow("body_indentedTwoCharactersAndEscaped") << 3 << u"原告：张三。 <b>&amp;\"引号\""_s
                                                         << u"alignment=JUSTIFY first_line_pt=32 bold=false "_s + body;
    QTest::newRow("heading_indentedBold_loneSurrogateDropped") << 4 << u"事实和理由\U00020000"_s << u"first_line_pt=32 bold=true size_pt=16"_s;
    QTest::newRow("addressee_leftWithoutIndent") << 5 << u"×××："_s << u"alignment=LEFT first_line_pt=0"_s;
    QTest::newRow("signature_rightKeepsFullWidthSpace") << 6 << u"审判长　×××"_s
                                                        << u"alignment=RIGHT right_pt=64 "_s + body;
    QTest::newRow("date_controlCharacterDropped") << 7 << u"二〇××年××月××日"_s << u"alignment=RIGHT right_pt=64"_s;
}

void DocxWriterTest::paragraph()
{
    QFETCH(int, index);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    const QJsonArray read = m_sample.value(u"paragraphs").toArray();
    QCOMPARE(read.size(), sample().paragraphs.size());
    const QJsonObject p = read.at(index).toObject();
    QCOMPARE(p.value(u"text").toString(), text);
    for (const QString &pair : expected.split(u' ', Qt::SkipEmptyParts)) {
        const QString key = pair.section(u'=', 0, 0);
        const QString value = ::text(p.value(key));
        QVERIFY2(value == pair.section(u'=', 1), qPrintable(pair + u" but got " + value));
    }
}

void DocxWriterTest::page_isA4WithOfficialMarginsAndGrid()
{
    QCOMPARE(m_sample.value(u"page").toVariant(), QVariantList({210.0, 297.0}));
    QCOMPARE(m_sample.value(u"margins").toVariant(), QVariantList({37.0, 35.0, 28.0, 26.0})); // top, bottom, left, right
    QCOMPARE(m_sample.value(u"grid").toVariant(), QVariantList({u"lines"_s, u"579"_s}));
    // The defaults every other program falls back on carry the body font too,
    // and where it is missing, its common name.
    QCOMPARE(m_sample.value(u"default_east_asia").toString(), u"FangSong_GB2312"_s);
    QVERIFY(m_sample.value(u"alt_names").toVariant().toStringList().contains(u"仿宋"_s));
    QCOMPARE(m_sample.value(u"core_title").toString(), sample().heading);
}

void DocxWriterTest::footers_numberPagesAtTheOutsideEdge()
{
    QVERIFY(m_sample.value(u"odd_and_even_footers").toBool());
    const QJsonObject footers = m_sample.value(u"footers").toObject();
    const QJsonObject odd = footers.value(u"odd").toObject();
    QCOMPARE(odd.value(u"text").toString(), u"— 1 —"_s);
    QCOMPARE(odd.value(u"field").toString(), u"PAGE"_s);
    QCOMPARE(odd.value(u"alignment").toString(), u"RIGHT"_s);
    QCOMPARE(odd.value(u"size_pt").toDouble(), 14.0);
    QCOMPARE(footers.value(u"even").toObject().value(u"alignment").toString(), u"LEFT"_s);
}

void DocxWriterTest::table_hasBordersAndEveryCell()
{
    ModelDocument doc;
    doc.paragraphs = {{Role::Table, {}, {{u"项目"_s, u"金额"_s}, {u"受理费"_s}}}};
    const QJsonObject read = readBack(doc);
    // The short row is padded.
    QCOMPARE(read.value(u"tables").toVariant(),
             QVariantList({QVariantList({QVariantList({u"项目"_s, u"金额"_s}), QVariantList({u"受理费"_s, QString()})})}));
    const QStringList borders = read.value(u"table_borders").toArray().at(0).toVariant().toStringList();
    for (const QString &side : {u"top"_s, u"left"_s, u"bottom"_s, u"right"_s, u"insideH"_s, u"insideV"_s})
        QVERIFY2(borders.contains(side), qPrintable(side));
    // A body may not end in a table.
    QVERIFY(read.value(u"ends_in_paragraph").toBool());
}

void DocxWriterTest::libreOffice_printsTheWholeTextOnA4()
{
    ModelDocument doc = sample();
    doc.paragraphs.append({Role::Table, {}, {{u"项目"_s, u"金额"_s}, {u"案件受理费"_s, u"……元"_s}}});
    QTemporaryDir dir;
    const QString file = dir.filePath(u"判决书.docx"_s);
    QVERIFY(write(file, doc));

    // A profile of its own: no user's settings, no clash with a running LibreOffice.
    // Its first start builds the profile and takes its time.
    QTemporaryDir profile;
    bool ok = false;
    const QString log = run(u"soffice"_s,
                            {u"-env:UserInstallation="_s + QUrl::fromLocalFile(profile.path()).toString(),
                             u"--headless"_s, u"--norestore"_s, u"--convert-to"_s, u"pdf"_s, u"--outdir"_s,
                             dir.path(), file},
                            240000, &ok);
    const QString pdf = dir.filePath(u"判决书.pdf"_s);
    QVERIFY2(ok && QFile::exists(pdf), qPrintable(log));

    const QString info = run(u"pdfinfo"_s, {pdf});
    QVERIFY2(info.contains(u"(A4)"_s), qPrintable(info));
    const QString text = run(u"pdftotext"_s, {u"-enc"_s, u"UTF-8"_s, pdf, u"-"_s});
    for (const QString &expected : {u"原告：张三"_s, u"（××××）……民初……号"_s, u"案件受理费"_s, u"—1—"_s})
        QVERIFY2(text.contains(expected), qPrintable(expected + u" not in:\n"_s + text));
}

QTEST_GUILESS_MAIN(DocxWriterTest)
#include "tst_docxwriter.moc"
