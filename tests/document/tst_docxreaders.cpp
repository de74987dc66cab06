// SPDX-License-Identifier: GPL-3.0-or-later
// The exported Word file as other programs read it: python-docx for its
// structure, LibreOffice for a real layout, checked through the PDF it prints.
#include "document/clipboardformat.h"
#include "document/docxwriter.h"
#include "document/modeldocument.h"
#include "document/placeholders.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QUrl>
#include <QTest>

using namespace Juanzong;
using Role = Paragraph::Role;

namespace {

// A judgment as a page gives it, with the plaintiff's name filled in everywhere.
ModelDocument filledJudgment()
{
    ModelDocument doc;
    doc.heading = u"民事判决书（第一审普通程序用）"_qs;
    doc.paragraphs = {
        {Role::Court, u"××××人民法院"_qs, {}},
        {Role::DocType, u"民事判决书"_qs, {}},
        {Role::CaseNo, u"（××××）……民初……号"_qs, {}},
        {Role::Body, u"原告：×××，男/女，××××年××月××日出生，住……。"_qs, {}},
        {Role::Body, u"原告×××与被告×××……（写明案由）一案，本院于××××年××月××日立案后，依法适用普通程序，公开开庭进行了审理。"_qs, {}},
        {Role::Heading, u"事实和理由"_qs, {}},
        {Role::Table, {}, {{u"项目"_qs, u"金额"_qs}, {u"案件受理费"_qs, u"……元"_qs}}},
        {Role::Sign, u"审判长　×××"_qs, {}},
        {Role::Date, u"二〇××年××月××日"_qs, {}},
    };
    FillIn fill(doc);
    for (int g = 0; g < fill.groups().size(); ++g)
        if (fill.groups().at(g).label == u"原告 ×××")
            fill.setGroupValue(g, u"张小明"_qs);
    return fill.filled();
}

QString run(const QString &program, const QStringList &arguments, int timeout = 60000, bool *ok = nullptr)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.start(program, arguments);
    const bool finished = process.waitForFinished(timeout);
    if (ok)
        *ok = finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    if (!finished)
        process.kill();
    return QString::fromUtf8(process.readAllStandardOutput()) + QString::fromUtf8(process.readAllStandardError());
}

} // namespace

class DocxReadersTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void pythonDocx_paragraph_data();
    void pythonDocx_paragraph();
    void pythonDocx_pageTableAndFooter();
    void libreOffice_printsTheWholeTextOnA4();
    void libreOffice_readsTheClipboardHtmlWithItsLayout();

private:
    QTemporaryDir m_dir;
    QString m_file;
    QJsonObject m_read;
};

void DocxReadersTest::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_file = m_dir.filePath(u"判决书.docx"_qs);
    QFile out(m_file);
    QVERIFY(out.open(QIODevice::WriteOnly));
    QString error;
    const QByteArray bytes = writeDocx(filledJudgment(), &error);
    QVERIFY2(!bytes.isEmpty(), qPrintable(error));
    out.write(bytes);
    out.close();

    // Debian's python-docx serves the system interpreter, whatever else is on PATH.
    bool ok = false;
    const QString json = run(u"/usr/bin/python3"_qs, {QStringLiteral(JUANZONG_READ_DOCX), m_file}, 60000, &ok);
    QVERIFY2(ok, qPrintable(u"python-docx could not read the file: "_qs + json));
    m_read = QJsonDocument::fromJson(json.toUtf8()).object();
    QVERIFY2(!m_read.isEmpty(), qPrintable(json));
}

