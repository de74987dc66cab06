// SPDX-License-Identifier: GPL-3.0-or-later
// The HTML view on Qt WebEngine.
#pragma once

#include "core/printjob.h"
#include "platform/htmlview.h"

#include <QElapsedTimer>
#include <QPointer>

#include <memory>
#include <optional>

class QOpenGLWidget;
class QPageLayout;
class QProcess;
class QWebEngineUrlRequestInterceptor;
class QWidget;
class QWebEngineView;

namespace Juanzong {

class ContentSchemeHandler;
class SilentPage;

class WebEngineHtmlView final : public HtmlView
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WebEngineHtmlView)
public:
    // The web view is made inside holder, the caller's widget, only once holder
    // has been painted: the window is on screen before the engine starts, which
    // takes seconds on a slow machine. Calls made before wait for the view. The
    // scheme handler serves the content folder.
    WebEngineHtmlView(QWidget *holder, ContentSchemeHandler *content, QObject *parent = nullptr);
    ~WebEngineHtmlView() override;

    // Null until made; made at once when asked for here.
    QWebEngineView *view();
    bool hasView() const { return m_view != nullptr; }

    bool isReady() const override { return m_ready; }

    void setSilent(bool silent) override;
    void navigate(const QString &path) override;
    void navigateToAnchor(const QString &path, const QString &fragment) override;
    bool goBack() override;
    bool goForward() override;
    void print() override;
    void showPageAs(const QString &html, const QString &pagePath) override;
    void reload() override;
    QString currentFragment() const override;
    void setZoomFactor(double factor) override;
    void findText(const QString &text, bool backward, std::function<void(int, int)> found) override;
    void printPreview() override;
    void printToPdf(const QString &filePath) override;
    void runIsolatedScript(const QString &script, std::function<void(const QVariant &)> done) override;
    void addContextActions(ContextActions provider) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void makeView();
    void connectPage();
    void connectNavigation();
    // True, and call kept for the view, while there is no view yet.
    bool beforeView(std::function<void()> call);
    // A link the engine reports followed: it goes to the desktop only when it
    // is the one the user just clicked or pressed Enter on in the view.
    void linkFollowed(const QUrl &url);
    void settleGesture();
    // Queues pdf with the printing system as the print dialog chose.
    void spool(const PrintJob::Options &job, const QByteArray &pdf);
    // Hands url to the desktop where the rules for links allow it.
    void openOutside(const QUrl &url);
    // True, after telling the user, while a print or a PDF is still being made:
    // the engine makes one at a time.
    bool printing();
    // The print dialog, proposing layout; on OK the page goes out as PDF.
    void printWith(const QPageLayout &layout);
    void showContextMenu(const QPoint &pos);

    QWidget *m_holder;
    QWebEngineView *m_view = nullptr;
    QOpenGLWidget *m_surfaceKeeper = nullptr; // until the view is made
    ContentSchemeHandler *m_content;
    SilentPage *m_page = nullptr;
    QList<std::function<void()>> m_beforeView;
    bool m_silent = false;
    bool m_ready = false;
    std::unique_ptr<QWebEngineUrlRequestInterceptor> m_blocker;
    bool m_pdfPending = false;
    QString m_pdfFailure; // what to tell the user when the PDF being written fails
    QPointer<QProcess> m_printJob; // the spooler, until it has taken the job
    double m_zoom = 1.0;
    QElapsedTimer m_gesture; // since the user's last click or key in the view; invalid once used
    quint64 m_gestureCount = 0;
    std::optional<QUrl> m_clickedLink; // the link under it, once the page has answered
    QList<QUrl> m_followed; // links the engine reported followed since
    QList<ContextActions> m_contextActions;
};

} // namespace Juanzong
