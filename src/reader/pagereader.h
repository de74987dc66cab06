// SPDX-License-Identifier: GPL-3.0-or-later
// Reading the page in the view: find in page, zoom steps, the reload of a page
// whose render process died, and the mouse's side buttons and Ctrl+wheel.
#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

#include <array>

class QAction;
class QKeySequence;
class QWidget;

namespace Juanzong {

class FindBar;
class HtmlView;
class ShownPage;

class PageReader final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PageReader)
public:
    // Zoom steps of the page, in percent; 100 is where every run starts.
    static constexpr std::array<int, 13> ZoomSteps = {30, 50, 67, 80, 90, 100, 110, 125, 150, 175, 200, 250, 300};
    // Reloads of a page whose render process died before one load succeeds again.
    static constexpr int MaxRenderReloads = 3;

    // view is the page's widget, already in its window: the find bar floats
    // over it there, and the reader's keys work anywhere in that window. page
    // follows html.
    PageReader(HtmlView *html, ShownPage *page, QWidget *view);

    // Opens the find bar on text and highlights it in the page, the match after
    // the first skip ones active.
    void findInPage(const QString &text, int skip = 0);
    // Hides the find bar and takes its marks off the page; the focus stays where it is.
    void hideFind();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The reader's commands, on the window's keys (FindInPage, FindNext,
    // FindPrevious, ZoomIn, ZoomOut, ZoomReset); FindInPage is in the page's menu too.
    void createActions();
    QAction *addAction(const char *name, const QString &caption, const QList<QKeySequence> &keys,
                       void (PageReader::*command)());
    void openFind();
    void findNext();
    void findPrevious();
    void zoomIn();
    void zoomOut();
    void zoomReset();
    void find(const QString &text, bool backward);
    void closeFind();
    void setZoomStep(qsizetype step);
    void pageLoaded(bool ok);
    void renderProcessDied();
    void placeFindBar();

    HtmlView *m_html = nullptr;
    ShownPage *m_page = nullptr;
    quint64 m_foundOn = 0; // the page generation the last find ran on
    // Events still pass the filter while the window takes its children down.
    QPointer<QWidget> m_view;
    FindBar *m_findBar = nullptr;
    QAction *m_findAction = nullptr;
    qsizetype m_zoomStep = DefaultZoomStep;
    int m_renderReloads = 0;

    static constexpr qsizetype DefaultZoomStep = 5;
    static_assert(ZoomSteps[DefaultZoomStep] == 100);
};

} // namespace Juanzong
