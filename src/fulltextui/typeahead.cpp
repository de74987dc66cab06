// SPDX-License-Identifier: GPL-3.0-or-later
#include "fulltextui/typeahead.h"

#include "core/catalogue.h"
#include "fulltext/indexbuilder.h"
#include "fulltext/titlesuggester.h"
#include "fulltextui/suggestionpopup.h"
#include "platform/htmlview.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace Juanzong {

TypeAheadController::TypeAheadController(Parts parts, QWidget *window)
    : QObject(window)
    , m_parts(std::move(parts))
    , m_catalogueTitles(std::make_unique<TitleSuggester>())
{
    for (const Catalogue::Row &row : Catalogue::rows())
        if (!Catalogue::isCategory(row.key))
            m_catalogueTitles->add({row.label.toString(), cataloguePlaceOf(row.key), row.key + u".html", {}}, true);

    m_popup = new SuggestionPopup(m_parts.searchBox, window);
    m_parts.searchBox->installEventFilter(this);
    connect(m_parts.searchBox, &QLineEdit::textEdited, this, &TypeAheadController::offerTitles);
    connect(m_popup, &SuggestionPopup::chosen, this, &TypeAheadController::open);
}

TypeAheadController::~TypeAheadController() = default;

void TypeAheadController::offerTitles(const QString &typed)
{
    const TitleSuggester *indexed = m_parts.indexedTitles ? m_parts.indexedTitles() : nullptr;
    m_popup->offer((indexed ? *indexed : *m_catalogueTitles).suggest(typed));
}

void TypeAheadController::open(const Suggestion &offer)
{
    m_parts.html->navigateToAnchor(m_parts.contentRoot() + offer.fileName, offer.anchor);
}

bool TypeAheadController::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_parts.searchBox)
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::FocusOut)
        m_popup->hide();
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        // Shift+Enter asks the full-text search, which is not an offer chosen:
        // the list goes, and the key is left to the search.
        if (enter && (key->modifiers() & Qt::ShiftModifier)) {
            m_popup->hide();
            return false;
        }
        if (m_popup->keyPressed(key))
            return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace Juanzong