void DocxReadersTest::pythonDocx_paragraph_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("alignment");
    QTest::addColumn<double>("firstLine");
    QTest::addColumn<QString>("eastAsia");
    QTest::addColumn<double>("size");
    QTest::addColumn<bool>("bold");
    const QString body = u"FangSong_GB2312"_qs;
    QTest::newRow("court_centredTitle") << 0 << u"××××人民法院"_qs << u"CENTER"_qs << 0.0 << u"宋体"_qs << 22.0 << true;
    QTest::newRow("doctype_centredTitle") << 1 << u"民事判决书"_qs << u"CENTER"_qs << 0.0 << u"宋体"_qs << 22.0 << true;
    QTest::newRow("case number_right") << 2 << u"（××××）……民初……号"_qs << u"RIGHT"_qs << 0.0 << body << 16.0 << false;
    QTest::newRow("party_filledAndIndented") << 3 << u"原告：张小明，男/女，××××年××月××日出生，住……。"_qs << u"JUSTIFY"_qs
                                             << 32.0 << body << 16.0 << false;
    QTest::newRow("heading_boldIndented") << 5 << u"事实和理由"_qs << u"JUSTIFY"_qs << 32.0 << body << 16.0 << true;
    QTest::newRow("signature_keepsFullWidthSpace") << 6 << u"审判长　×××"_qs << u"RIGHT"_qs << 0.0 << body << 16.0
                                                   << false;
}

void DocxReadersTest::pythonDocx_paragraph()
{
    QFETCH(int, index);
    QFETCH(QString, text);
    QFETCH(QString, alignment);
    QFETCH(double, firstLine);
    QFETCH(QString, eastAsia);
    QFETCH(double, size);
    QFETCH(bool, bold);
    const QJsonObject p = m_read.value(u"paragraphs").toArray().at(index).toObject();
    QCOMPARE(p.value(u"text").toString(), text);
    QCOMPARE(p.value(u"alignment").toString(), alignment);
    QCOMPARE(p.value(u"first_line_pt").toDouble(), firstLine);
    QCOMPARE(p.value(u"east_asia").toString(), eastAsia);
    QCOMPARE(p.value(u"size_pt").toDouble(), size);
    QCOMPARE(p.value(u"bold").toBool(), bold);
    QCOMPARE(p.value(u"line_pt").toDouble(), 28.95);
}

void DocxReadersTest::pythonDocx_pageTableAndFooter()
{
    const QJsonArray page = m_read.value(u"page").toArray();
    QCOMPARE(page.at(0).toDouble(), 210.0);
    QCOMPARE(page.at(1).toDouble(), 297.0);
    const QJsonArray margins = m_read.value(u"margins").toArray(); // top, bottom, left, right
    QCOMPARE(margins.at(0).toDouble(), 37.0);
    QCOMPARE(margins.at(1).toDouble(), 35.0);
    QCOMPARE(margins.at(2).toDouble(), 28.0);
    QCOMPARE(margins.at(3).toDouble(), 26.0);
    const QJsonArray table = m_read.value(u"tables").toArray().at(0).toArray();
    QCOMPARE(table.size(), 2);
    QCOMPARE(table.at(1).toArray().at(0).toString(), u"案件受理费"_qs);
    QCOMPARE(m_read.value(u"footer").toArray().at(0).toString(), u"— 1 —"_qs);
    QCOMPARE(m_read.value(u"core_title").toString(), u"民事判决书（第一审普通程序用）"_qs);
}

