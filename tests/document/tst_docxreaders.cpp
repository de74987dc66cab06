// SPDX-License-Identifier: GPL-3.0-or-later
// The exported Word file as LibreOffice lays it out, checked through the PDF it prints.
#include "document/docxwriter.h"
#include "document/modeldocument.h"
#include "document/placeholders.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QUrl>
#include <QTest>

using namespace Juanzong;
using namespace Qt::StringLiterals;
using Role = Paragraph::Role;

namespace {

// A judgment as a page gives it, with the plaintiff's name filled in everywhere.
ModelDocument filledJudgment()
{
    ModelDocument doc;
    doc.heading = u"民事判决书（第一审普通程序用）"_s;
    doc.paragraphs = {
        {Role::Court, u"××××人民法院"_s, {}},
        {Role::DocType, u"民事判决书"_s, {}},
        {Role::CaseNo, u"（××××）……民初……号"_s, {}},
        {Role::Body, u"原告：×××，男/女，××××年××月××日出生，住……。"_s, {}},
        {Role::Body, u"原告×××与被告×××……（写明案由）一案，本院于××××年××月××日立案后，依法适用普通程序，公开开庭进行了审理。"_s, {}},
        {Role::Heading, u"事实和理由"_s, {}},
        {Role::Table, {}, {{u"项目"_s, u"金额"_s}, {u"案件受理费"_s, u"……元"_s}}},
        {Role::Sign, u"审判长　×××"_s, {}},
        {Role::Date, u"二〇××年××月××日"_s, {}},
    };
    FillIn fill(doc);
    for (int g = 0; g < fill.groups().size(); ++g)
        if (fill.groups().at(g).label == u"原告 ×××")
            fill.setGroupValue(g, u"张小明"_s);
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

// LibreOffice headless with a profile of its own: no user's settings, no clash
// with a running one. Its first start builds the profile and takes its time.
QString soffice(const QStringList &arguments, bool *ok)
{
    QTemporaryDir profile;
    return run(u"soffice"_s,
               QStringList{u"-env:UserInstallation="_s + QUrl::fromLocalFile(profile.path()).toString(),
                           u"--headless"_s, u"--norestore"_s} + arguments,
               240000, ok);
}
} // namespace

class DocxReadersTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void libreOffice_printsTheWholeTextOnA4();

private:
    QTemporaryDir m_dir;
    QString m_file;
};

void DocxReadersTest::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_file = m_dir.filePath(u"判决书.docx"_s);
    QFile out(m_file);
    QVERIFY(out.open(QIODevice::WriteOnly));
    QString error;
    const QByteArray bytes = writeDocx(filledJudgment(), &error);
    QVERIFY2(!bytes.isEmpty(), qPrintable(error));
    out.write(bytes);
}

void DocxReadersTest::libreOffice_printsTheWholeTextOnA4()
{
    bool ok = false;
    const QString log = soffice({u"--convert-to"_s, u"pdf"_s, u"--outdir"_s, m_dir.path(), m_file}, &ok);
    const QString pdf = m_dir.filePath(u"判决书.pdf"_s);
    QVERIFY2(ok && QFile::exists(pdf), qPrintable(log));

    // To look at the page: JUANZONG_KEEP_PDF=/tmp/page.pdf, then pdftoppm.
    if (!qEnvironmentVariableIsEmpty("JUANZONG_KEEP_PDF"))
        QFile::copy(pdf, qEnvironmentVariable("JUANZONG_KEEP_PDF"));

    const QString info = run(u"pdfinfo"_s, {pdf});
    QVERIFY2(info.contains(u"(A4)"_s), qPrintable(info));
    const QString text = run(u"pdftotext"_s, {u"-enc"_s, u"UTF-8"_s, pdf, u"-"_s});
    for (const QString &expected : {u"原告：张小明，男/女"_s, u"原告张小明与被告×××"_s, u"（××××）……民初……号"_s,
                                    u"案件受理费"_s, u"—1—"_s})
        QVERIFY2(text.contains(expected), qPrintable(expected + u" not in:\n"_s + text));

    // A PDF draws no glyph for a space, it leaves a gap: the full-width space
    // in "审判长　×××" must leave one of a whole character (15.75 pt), where an
    // ASCII space would leave about a third of that.
    const QString boxes = run(u"pdftotext"_s, {u"-bbox"_s, u"-enc"_s, u"UTF-8"_s, pdf, u"-"_s});
    static const QRegularExpression word(u"xMin=\"([0-9.]+)\"[^>]*xMax=\"([0-9.]+)\"[^>]*>([^<]*)</word>"_s);
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

QTEST_GUILESS_MAIN(DocxReadersTest)
#include "tst_docxreaders.moc"
