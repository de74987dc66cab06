// SPDX-License-Identifier: GPL-3.0-or-later
// Scripts that read the page shown as a list of blocks and fill a model
// document in it. They run in the view's isolated world: the page's own
// scripts can neither see nor change them, and the state they keep (the
// template text under a fill) lives there. The script itself is pagescript.js.
#pragma once

#include "document/pageblocks.h"

#include <QList>
#include <QPointF>
#include <QString>
#include <QVariant>

#include <optional>

namespace Juanzong::PageScript {

// Lists the rendered blocks of the page in reading order and says which one is
// under a point of the view (CSS pixels), or the first one not yet scrolled
// past without a point. request comes back with the answer. The page keeps its
// listing until what it shows changes: held is the version whose blocks the
// caller already has (empty for none), and while it is still the page's the
// answer brings no blocks.
QString listBlocks(int request, std::optional<QPointF> at, const QString &held = {});

struct Listing
{
    int request = -1;
    int at = -1; // index into blocks, -1 for none
    // The page's name for this listing, empty where it keeps none (values of a
    // fill on show): the same version is the same blocks.
    QString version;
    // The answer names the version held and brings no blocks: at is an index
    // into the held ones, for the caller to check.
    bool same = false;
    QList<PageBlock> blocks;
};
// Reads the answer to listBlocks(). The page is not trusted: an answer that is
// not a listing is none, and sizes beyond what a template page holds are cut.
std::optional<Listing> readListing(const QVariant &answer);

struct Fill
{
    int block = 0; // index into the listing's blocks
    int start = 0; // offset into that block's text
    int length = 0;
    QString value;
    QString blank; // the template's text there, shown when the pointer rests on the value
};
// Puts the values in place of their blanks, visibly marked, after undoing any
// earlier fill. Values go in as text, never as markup.
QString show(const QList<Fill> &fills);
// Gives the page back its template text.
QString restore();

} // namespace Juanzong::PageScript
