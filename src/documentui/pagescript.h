// SPDX-License-Identifier: GPL-3.0-or-later
// Scripts that find, read and fill a model document in the page shown. They run
// in the view's isolated world: the page's own scripts can neither see nor
// change them, and the state they keep (the template text under a fill) lives there.
#pragma once

#include <QList>
#include <QPointF>
#include <QString>

#include <optional>

namespace Juanzong::PageScript {

// Finds the model document under a point of the page (CSS pixels), or the one
// at the top of the visible part without a point, and returns it as a JSON
// string: {"unit": n, "heading": "...", "paragraphs": [...]} (see
// ModelDocument::fromJson). A page without model documents is one, its body.
QString extract(std::optional<QPointF> at);
// Extracts unit n again (the filled values included), or null when it is gone.
QString extractUnit(int unit);

struct Fill
{
    int paragraph = 0;
    int start = 0;
    int length = 0;
    QString value;
    QString blank; // the template's text there, shown when the pointer rests on the value
};
// Puts the values in place of their blanks in unit n, visibly marked, after
// undoing any earlier fill. Values go in as text, never as markup.
QString show(int unit, const QList<Fill> &fills);
// Gives the page back its template text.
QString restore();

} // namespace Juanzong::PageScript
