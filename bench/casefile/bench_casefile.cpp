// SPDX-License-Identifier: GPL-3.0-or-later
// Filling from a case at the sample's scale: matching and filling all its
// model documents from one case, beside finding their blanks alone; and a
// batch of 20 Word files filled from the case, beside writing the same 20
// unfilled, in the same run. Exits non-zero when the sample cannot be read.
#include "casefile/casebatch.h"
#include "casefile/casematch.h"
#include "casefile/templatedocuments.h"
#include "document/docxwriter.h"
#include "samplecase.h"

#include <QDir>
#include <QElapsedTimer>
#include <QSaveFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace Juanzong;

namespace {

constexpr int Rounds = 15;
constexpr int BatchSize = 20;
constexpr double MatchTargetMs = 50;
constexpr double BatchTargetRatio = 1.5;

// The median of several rounds, in milliseconds: one slow round on a shared
// machine says little.
double medianMs(const std::function<void()> &work)
{
    std::vector<double> times;
    for (int i = 0; i < Rounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times.at(times.size() / 2);
}

} // namespace

int main()
{
    QList<ModelDocument> documents;
    const QDir dir(QStringLiteral(JUANZONG_CONTENT_DIR));
    for (const QString &name : dir.entryList({QStringLiteral("juanzongfanben-*.html")}, QDir::Files))
        for (const TemplateDocument &found : templateDocumentsOfFile(dir.filePath(name)))
            documents.append(found.document);
    if (documents.size() < BatchSize) {
        std::fprintf(stderr, "only %lld model documents in %s\n", qlonglong(documents.size()), JUANZONG_CONTENT_DIR);
        return 1;
    }
    const CaseSheet sheet = Testing::twoPlaintiffsCase();

    qsizetype blanks = 0;
    qsizetype filled = 0;
    const double findMs = medianMs([&] {
        blanks = 0;
        for (const ModelDocument &document : std::as_const(documents))
            blanks += FillIn(document).placeholders().size();
    });
    const double fillMs = medianMs([&] {
        filled = 0;
        for (const ModelDocument &document : std::as_const(documents)) {
            const CaseFill fill = fillFromCase(document, sheet);
            filled += std::count_if(fill.matches.cbegin(), fill.matches.cend(),
                                    [](const CaseMatch &m) { return !m.field.isEmpty(); });
        }
    });
    std::printf("model documents: %lld, blanks: %lld, filled from the case: %lld\n", qlonglong(documents.size()),
                qlonglong(blanks), qlonglong(filled));
    std::printf("finding the blanks of all (baseline):   %8.2f ms\n", findMs);
    std::printf("matching and filling all from the case: %8.2f ms  (target <= %.0f ms: %s)\n", fillMs, MatchTargetMs,
                fillMs <= MatchTargetMs ? "met" : "MISSED");

    // Twenty documents spread over the sample, not the first page's twenty.
    QList<ModelDocument> batch;
    for (int i = 0; i < BatchSize; ++i)
        batch.append(documents.at(i * documents.size() / BatchSize));
    const QStringList names = batchFileNames(batch);
    QTemporaryDir plainDir;
    QTemporaryDir caseDir;
    bool ok = true;
    const double plainMs = medianMs([&] {
        // As the single export writes its file: whole or not at all.
        for (int i = 0; i < batch.size(); ++i) {
            QSaveFile file(QDir(plainDir.path()).filePath(names.at(i)));
            ok = file.open(QIODevice::WriteOnly) && file.write(writeDocx(batch.at(i))) > 0 && file.commit() && ok;
        }
    });
    const double caseMs = medianMs([&] {
        for (int i = 0; i < batch.size(); ++i)
            ok = writeCaseDocument(batch.at(i), sheet, QDir(caseDir.path()).filePath(names.at(i))).written && ok;
    });
    const double ratio = caseMs / plainMs;
    std::printf("batch of %d .docx unfilled (baseline):  %8.2f ms\n", BatchSize, plainMs);
    std::printf("batch of %d .docx filled from the case: %8.2f ms  (%.2fx, target <= %.1fx: %s)\n", BatchSize, caseMs,
                ratio, BatchTargetRatio, ratio <= BatchTargetRatio ? "met" : "MISSED");
    return ok ? 0 : 1;
}
