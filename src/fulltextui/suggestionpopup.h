// SPDX-License-Identifier: GPL-3.0-or-later
// The type-ahead's list: floats under the search box, never takes the focus
// from it; the box's keys move through it.
#pragma once

#include "fulltext/titlesuggester.h"

#include <QListWidget>

class QKeyEvent;
class QLineEdit;

namespace Juanzong {

class SuggestionPopup final : public QListWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SuggestionPopup)
public:
    static constexpr int MaxVisibleRows = 12;
    static constexpr int MinimumWidth = 460;

    // box is the search box it hangs under; both share the parent window.
    SuggestionPopup(QLineEdit *box, QWidget *window);

    // Shows the offers under the box, none chosen yet; hides itself when there are none.
    void offer(const QList<Suggestion> &offers);
    // Handles a key pressed in the box while the list shows: arrows move, Enter
    // on a chosen offer opens it, Esc closes. False leaves the key to the box.
    bool keyPressed(const QKeyEvent *event);

Q_SIGNALS:
    void chosen(const Juanzong::Suggestion &offer);

private:
    void choose(int row);

    QLineEdit *m_box;
    QList<Suggestion> m_offers;
};

} // namespace Juanzong
