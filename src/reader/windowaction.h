// SPDX-License-Identifier: GPL-3.0-or-later
// A command of the window: one action, made once, whose keys work wherever the
// focus is in the window and which any menu may show as it is.
#pragma once

#include <QKeySequence>
#include <QList>
#include <QString>

class QAction;
class QWidget;

namespace Juanzong {

// Owned by and added to window; a menu showing it displays the first key. Each
// sequence is kept once: a platform's standard key that equals one of ours,
// listed twice, would make the shortcut ambiguous and dead.
QAction *windowAction(QWidget *window, const QString &objectName, const QString &caption,
                      const QList<QKeySequence> &keys);

} // namespace Juanzong
