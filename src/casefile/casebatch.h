// SPDX-License-Identifier: GPL-3.0-or-later
// The case's documents written at once: each model document filled from the
// case and saved as a Word file named after its heading, and what was left
// for the user to write in each.
#pragma once

#include "casefile/casesheet.h"
#include "document/modeldocument.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace Juanzong {

// File names for the documents, in their order: the heading and ".docx", a
// heading that comes again numbered ("民事裁定书（2）.docx").
QStringList batchFileNames(const QList<ModelDocument> &documents);

struct BatchResult
{
    QString fileName;
    QString heading;
    bool written = false;
    bool skipped = false; // an existing file the user kept
    QString error;
    // The blanks left open, each in its sentence: "…×××向〔……〕本院…".
    QStringList unfilled;
};

// Fills one document from the case and writes it to path, replacing a file there.
BatchResult writeCaseDocument(const ModelDocument &document, const CaseSheet &sheet, const QString &path);

// The report at the end of a batch, as plain text for the screen and the printer.
QString batchReport(const CaseSheet &sheet, const QString &folder, const QList<BatchResult> &results);

} // namespace Juanzong
