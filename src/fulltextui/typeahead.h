// SPDX-License-Identifier: GPL-3.0-or-later
// The type-ahead under the search box: while the user types, the catalogue's
// templates and the model documents whose titles match, by characters or by
// pinyin; the box's arrow keys move through them and Enter opens one.
#pragma once

#include <QObject>

#include <functional>
#include <memory>

class QLineEdit;
class QWidget;

namespace Juanzong {

class HtmlView;
class SuggestionPopup;
class TitleSuggester;
struct Suggestion;

class TypeAheadController final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TypeAheadController)
public:
    struct Parts
    {
        QLineEdit *searchBox = nullptr;
        HtmlView *html = nullptr;
        std::function<QString()> contentRoot;
        // The full-text index's titles once it is built (the model documents
        // too), else null: until then the catalogue's templates are offered.
        std::function<const TitleSuggester *()> indexedTitles;
    };

    // window owns the controller and the list.
    TypeAheadController(Parts parts, QWidget *window);
    ~TypeAheadController() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void offerTitles(const QString &typed);
    void open(const Suggestion &offer);

    Parts m_parts;
    SuggestionPopup *m_popup = nullptr;
    std::unique_ptr<TitleSuggester> m_catalogueTitles;
};

} // namespace Juanzong
