// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/searchbox.h"

#include <QKeyEvent>

namespace Juanzong {

bool SearchBox::event(QEvent *event)
{
    // The line edit would take Ctrl+K as "delete to the end of the line" on some
    // desktops; here it belongs to the window, which selects the keyword instead.
    if (event->type() == QEvent::ShortcutOverride) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_K)) {
            event->ignore();
            return true;
        }
    }
    return QLineEdit::event(event);
}

void SearchBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    // Let the line edit finish its own word selection first, then widen it.
    QLineEdit::mouseDoubleClickEvent(event);
    setSelection(0, int(text().size()));
}

void SearchBox::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && !text().isEmpty()) {
        // Through the edit history, so Ctrl+Z brings the keyword back.
        selectAll();
        del();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

} // namespace Juanzong
