// SPDX-License-Identifier: GPL-3.0-or-later
#include "reader/windowshortcut.h"

#include <QShortcut>
#include <QWidget>

namespace Juanzong {

QShortcut *windowShortcut(QWidget *window, const QList<QKeySequence> &keys)
{
    QList<QKeySequence> unique;
    for (const QKeySequence &key : keys)
        if (!key.isEmpty() && !unique.contains(key))
            unique.append(key);
    auto *shortcut = new QShortcut(window);
    shortcut->setKeys(unique);
    shortcut->setContext(Qt::WindowShortcut);
    return shortcut;
}

} // namespace Juanzong
