// SPDX-License-Identifier: GPL-3.0-or-later
// A template page as a reader sees it, and the model documents on it.
//
// Whatever wrote the page (our generator, Word, LibreOffice, a court's web
// site), it reaches this unit as a flat list of blocks with what a reader sees
// of each: text, alignment, size, weight, indent. The full-text index builds
// the list from the parsed markup, the page script from the rendered page; one
// rule below decides where each model document starts and ends, what it is
// called and what part each paragraph plays, so that both agree.
#pragma once

#include "document/modeldocument.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace Juanzong {

struct PageBlock
{
    enum class Align { Start, Center, End, Justify };

    // The visible text; a line break inside the block (<br>) is '\n'.
    QString text;
    Align align = Align::Start;
    // In CSS pixels; 0 where the source does not say (the index's inline
    // markup often does not), read as the page's body size.
    double fontSize = 0;
    bool bold = false;
    // First-line indent plus left margin, in CSS pixels.
    double indent = 0;
    bool pageBreakBefore = false;
    // A table's cells, row by row; empty for any other block.
    QList<QStringList> rows;
    // An id or name at or just before the block that a URL fragment scrolls to.
    QString anchor;
    // Set by the source for what it knows is never content: a web site's
    // header, navigation and footer, our own labels and notes' chrome.
    bool chrome = false;
    // Set by the source for an element that the generator's own markup marks
    // as a model document's label ("范本一　…").
    bool label = false;
};

// Where one paragraph of a found document comes from: its block and the
// offset of the paragraph's first character in that block's text, so that
// offsets into Paragraph::text map back to the page.
struct BlockSpan
{
    int block = 0;
    int start = 0;
    int length = 0;
    bool operator==(const BlockSpan &) const = default;
};

struct FoundDocument
{
    // The label's text ("样式一", "范本二　民事判决书"), else the document type
    // with its use in brackets ("民事裁定书（准许撤诉用）").
    QString heading;
    QString anchor;     // the first block's anchor when it starts there; may be empty
    int firstBlock = 0; // the label's block, or the first content block
    // Where in firstBlock's text it starts: lines joined by <br> can hold the
    // end of one document and the start of the next.
    int firstOffset = 0;
    int endBlock = 0;   // one past the last block that belongs to it
    // The document's paragraphs with their roles, and for each where it came
    // from. A paragraph is one line of a block; its leading full-width spaces
    // are in Paragraph::indent and not in its text or its span.
    ModelDocument document;
    QList<BlockSpan> sources;
};

// The model documents of a page, in order. A page without any yields none.
QList<FoundDocument> findModelDocuments(const QList<PageBlock> &blocks);

} // namespace Juanzong
