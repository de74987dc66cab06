// SPDX-License-Identifier: GPL-3.0-or-later
#include "reader/pagereader.h"

#include "platform/htmlview.h"
#include "platform/shownpage.h"
#include "reader/findbar.h"
#include "reader/windowaction.h"

#include <QAction>
#include <QApplication>
#include <QLoggingCategory>
#include <QMouseEvent>
#include <QWheelEvent>

#include <algorithm>

namespace Juanzong {

// What the reader is not told: off unless asked for (QT_LOGGING_RULES="juanzong.reader.warning=true").
Q_LOGGING_CATEGORY(lcReader, "juanzong.reader", QtCriticalMsg)

PageReader::PageReader(HtmlView *html, ShownPage *page, QWidget *view)
    : QObject(view->parentWidget())
    , m_html(html)
    , m_page(page)
    , m_view(view)
{
    // Not one of the window's controls: it floats over the view and the layout never moves it.
    m_findBar = new FindBar(view->parentWidget());
    connect(m_findBar, &FindBar::findRequested, this, &PageReader::find);
    connect(m_findBar, &FindBar::closed, this, &PageReader::closeFind);
    connect(page, &ShownPage::loaded, this, &PageReader::pageLoaded);
    connect(m_html, &HtmlView::renderProcessDied, this, &PageReader::renderProcessDied);
    createActions();
    m_html->addContextActions([this](QPointF, const QString &) { return QList<QAction *>{m_findAction}; });
    // Mouse back / forward buttons and Ctrl+wheel reach whichever child is under
    // the pointer, the page's own render widget included: watch them all.
    qApp->installEventFilter(this);
}

QAction *PageReader::addAction(const char *name, const QString &caption, const QList<QKeySequence> &keys,
                              void (PageReader::*command)())
{
    QAction *action = windowAction(m_view->window(), QLatin1StringView(name), caption, keys);
    connect(action, &QAction::triggered, this, command);
    return action;
}

void PageReader::createActions()
{
    using Key = QKeySequence;
    m_findAction = addAction("FindInPage", QStringLiteral("页内查找…"), {Key(Qt::CTRL | Qt::Key_F), Key(Key::Find)},
                             &PageReader::openFind);
    addAction("FindNext", QStringLiteral("查找下一个"), {Key(Qt::Key_F3), Key(Key::FindNext)}, &PageReader::findNext);
    addAction("FindPrevious", QStringLiteral("查找上一个"), {Key(Qt::SHIFT | Qt::Key_F3), Key(Key::FindPrevious)},
              &PageReader::findPrevious);
    // Ctrl+= is Ctrl++ without Shift on keyboards that put + above =.
    addAction("ZoomIn", QStringLiteral("放大"),
              {Key(Qt::CTRL | Qt::Key_Plus), Key(Qt::CTRL | Qt::Key_Equal), Key(Key::ZoomIn)}, &PageReader::zoomIn);
    addAction("ZoomOut", QStringLiteral("缩小"), {Key(Qt::CTRL | Qt::Key_Minus), Key(Key::ZoomOut)}, &PageReader::zoomOut);
    addAction("ZoomReset", QStringLiteral("实际大小"), {Key(Qt::CTRL | Qt::Key_0)}, &PageReader::zoomReset);
}

bool PageReader::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (m_view && watched == m_view && (type == QEvent::Resize || type == QEvent::Move))
        placeFindBar();
    if ((type != QEvent::MouseButtonPress && type != QEvent::Wheel) || !m_view)
        return false;
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || widget->window() != m_view->window())
        return false;

    if (type == QEvent::MouseButtonPress) {
        const Qt::MouseButton button = static_cast<QMouseEvent *>(event)->button();
        if (button == Qt::BackButton)
            m_html->goBack();
        else if (button == Qt::ForwardButton)
            m_html->goForward();
        return button == Qt::BackButton || button == Qt::ForwardButton;
    }

    auto *wheel = static_cast<QWheelEvent *>(event);
    if (!wheel->modifiers().testFlag(Qt::ControlModifier) || (widget != m_view && !m_view->isAncestorOf(widget)))
        return false;
    // One step per notch; a touchpad's small deltas add up to nothing and are dropped.
    const int notches = wheel->angleDelta().y() / QWheelEvent::DefaultDeltasPerStep;
    setZoomStep(m_zoomStep + notches);
    return true;
}

void PageReader::placeFindBar()
{
    m_findBar->placeOver(m_view->geometry());
}

void PageReader::openFind()
{
    placeFindBar();
    m_findBar->open();
    if (!m_findBar->text().isEmpty())
        find(m_findBar->text(), false);
}

void PageReader::findInPage(const QString &text, int skip)
{
    m_findBar->setText(text);
    openFind();
    // Each find of the same text moves on to the next match.
    for (int i = 0; i < skip; ++i)
        find(text, false);
}

void PageReader::findNext()
{
    if (m_findBar->isHidden() || m_findBar->text().isEmpty())
        openFind();
    else
        find(m_findBar->text(), false);
}

void PageReader::findPrevious()
{
    if (m_findBar->isHidden() || m_findBar->text().isEmpty())
        openFind();
    else
        find(m_findBar->text(), true);
}

void PageReader::hideFind()
{
    // Hidden with the focus in it, the bar would pass it on as Tab does, which
    // sends the page to its first link.
    if (m_findBar->isAncestorOf(QApplication::focusWidget()))
        m_view->setFocus(Qt::OtherFocusReason);
    m_findBar->hide();
    // A find the page's load started may already be under way: marks without a
    // bar would be a search the reader cannot see or close.
    m_html->findText(QString(), false, {});
}

void PageReader::find(const QString &text, bool backward)
{
    if (text.isEmpty()) {
        m_findBar->clearResult();
        m_html->findText(QString(), false, {});
        return;
    }
    m_foundOn = m_page->generation();
    QPointer<FindBar> bar = m_findBar;
    m_html->findText(text, backward, [bar, text](int active, int total) {
        // An answer for a text the user has since changed or closed is stale.
        if (bar && bar->isVisible() && bar->text() == text)
            bar->showResult(active, total);
    });
}

void PageReader::closeFind()
{
    m_html->findText(QString(), false, {});
    m_view->setFocus(Qt::OtherFocusReason);
}

void PageReader::zoomIn()
{
    setZoomStep(m_zoomStep + 1);
}

void PageReader::zoomOut()
{
    setZoomStep(m_zoomStep - 1);
}

void PageReader::zoomReset()
{
    setZoomStep(DefaultZoomStep);
}

void PageReader::setZoomStep(qsizetype step)
{
    step = std::clamp<qsizetype>(step, 0, qsizetype(ZoomSteps.size()) - 1);
    if (step == m_zoomStep)
        return;
    m_zoomStep = step;
    m_html->setZoomFactor(ZoomSteps[step] / 100.0);
}

void PageReader::pageLoaded(bool ok)
{
    if (!ok)
        return;
    m_renderReloads = 0;
    // A new page keeps the bar open with its text: count again on the new page.
    // The page already searched, loaded once more, keeps its active match.
    if (m_findBar->isVisible() && !m_findBar->text().isEmpty() && m_foundOn != m_page->generation())
        find(m_findBar->text(), false);
}

void PageReader::renderProcessDied()
{
    if (m_renderReloads >= MaxRenderReloads) {
        qCWarning(lcReader) << "page left blank: its render process died again after" << MaxRenderReloads << "reloads";
        return;
    }
    ++m_renderReloads;
    // The page comes back without its marks: find again once it is loaded.
    m_foundOn = 0;
    m_html->reload();
}

} // namespace Juanzong
