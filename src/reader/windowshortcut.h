// SPDX-License-Identifier: GPL-3.0-or-later
// A shortcut that works wherever the focus is in a window.
#pragma once

#include <QKeySequence>
#include <QList>

class QShortcut;
class QWidget;

namespace Juanzong {

// Owned by window. Each sequence is kept once: a platform's standard key that
// equals one of ours, listed twice, would make the shortcut ambiguous and dead.
QShortcut *windowShortcut(QWidget *window, const QList<QKeySequence> &keys);

} // namespace Juanzong
