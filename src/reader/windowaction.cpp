// SPDX-License-Identifier: GPL-3.0-or-later
#include "reader/windowaction.h"

#include <QAction>
#include <QWidget>

namespace Juanzong {

QAction *windowAction(QWidget *window, const QString &objectName, const QString &caption,
                      const QList<QKeySequence> &keys)
{
    QList<QKeySequence> unique;
    for (const QKeySequence &key : keys)
        if (!key.isEmpty() && !unique.contains(key))
            unique.append(key);
    auto *action = new QAction(caption, window);
    action->setObjectName(objectName);
    action->setShortcuts(unique);
    action->setShortcutContext(Qt::WindowShortcut);
    window->addAction(action);
    return action;
}

} // namespace Juanzong
