// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/webenginehtmlview.h"

#include "core/contenturl.h"
#include "document/officiallayout.h"
#include "platform/qt/contentschemehandler.h"

#include <QAction>
#include <QEvent>
#include <QEventLoop>
#include <QMenu>
#include <QOpenGLContext>
#include <QOpenGLWidget>
#include <QPageLayout>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebEngineCertificateError>
#include <QWebEngineFindTextResult>
#include <QWebEngineHistory>
#include <QWebEngineNewWindowRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineView>

namespace Juanzong {

namespace {

// Every page and each of its parts comes from the content folder: no image,
// script, style sheet, frame or request of a page reaches the disk beyond it
// or the network.
class FolderOnly final : public QWebEngineUrlRequestInterceptor
{
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
    void interceptRequest(QWebEngineUrlRequestInfo &info) override
    {
        if (!ContentUrl::isViewable(info.requestUrl()))
            info.block(true);
    }
};

// The preview keeps a picture of every page: at a printer's full resolution
// that is hundreds of megabytes a page, at this one still sharp on paper.
constexpr int PreviewResolution = 300;

// Paper as the exported Word document has it, so that a printed template and
// the document match; the print dialog can still change both.
QPageLayout officialPage()
{
    using namespace OfficialLayout;
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                       QMarginsF(MarginLeftMm, MarginTopMm, MarginRightMm, MarginBottomMm), QPageLayout::Millimeter);
}

const QString PrintBusy = QStringLiteral("上一份打印尚未完成，请稍后再试。");

} // namespace

// A page that, once silenced, answers every question a page might ask the user
// by itself instead of opening a dialog.
class SilentPage final : public QWebEnginePage
{
    Q_OBJECT
public:
    using QWebEnginePage::QWebEnginePage;
    bool silent = false;

protected:
    void javaScriptAlert(const QUrl &origin, const QString &msg) override
    {
        if (!silent)
            QWebEnginePage::javaScriptAlert(origin, msg);
    }
    bool javaScriptConfirm(const QUrl &origin, const QString &msg) override
    {
        return silent ? false : QWebEnginePage::javaScriptConfirm(origin, msg);
    }
    bool javaScriptPrompt(const QUrl &origin, const QString &msg, const QString &defaultValue,
                          QString *result) override
    {
        return silent ? false : QWebEnginePage::javaScriptPrompt(origin, msg, defaultValue, result);
    }
    QStringList chooseFiles(FileSelectionMode mode, const QStringList &oldFiles,
                            const QStringList &acceptedMimeTypes) override
    {
        return silent ? QStringList() : QWebEnginePage::chooseFiles(mode, oldFiles, acceptedMimeTypes);
    }
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString &, int, const QString &) override
    {
    }
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override
    {
        if (ContentUrl::isViewable(url))
            return true;
        // Only a link the user followed goes to the desktop; a page that sends
        // itself elsewhere by script or in a frame is simply stopped.
        if (isMainFrame && type == NavigationTypeLinkClicked && ContentUrl::isExternal(url))
            Q_EMIT externalLinkRequested(url);
        return false;
    }

Q_SIGNALS:
    void externalLinkRequested(const QUrl &url);
};

WebEngineHtmlView::WebEngineHtmlView(QWidget *holder, ContentSchemeHandler *content, QObject *parent)
    : HtmlView(parent)
    , m_holder(holder)
    , m_content(content)
    , m_blocker(std::make_unique<FolderOnly>())
{
    // Until the page takes it, the focus rests on the holder.
    m_holder->setFocusPolicy(Qt::StrongFocus);
    m_holder->installEventFilter(this);
    // Where the engine draws through OpenGL (it does wherever Qt has a shared
    // context for it), the view is a texture, and a window holding one is
    // drawn through OpenGL too. Qt decides that when it makes the window: the
    // first such child arriving in a window already on screen has it made
    // again, under a new native window, which a window manager shows as the
    // window closing and opening. This hidden child of the same kind, there
    // before the window is made, has it made for the view at once; it never draws.
    if (const QOpenGLContext *shared = QOpenGLContext::globalShareContext(); shared && shared->isValid()) {
        m_surfaceKeeper = new QOpenGLWidget(m_holder);
        m_surfaceKeeper->hide();
    }
}

bool WebEngineHtmlView::eventFilter(QObject *watched, QEvent *event)
{
    // The engine is started by a timer, once this paint has reached the screen.
    if (watched == m_holder && event->type() == QEvent::Paint && !m_view) {
        m_holder->removeEventFilter(this);
        QTimer::singleShot(0, this, &WebEngineHtmlView::makeView);
    }
    return HtmlView::eventFilter(watched, event);
}

QWebEngineView *WebEngineHtmlView::view()
{
    makeView();
    return m_view;
}

