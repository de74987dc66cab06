// SPDX-License-Identifier: GPL-3.0-or-later
// The readable text of a template page, split into its model documents, as a
// real HTML parser (libxml2) sees it.
#pragma once

#include "document/pageblocks.h"

#include <QByteArrayView>
#include <QList>
#include <QString>

namespace Juanzong {

// One model document of a page with its anchor and heading, or the text of
// the page outside all of them.
struct PageDocument
{
    // The fragment that scrolls to it; empty for the page itself. A document
    // that starts at no id or name of the page gets "juanzong-document-N", N
    // counting the page's documents from 1, which no element answers: the view
    // then opens the page at its top.
    QString anchor;
    QString heading; // as findModelDocuments() names it, or the page's title
    // Whitespace collapsed as the page shows it; blocks and lines end in '\n'.
    // A document's text runs from its start to the next one's, with its notes
    // and without the web site's furniture, which counts as the page's own.
    QString text;
    // How much of the page's own text (the document without an anchor) comes
    // before this one in the page.
    qsizetype pageTextBefore = 0;
};

struct PageText
{
    QString title; // the first <h1>, else <title>
    QList<PageDocument> documents;
};

// The page as a list of blocks, with what its markup says of their look:
// align= and the inline style's text-align, font-size, font-weight and
// indents, <b>, <strong>, <center>, <font size>, headings; <br> as '\n';
// header, nav and footer elements as chrome; a table of data cells as rows.
// The page's style sheet is not read.
struct PageBlocks
{
    QString title;
    QList<PageBlock> blocks;
};

// Entities resolved, <script>, <style>, hidden elements and the like skipped.
// The bytes are decoded as the view decodes them (ContentUrl::htmlEncoding;
// GBK with the GB 18030 decoder), bytes no character stands for read as
// U+FFFD, and however deep the elements nest.
PageBlocks readPageBlocks(QByteArrayView html);

PageText extractPageText(QByteArrayView html);

} // namespace Juanzong
