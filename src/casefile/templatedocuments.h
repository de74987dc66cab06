// SPDX-License-Identifier: GPL-3.0-or-later
// The model documents of a template page read without showing it, for work on
// many at once: the case's batch, the matching's benchmark.
//
// The page's text is read as the full-text index reads it; the part each line
// plays in the court layout is told from the line itself (a court's name, a
// case number, a signature), which is what a reader goes by too.
#pragma once

#include "document/modeldocument.h"

#include <QByteArrayView>
#include <QList>
#include <QString>

namespace Juanzong {

struct TemplateDocument
{
    QString anchor; // the fragment that scrolls to it on its page
    ModelDocument document;
};

// The page's model documents in order; none for a page without any.
QList<TemplateDocument> templateDocuments(QByteArrayView html);
// The same for a page file; none when it cannot be read.
QList<TemplateDocument> templateDocumentsOfFile(const QString &path);

} // namespace Juanzong