bool WebEngineHtmlView::beforeView(std::function<void()> call)
{
    if (m_view)
        return false;
    m_beforeView.append(std::move(call));
    return true;
}

void WebEngineHtmlView::makeView()
{
    if (m_view)
        return;
    m_holder->removeEventFilter(this);
    m_view = new QWebEngineView(m_holder);
    m_page = new SilentPage(m_view);
    m_page->silent = m_silent;
    m_page->setUrlRequestInterceptor(m_blocker.get());
    // The newest view serves its folder; a handler left by an earlier view goes.
    const QByteArray scheme = ContentUrl::Scheme.latin1();
    QWebEngineProfile *profile = m_page->profile();
    if (profile->urlSchemeHandler(scheme) != m_content) {
        profile->removeUrlScheme(scheme);
        profile->installUrlSchemeHandler(scheme, m_content);
    }
    // The folder labels its pages itself; this covers the parts it cannot label.
    m_page->settings()->setDefaultTextEncoding(QStringLiteral("GBK"));
    // The folder is a local scheme: by default its pages could read file: URLs.
    m_page->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
    m_view->setPage(m_page);
    auto *layout = new QVBoxLayout(m_holder);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    m_view->setAccessibleName(m_holder->accessibleName());
    const bool hadFocus = m_holder->hasFocus();
    m_holder->setFocusProxy(m_view);
    if (hadFocus)
        m_view->setFocus(Qt::OtherFocusReason);

    connect(m_page, &QWebEnginePage::certificateError, this, [this](QWebEngineCertificateError error) {
        if (m_page->silent)
            error.rejectCertificate();
    });
    connect(m_page, &QWebEnginePage::urlChanged, this, [this](const QUrl &url) {
        const QString path = m_content->pathFor(url);
        if (!path.isEmpty())
            Q_EMIT pageShown(path);
    });
    connect(m_view, &QWebEngineView::printFinished, this, [this](bool ok) {
        // The preview waits for its own pages; only a print job ends here.
        if (!m_printer)
            return;
        m_printer.reset();
        if (!ok)
            Q_EMIT failed(QStringLiteral("打印失败：打印机未能完成当前页面的打印。"));
    });
    // A page's own print button prints as the window's does.
    connect(m_view, &QWebEngineView::printRequested, this, &WebEngineHtmlView::print);
    connect(m_page, &QWebEnginePage::pdfPrintingFinished, this, [this](const QString &, bool ok) {
        m_pdfPending = false;
        if (!ok)
            Q_EMIT failed(QStringLiteral("另存为PDF失败：无法写入所选文件。"));
    });

    connect(m_page, &SilentPage::externalLinkRequested, this, &HtmlView::externalLinkRequested);
    // Links with a target and pages opened by script stay in this one view.
    connect(m_page, &QWebEnginePage::newWindowRequested, this, [this](QWebEngineNewWindowRequest &request) {
        const QUrl url = request.requestedUrl();
        if (ContentUrl::isViewable(url))
            m_page->load(url);
        else if (ContentUrl::isExternal(url) && request.isUserInitiated())
            Q_EMIT externalLinkRequested(url);
    });

    connect(m_page, &QWebEnginePage::loadFinished, this, [this](bool ok) {
        // The engine may keep a zoom per address; the reader's zoom is for every page.
        if (!qFuzzyCompare(m_page->zoomFactor(), m_zoom))
            m_page->setZoomFactor(m_zoom);
        Q_EMIT pageLoaded(ok);
        if (!m_ready) {
            m_ready = true;
            Q_EMIT ready();
        }
    });
    connect(m_page, &QWebEnginePage::renderProcessTerminated, this,
            [this](QWebEnginePage::RenderProcessTerminationStatus status, int) {
                if (status == QWebEnginePage::NormalTerminationStatus)
                    return;
                // Reloading from inside the engine's own notification is too early.
                QTimer::singleShot(0, this, [this] { Q_EMIT renderProcessDied(); });
            });

    m_view->show();
    // The view now holds the window to its kind of surface.
    delete std::exchange(m_surfaceKeeper, nullptr);
    for (const auto &call : std::exchange(m_beforeView, {}))
        call();
}

WebEngineHtmlView::~WebEngineHtmlView() = default;

void WebEngineHtmlView::setSilent(bool silent)
{
    m_silent = silent;
    if (m_page)
        m_page->silent = silent;
}

void WebEngineHtmlView::navigate(const QString &path)
{
    if (beforeView([this, path] { navigate(path); }))
        return;
    // A path outside the folder has no URL: the view is then asked to load nothing.
    m_view->load(m_content->urlFor(path));
}

void WebEngineHtmlView::navigateToAnchor(const QString &path, const QString &fragment)
{
    if (beforeView([this, path, fragment] { navigateToAnchor(path, fragment); }))
        return;
    QUrl url = m_content->urlFor(path);
    if (url.isEmpty())
        url = QUrl::fromLocalFile(path);
    if (!fragment.isEmpty())
        url.setFragment(fragment);
    m_view->load(url);
}

