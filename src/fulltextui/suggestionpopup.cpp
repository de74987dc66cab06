// SPDX-License-Identifier: GPL-3.0-or-later
#include "fulltextui/suggestionpopup.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace Juanzong {

SuggestionPopup::SuggestionPopup(QLineEdit *box, QWidget *window)
    : QListWidget(window)
    , m_box(box)
{
    setObjectName(QStringLiteral("Suggestions"));
    setAccessibleName(QStringLiteral("搜索建议"));
    // The caret stays in the box while the list shows.
    setFocusPolicy(Qt::NoFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setUniformItemSizes(true);
    setFrameShape(QFrame::Box);
    hide();
    connect(this, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) { choose(row(item)); });
}

void SuggestionPopup::offer(const QList<Suggestion> &offers)
{
    m_offers = offers;
    clear();
    if (offers.isEmpty()) {
        hide();
        return;
    }
    for (const Suggestion &s : offers) {
        auto *item = new QListWidgetItem(s.context.isEmpty() ? s.title : s.title + u"　·　" + s.context, this);
        item->setToolTip(item->text());
    }
    setCurrentRow(-1);
    const int rows = int(qMin<qsizetype>(offers.size(), MaxVisibleRows));
    const int height = rows * sizeHintForRow(0) + 2 * frameWidth();
    const int width = qMax(MinimumWidth, m_box->width());
    setGeometry(m_box->x(), m_box->geometry().bottom() + 1, width, height);
    show();
    raise();
}

bool SuggestionPopup::keyPressed(const QKeyEvent *event)
{
    if (isHidden() || (event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    switch (event->key()) {
    case Qt::Key_Down:
        setCurrentRow(currentRow() + 1 < count() ? currentRow() + 1 : 0);
        return true;
    case Qt::Key_Up:
        setCurrentRow(currentRow() > 0 ? currentRow() - 1 : count() - 1);
        return true;
    case Qt::Key_Escape:
        hide();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (currentRow() < 0) {
            // No offer chosen: the box's own Enter, the title search, goes ahead.
            hide();
            return false;
        }
        choose(currentRow());
        return true;
    default:
        return false;
    }
}

void SuggestionPopup::choose(int row)
{
    if (row < 0 || row >= m_offers.size())
        return;
    const Suggestion offer = m_offers.at(row);
    hide();
    Q_EMIT chosen(offer);
}

} // namespace Juanzong