void DocxReadersTest::libreOffice_printsTheWholeTextOnA4()
{
    // A profile of its own: no user's LibreOffice settings, no clash with a running one.
    QTemporaryDir profile;
    QVERIFY(profile.isValid());
    bool ok = false;
    const QString log = run(u"soffice"_qs,
                            {u"-env:UserInstallation="_qs + QUrl::fromLocalFile(profile.path()).toString(),
                             u"--headless"_qs, u"--norestore"_qs, u"--convert-to"_qs, u"pdf"_qs, u"--outdir"_qs,
                             m_dir.path(), m_file},
                            240000, &ok);
    const QString pdf = m_dir.filePath(u"判决书.pdf"_qs);
    QVERIFY2(ok && QFile::exists(pdf), qPrintable(log));

    // To look at the page: JUANZONG_KEEP_PDF=/tmp/page.pdf, then pdftoppm.
    if (!qEnvironmentVariableIsEmpty("JUANZONG_KEEP_PDF"))
        QFile::copy(pdf, qEnvironmentVariable("JUANZONG_KEEP_PDF"));

    const QString info = run(u"pdfinfo"_qs, {pdf});
    QVERIFY2(info.contains(u"(A4)"_qs), qPrintable(info));
    const QString text = run(u"pdftotext"_qs, {u"-enc"_qs, u"UTF-8"_qs, pdf, u"-"_qs});
    for (const QString &expected : {u"原告：张小明，男/女"_qs, u"原告张小明与被告×××"_qs, u"（××××）……民初……号"_qs,
                                    u"案件受理费"_qs, u"—1—"_qs})
        QVERIFY2(text.contains(expected), qPrintable(expected + u" not in:\n"_qs + text));

    // A PDF draws no glyph for a space, it leaves a gap: the full-width space
    // in "审判长　×××" must leave one of a whole character (15.75 pt), where an
    // ASCII space would leave about a third of that.
    const QString boxes = run(u"pdftotext"_qs, {u"-bbox"_qs, u"-enc"_qs, u"UTF-8"_qs, pdf, u"-"_qs});
    static const QRegularExpression word(u"xMin=\"([0-9.]+)\"[^>]*xMax=\"([0-9.]+)\"[^>]*>([^<]*)</word>"_qs);
    double titleEnd = -1;
    double gap = -1;
    for (auto it = word.globalMatch(boxes); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.captured(3) == u"审判长")
            titleEnd = m.captured(2).toDouble();
        else if (titleEnd >= 0 && gap < 0)
            gap = m.captured(1).toDouble() - titleEnd;
    }
    QVERIFY2(gap > 14 && gap < 18, qPrintable(QString::number(gap)));
}

// Writer reads pasted HTML with the same filter that opens an HTML file: what
// it makes of the clipboard's HTML is what a paste gives.
void DocxReadersTest::libreOffice_readsTheClipboardHtmlWithItsLayout()
{
    const QString html = m_dir.filePath(u"clipboard.html"_qs);
    QFile out(html);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(clipboardHtml(filledJudgment()).toUtf8());
    out.close();
    QTemporaryDir profile;
    bool ok = false;
    const QString log = run(u"soffice"_qs,
                            {u"-env:UserInstallation="_qs + QUrl::fromLocalFile(profile.path()).toString(),
                             u"--headless"_qs, u"--norestore"_qs, u"--writer"_qs, u"--convert-to"_qs,
                             u"docx:MS Word 2007 XML"_qs, u"--outdir"_qs, m_dir.filePath(u"pasted"_qs), html},
                            240000, &ok);
    const QString docx = m_dir.filePath(u"pasted/clipboard.docx"_qs);
    QVERIFY2(ok && QFile::exists(docx), qPrintable(log));
    const QString json = run(u"/usr/bin/python3"_qs, {QStringLiteral(JUANZONG_READ_DOCX), docx}, 60000, &ok);
    QVERIFY2(ok, qPrintable(json));
    QStringList seen;
    for (const QJsonValue &value : QJsonDocument::fromJson(json.toUtf8()).object().value(u"paragraphs").toArray()) {
        const QJsonObject p = value.toObject();
        if (!p.value(u"text").toString().isEmpty())
            seen.append(p.value(u"text").toString() + u" | " + p.value(u"alignment").toString() + u" | "
                        + QString::number(p.value(u"first_line_pt").toDouble()));
    }
    for (const QString &expected : {u"××××人民法院 | CENTER | 0"_qs, u"民事判决书 | CENTER | 0"_qs,
                                    u"（××××）……民初……号 | RIGHT | 0"_qs,
                                    u"原告：张小明，男/女，××××年××月××日出生，住……。 | JUSTIFY | 32"_qs,
                                    u"审判长　××× | RIGHT | 0"_qs})
        QVERIFY2(seen.contains(expected), qPrintable(expected + u" not in:\n"_qs + seen.join(u'\n')));
}

QTEST_GUILESS_MAIN(DocxReadersTest)
#include "tst_docxreaders.moc"