bool WebEngineHtmlView::goBack()
{
    if (!m_view)
        return false; // no page yet, so no history
    if (!m_view->history()->canGoBack())
        return false;
    m_view->back();
    return true;
}

bool WebEngineHtmlView::goForward()
{
    if (!m_view)
        return false; // no page yet, so no history
    if (!m_view->history()->canGoForward())
        return false;
    m_view->forward();
    return true;
}

bool WebEngineHtmlView::printing()
{
    if (!m_printer && !m_pdfPending)
        return false;
    Q_EMIT failed(PrintBusy);
    return true;
}

void WebEngineHtmlView::print()
{
    if (beforeView([this] { print(); }))
        return;
    if (printing())
        return;
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setPageLayout(officialPage());
    QPrintDialog dialog(printer.get(), m_view->window());
    dialog.setWindowTitle(QStringLiteral("打印"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_printer = std::move(printer);
    m_view->print(m_printer.get());
}

void WebEngineHtmlView::printPreview()
{
    if (beforeView([this] { printPreview(); }))
        return;
    if (printing())
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setResolution(PreviewResolution);
    printer.setPageLayout(officialPage());
    QPrintPreviewDialog dialog(&printer, m_view->window());
    dialog.setObjectName(QStringLiteral("PrintPreview"));
    dialog.setWindowTitle(QStringLiteral("打印预览"));
    // The dialog paints its pages as soon as it asks for them, while the engine
    // prints in its own time: wait for it here.
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter *target) {
        QEventLoop wait;
        const auto done = connect(m_view, &QWebEngineView::printFinished, &wait, [&wait] { wait.quit(); });
        m_view->print(target);
        wait.exec();
        disconnect(done);
    });
    dialog.exec();
}

void WebEngineHtmlView::printToPdf(const QString &filePath)
{
    if (beforeView([this, filePath] { printToPdf(filePath); }))
        return;
    if (printing())
        return;
    m_pdfPending = true;
    m_page->printToPdf(filePath, officialPage());
}

QString WebEngineHtmlView::currentFragment() const
{
    if (!m_view)
        return {};
    return m_view->url().fragment();
}

void WebEngineHtmlView::reload()
{
    if (beforeView([this] { reload(); }))
        return;
    m_view->reload();
}

void WebEngineHtmlView::setZoomFactor(double factor)
{
    if (beforeView([this, factor] { setZoomFactor(factor); }))
        return;
    m_zoom = factor;
    m_page->setZoomFactor(factor);
}

void WebEngineHtmlView::findText(const QString &text, bool backward, std::function<void(int, int)> found)
{
    if (beforeView([this, text, backward, found] { findText(text, backward, found); }))
        return;
    const QWebEnginePage::FindFlags flags = backward ? QWebEnginePage::FindBackward : QWebEnginePage::FindFlags();
    m_page->findText(text, flags, [found = std::move(found)](const QWebEngineFindTextResult &result) {
        if (found)
            found(result.activeMatch(), result.numberOfMatches());
    });
}

void WebEngineHtmlView::runIsolatedScript(const QString &script, std::function<void(const QVariant &)> done)
{
    if (beforeView([this, script, done] { runIsolatedScript(script, done); }))
        return;
    m_page->runJavaScript(script, QWebEngineScript::ApplicationWorld, [done = std::move(done)](const QVariant &result) {
        if (done)
            done(result);
    });
}

void WebEngineHtmlView::addContextActions(ContextActions provider)
{
    if (beforeView([this, provider] { addContextActions(provider); }))
        return;
    if (m_contextActions.isEmpty()) {
        m_view->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(m_view, &QWidget::customContextMenuRequested, this, &WebEngineHtmlView::showContextMenu);
    }
    m_contextActions.append(std::move(provider));
}

void WebEngineHtmlView::showContextMenu(const QPoint &pos)
{
    QMenu *menu = m_view->createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const QPointF pagePoint = QPointF(pos) / m_page->zoomFactor();
    const QString selectedText = m_view->selectedText();
    for (const ContextActions &provider : std::as_const(m_contextActions)) {
        const QList<QAction *> actions = provider(pagePoint, selectedText);
        if (actions.isEmpty())
            continue;
        if (!menu->isEmpty())
            menu->addSeparator();
        for (QAction *action : actions) {
            action->setParent(menu);
            menu->addAction(action);
        }
    }
    menu->popup(m_view->mapToGlobal(pos));
}

void WebEngineHtmlView::showPageAs(const QString &html, const QString &pagePath)
{
    if (beforeView([this, html, pagePath] { showPageAs(html, pagePath); }))
        return;
    m_view->load(m_content->serveFromMemory(pagePath, html));
}

} // namespace Juanzong

#include "webenginehtmlview.moc"
