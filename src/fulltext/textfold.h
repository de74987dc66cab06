// SPDX-License-Identifier: GPL-3.0-or-later
// The folding that makes searches ignore letter case and full-width / half-width forms.
#pragma once

#include <QString>
#include <QStringView>

namespace Juanzong::TextFold {

// Each UTF-16 unit folds to exactly one unit (its compatibility form, then its
// case fold, where that is one unit of the basic plane; itself otherwise), so an
// offset into folded text is the same offset into the original: snippets are
// cut from the original text at the places found in the folded one.
char16_t fold(char16_t c);
QString fold(QStringView text);
void foldInPlace(QString &text);

} // namespace Juanzong::TextFold
