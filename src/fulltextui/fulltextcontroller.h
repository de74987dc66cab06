// SPDX-License-Identifier: GPL-3.0-or-later
// Full-text search in the window: Shift+Enter in the search box or the page's
// context menu -> the index (built in the background after the start page) ->
// the result page, shown from memory -> a hit opened -> the find bar on the query.
#pragma once

#include <QObject>
#include <QString>
#include <QSet>
#include <QTimer>

#include <functional>
#include <memory>

class QLabel;
class QLineEdit;
class QAction;
class QWidget;

namespace Juanzong {

class FullTextService;
class HtmlView;
class ShownPage;
class TitleSuggester;
struct FullTextResult;

struct FullTextParts
{
    HtmlView *html = nullptr;
    ShownPage *page = nullptr;
    QLineEdit *searchBox = nullptr;
    QWidget *view = nullptr; // the page's widget, which the waiting note floats over
    std::function<QString()> programDirectory;
    // Opens the find bar on a text, highlights it in the page shown and makes
    // the match after the first skip ones the active one.
    std::function<void(const QString &text, int skip)> findInPage;
    // Closes the find bar: the result page is not searched for the words again,
    // which would scroll it away from where the reader left it.
    std::function<void()> closeFind;
};

class FullTextController final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FullTextController)
public:
    static const QString MenuCaption; // "在全部范本中搜索…"
    static const QString IndexBuildingNote; // "正在建立索引…"

    // window owns the controller and the waiting note.
    FullTextController(FullTextParts parts, QWidget *window);
    ~FullTextController() override;

    // Searches every page for query and shows the result page (after the index, if need be).
    void search(const QString &query);
    // The index's titles, the model documents' among them, once it is built; else null.
    const TitleSuggester *indexedTitles() const;
    // The index the search answers from, for other features to search it too.
    FullTextService *service() const { return m_service; }
    // The path the result page is shown as.
    QString resultPath() const;
    // How often the result page's scroll is read while it is shown: the offset
    // Back returns to is the last one read before the page was left.
    static constexpr int ScrollReadInterval = 150; // ms

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showResult(const FullTextResult &result);
    void showWaiting(const QString &query);
    QList<QAction *> menuEntries(const QString &selectedText);
    void pageShown(const QString &path);
    void pageLoaded(bool ok);
    QString contentRoot() const;
    // Pins the folder the index is built from, until the build has started.
    void pinIndexFolder();
    void readResults();
    void readResultScroll();

    FullTextParts m_parts;
    FullTextService *m_service = nullptr;
    std::shared_ptr<QString> m_root;
    QLabel *m_waiting = nullptr;
    QAction *m_searchSelection = nullptr;
    QString m_selectionQuery; // what the page's menu last offered to search for
    QString m_query;           // of the result page last shown
    QSet<QString> m_hitFiles;  // the pages its rows open
    bool m_onResults = false;  // the view shows the result page
    bool m_openedHit = false;  // the page loading was reached from the result page
    bool m_firstLoad = true;
    // The engine does not bring the page served from memory back where it was:
    // its scroll is read while it is shown and put back when it is returned to.
    QTimer m_scrollReader;
    double m_resultScroll = 0;
    bool m_restoreScroll = false; // the result page shown next is one returned to
};

} // namespace Juanzong
