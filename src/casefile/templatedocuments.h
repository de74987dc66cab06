// SPDX-License-Identifier: GPL-3.0-or-later
// The model documents of a template page read without showing it, for work on
// many at once: the case's batch, the matching's benchmark.
//
// The page is read as the full-text index reads it (its blocks with what the
// markup says of their look) and its documents, headings and paragraph roles
// are found by the one rule the document commands use, so that a batch's Word
// files are the ones 另存为 Word 文档… writes from the same page.
#pragma once

#include "document/modeldocument.h"

#include <QByteArrayView>
#include <QList>
#include <QString>

namespace Juanzong {

struct TemplateDocument
{
    // The fragment that scrolls to it on its page, the one the full-text index
    // gives its hits: the document's own id or name, else "juanzong-document-N".
    QString anchor;
    ModelDocument document;
};

// The page's model documents in order; none for a page without any.
QList<TemplateDocument> templateDocuments(QByteArrayView html);
// The same for a page file; none when it cannot be read.
QList<TemplateDocument> templateDocumentsOfFile(const QString &path);

} // namespace Juanzong
