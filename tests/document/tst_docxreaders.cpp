// SPDX-License-Identifier: GPL-3.0-or-later
// The exported Word file as a real reader opens it: LibreOffice prints it to a PDF,
// whose page size and text are read back. The layout itself is tst_docxwriter's.
#include "document/docxwriter.h"
#include "document/modeldocument.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>
#include <QTest>

using namespace Juanzong;
using namespace Qt::StringLiterals;
using Role = Paragraph::Role;

namespace {

QString run(const QString &program, const QStringList &arguments, int timeout, bool *ok = nullptr)
{
    QProcess process;
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
    void libreOffice_printsTheWholeTextOnA4();
};

void DocxReadersTest::libreOffice_printsTheWholeTextOnA4()
{
    ModelDocument doc;
    doc.heading = u"民事判决书（第一审普通程序用）"_s;
    doc.paragraphs = {
        {Role::DocType, u"民事判决书"_s, {}},
        {Role::CaseNo, u"（××××）……民初……号"_s, {}},
        {Role::Body, u"原告：张小明，男/女，××××年××月××日出生，住……。"_s, {}},
        {Role::Table, {}, {{u"项目"_s, u"金额"_s}, {u"案件受理费"_s, u"……元"_s}}},
    };
    QTemporaryDir dir;
    const QString file = dir.filePath(u"判决书.docx"_s);
    QFile out(file);
    QVERIFY(out.open(QIODevice::WriteOnly));
    QString error;
    const QByteArray bytes = writeDocx(doc, &error);
    QVERIFY2(!bytes.isEmpty(), qPrintable(error));
    out.write(bytes);
    out.close();

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

    // To look at the page: JUANZONG_KEEP_PDF=/tmp/page.pdf, then pdftoppm.
    if (!qEnvironmentVariableIsEmpty("JUANZONG_KEEP_PDF"))
        QFile::copy(pdf, qEnvironmentVariable("JUANZONG_KEEP_PDF"));

    const QString info = run(u"pdfinfo"_s, {pdf}, 60000);
    QVERIFY2(info.contains(u"(A4)"_s), qPrintable(info));
    const QString text = run(u"pdftotext"_s, {u"-enc"_s, u"UTF-8"_s, pdf, u"-"_s}, 60000);
    for (const QString &expected : {u"原告：张小明，男/女"_s, u"（××××）……民初……号"_s, u"案件受理费"_s, u"—1—"_s})
        QVERIFY2(text.contains(expected), qPrintable(expected + u" not in:\n"_s + text));
}

QTEST_GUILESS_MAIN(DocxReadersTest)
#include "tst_docxreaders.moc"
