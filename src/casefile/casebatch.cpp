// SPDX-License-Identifier: GPL-3.0-or-later
#include "casefile/casebatch.h"

#include "casefile/casematch.h"
#include "document/docxwriter.h"

#include <QFileInfo>
#include <QHash>
#include <QSaveFile>

using namespace Qt::StringLiterals;

namespace Juanzong {

QStringList batchFileNames(const QList<ModelDocument> &documents)
{
    QStringList names;
    QHash<QString, int> seen;
    for (const ModelDocument &document : documents) {
        const QString base = document.fileBaseName();
        // Folders on Windows and macOS take "A.docx" and "a.docx" for one file.
        const int n = ++seen[base.toCaseFolded()];
        names.append(n == 1 ? QString(base + u".docx") : QString(base + u"（" + QString::number(n) + u"）.docx"));
    }
    return names;
}

BatchResult writeCaseDocument(const ModelDocument &document, const CaseSheet &sheet, const QString &path)
{
    BatchResult result;
    result.fileName = QFileInfo(path).fileName();
    result.heading = document.heading;
    const CaseFill fill = fillFromCase(document, sheet);
    for (int i = 0; i < fill.fillIn.placeholders().size(); ++i)
        if (fill.fillIn.value(i).isEmpty())
            result.unfilled.append(fill.fillIn.context(i, FillIn::Values::Shown));
    QString error;
    const QByteArray bytes = writeDocx(fill.fillIn.filled(), &error);
    QSaveFile file(path);
    if (bytes.isEmpty()) {
        result.error = error;
        return result;
    }
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        result.error = file.errorString();
        return result;
    }
    result.written = true;
    return result;
}

QString batchReport(const CaseSheet &sheet, const QString &folder, const QList<BatchResult> &results)
{
    QString out;
    const QString number = sheet.caseNumber.text();
    out += u"案件："_s + (number.isEmpty() ? u"（案号未填）"_s : number) + u'　' + sheet.cause + u'\n';
    out += u"文件夹："_s + folder + u'\n';
    int written = 0;
    for (const BatchResult &r : results)
        written += r.written ? 1 : 0;
    out += u"共 %1 份文书，已保存 %2 份。\n"_s.arg(results.size()).arg(written);
    for (int i = 0; i < results.size(); ++i) {
        const BatchResult &r = results.at(i);
        out += u'\n' + QString::number(i + 1) + u". " + r.fileName;
        if (r.skipped) {
            out += u"：文件已存在，未覆盖。\n"_s;
            continue;
        }
        if (!r.written) {
            out += u"：保存失败（"_s + r.error + u"）。\n"_s;
            continue;
        }
        if (r.unfilled.isEmpty()) {
            out += u"：空白已全部填写。\n"_s;
            continue;
        }
        out += u"：尚有 %1 处空白未填写：\n"_s.arg(r.unfilled.size());
        for (const QString &blank : r.unfilled)
            out += u"    " + blank + u'\n';
    }
    return out;
}

} // namespace Juanzong
