// SPDX-License-Identifier: GPL-3.0-or-later
// The search box: a double-click selects the whole keyword, ready to be typed over;
// Esc empties it.
#pragma once

#include <QLineEdit>

namespace Juanzong {

class SearchBox final : public QLineEdit
{
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;

    bool event(QEvent *event) override;

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
};

} // namespace Juanzong
