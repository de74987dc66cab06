// SPDX-License-Identifier: GPL-3.0-or-later
// A model document as the clipboard carries it to a word processor.
#pragma once

#include <QString>

namespace Juanzong {

struct ModelDocument;

// HTML whose every paragraph carries its own style (no style sheet reaches a
// word processor): centred bold titles, right-aligned case number and
// signatures, first-line indent of two characters. All text is escaped.
QString clipboardHtml(const ModelDocument &document);
// One line per paragraph; body paragraphs start with two full-width spaces,
// the indent plain text can keep. Table cells are separated by tabs.
QString clipboardText(const ModelDocument &document);

} // namespace Juanzong
