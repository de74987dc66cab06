// SPDX-License-Identifier: GPL-3.0-or-later
// The readable text of a template page, split into its model documents, as a
// real HTML parser (libxml2) sees it.
#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>

namespace Juanzong {

// One model document of a page: a `<div class="ws">` with its anchor and its
// label, or the text of the page outside all of them.
struct PageDocument
{
    QString anchor;  // the fragment that scrolls to it; empty for the page itself
    QString heading; // its label ("范本一　…"), or the page's title
    QString text;    // whitespace collapsed as the page shows it; block elements end in '\n'
    // How much of the page's own text (the document without an anchor) comes
    // before this one in the page.
    qsizetype pageTextBefore = 0;
};

struct PageText
{
    QString title; // the first <h1>, else <title>
    QList<PageDocument> documents;
};

// Entities resolved, <script>, <style> and the like skipped. The bytes are
// decoded as the view decodes them: by the page's own byte order mark or
// <meta> character set, otherwise as GBK (read, as the view reads GBK, with the
// GB 18030 decoder).
PageText extractPageText(QByteArrayView html);

} // namespace Juanzong
