// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/webenginehtmlview.h"

#include "core/contenturl.h"
#include "core/officialpage.h"
#include "core/printjob.h"
#include "platform/qt/contentschemehandler.h"
#include "platform/qt/logging.h"

#include <QAction>
#include <QEvent>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QEventLoop>
#include <QMenu>
#include <QOpenGLContext>
#include <QOpenGLWidget>
#include <QPageLayout>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProcess>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebEngineCertificateError>
#include <QWebEngineContextMenuRequest>
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
                       QMarginsF(PaperMm.left, PaperMm.top, PaperMm.right, PaperMm.bottom), QPageLayout::Millimeter);
}

// From the click or key to the engine asking about the link it followed: the
// engine answers from another process, on a busy machine in a second or so.
constexpr qint64 GestureWindowMs = 2000;

const QString PrintBusy = QStringLiteral("上一份打印尚未完成，请稍后再试。");
const QString PrintFailed = QStringLiteral("打印失败：打印机未能完成当前页面的打印。");
const QString PrintToFileFailed = QStringLiteral("打印失败：无法写入所选文件。");
const QString SavePdfFailed = QStringLiteral("另存为PDF失败：无法写入所选文件。");

// The page reads the content folder through its own scheme, and nothing else.
void serveFolder(QWebEnginePage *page, ContentSchemeHandler *content)
{
    // The newest view serves its folder; a handler left by an earlier view goes.
    const QByteArray scheme = ContentUrl::Scheme.latin1();
    QWebEngineProfile *profile = page->profile();
    if (profile->urlSchemeHandler(scheme) != content) {
        profile->removeUrlScheme(scheme);
        profile->installUrlSchemeHandler(scheme, content);
    }
    // The folder labels its pages itself; this covers the parts it cannot label.
    page->settings()->setDefaultTextEncoding(QStringLiteral("GBK"));
    // The folder is a local scheme: by default its pages could read file: URLs.
    page->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
}

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
        // The engine calls a script's a.click(), a made-up click event and a
        // frame's top.location a followed link too: the view decides.
        if (isMainFrame && type == NavigationTypeLinkClicked)
            Q_EMIT linkFollowed(url);
        return false;
    }

Q_SIGNALS:
    void linkFollowed(const QUrl &url);
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
    serveFolder(m_page, m_content);
    m_view->setPage(m_page);
    auto *layout = new QVBoxLayout(m_holder);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    m_view->setAccessibleName(m_holder->accessibleName());
    const bool hadFocus = m_holder->hasFocus();
    m_holder->setFocusProxy(m_view);
    if (hadFocus)
        m_view->setFocus(Qt::OtherFocusReason);

    connectPage();
    connectNavigation();

    m_view->show();
    // The view now holds the window to its kind of surface.
    delete std::exchange(m_surfaceKeeper, nullptr);
    for (const auto &call : std::exchange(m_beforeView, {}))
        call();
}

void WebEngineHtmlView::connectPage()
{
    connect(m_page, &QWebEnginePage::certificateError, this, [this](QWebEngineCertificateError error) {
        if (m_page->silent)
            error.rejectCertificate();
    });
    connect(m_page, &QWebEnginePage::urlChanged, this, [this](const QUrl &url) {
        const QString path = m_content->pathFor(url);
        if (!path.isEmpty())
            Q_EMIT pageShown(path);
    });
    // A page's own print button prints as the window's does.
    connect(m_view, &QWebEngineView::printRequested, this, &WebEngineHtmlView::print);
    connect(m_page, &QWebEnginePage::pdfPrintingFinished, this, [this](const QString &, bool ok) {
        m_pdfPending = false;
        if (!ok)
            Q_EMIT failed(m_pdfFailure);
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
            [this](QWebEnginePage::RenderProcessTerminationStatus status, int exitCode) {
                if (status == QWebEnginePage::NormalTerminationStatus)
                    return;
                qCWarning(lcPlatform) << "render process ended abnormally: status" << int(status) << "exit code" << exitCode;
                // Reloading from inside the engine's own notification is too early.
                QTimer::singleShot(0, this, [this] { Q_EMIT renderProcessDied(); });
            });
}

void WebEngineHtmlView::connectNavigation()
{
    m_view->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_view, &QWidget::customContextMenuRequested, this, &WebEngineHtmlView::showContextMenu);
    connect(m_page, &SilentPage::linkFollowed, this, &WebEngineHtmlView::linkFollowed);
    // Links with a target and pages opened by script stay in this one view.
    connect(m_page, &QWebEnginePage::newWindowRequested, this, [this](QWebEngineNewWindowRequest &request) {
        const QUrl url = request.requestedUrl();
        if (ContentUrl::isViewable(url))
            m_page->load(url);
        else if (request.isUserInitiated())
            linkFollowed(url);
    });
    // Real input reaches the page through the view's render widget, which the
    // engine replaces when its process starts again: watch the whole view.
    qApp->installEventFilter(this);
}

WebEngineHtmlView::~WebEngineHtmlView() = default;

bool WebEngineHtmlView::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    // The engine is started by a timer, once the holder's first paint has
    // reached the screen.
    if (watched == m_holder && type == QEvent::Paint && !m_view) {
        m_holder->removeEventFilter(this);
        QTimer::singleShot(0, this, &WebEngineHtmlView::makeView);
        return false;
    }
    if (!m_view || (type != QEvent::MouseButtonRelease && type != QEvent::KeyPress))
        return false;
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || (widget != m_view && !m_view->isAncestorOf(widget)))
        return false;
    // Only input from the window system: a program's posted events are not the user's.
    if (!event->spontaneous())
        return false;
    if (type == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter)
            return false;
    } else if (static_cast<QMouseEvent *>(event)->button() != Qt::LeftButton
               && static_cast<QMouseEvent *>(event)->button() != Qt::MiddleButton) {
        return false;
    }
    // Which link the user clicked or pressed Enter on, asked of the page in
    // a world its scripts cannot touch; the engine may report the link before
    // the answer comes.
    m_gesture.start();
    m_followed.clear();
    m_clickedLink.reset();
    const quint64 gesture = ++m_gestureCount;
    const QPointF at = type == QEvent::MouseButtonRelease
        ? static_cast<QMouseEvent *>(event)->position() / m_page->zoomFactor()
        : QPointF(-1, -1);
    const QString script = QStringLiteral("(() => { const e = %1 < 0 ? document.activeElement"
                                          " : document.elementFromPoint(%1, %2);"
                                          " const a = e && e.closest ? e.closest('a[href], area[href]') : null;"
                                          " return a ? a.href : ''; })()")
                               .arg(at.x())
                               .arg(at.y());
    QPointer<WebEngineHtmlView> self = this;
    m_page->runJavaScript(script, QWebEngineScript::ApplicationWorld, [self, gesture](const QVariant &link) {
        if (!self || gesture != self->m_gestureCount)
            return;
        self->m_clickedLink = QUrl(link.toString());
        self->settleGesture();
    });
    return false;
}

void WebEngineHtmlView::linkFollowed(const QUrl &url)
{
    if (!m_gesture.isValid() || m_gesture.elapsed() >= GestureWindowMs)
        return;
    m_followed.append(url);
    settleGesture();
}

void WebEngineHtmlView::settleGesture()
{
    // Only the link the user acted on goes out, once: what a script sends
    // meanwhile, or the link again after it, does not.
    if (!m_clickedLink || m_clickedLink->isEmpty() || !m_gesture.isValid() || m_gesture.elapsed() >= GestureWindowMs)
        return;
    if (!m_followed.contains(*m_clickedLink))
        return;
    const QUrl link = *m_clickedLink;
    m_gesture.invalidate();
    m_followed.clear();
    openOutside(link);
}

void WebEngineHtmlView::openOutside(const QUrl &url)
{
    const QUrl outside = ContentUrl::forDesktop(url);
    if (!outside.isEmpty())
        Q_EMIT externalLinkRequested(outside);
}

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
    if (!m_pdfPending && !m_printJob)
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
    printWith(officialPage());
}

void WebEngineHtmlView::printWith(const QPageLayout &proposed)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(proposed);
    QPrintDialog dialog(&printer, m_view->window());
    dialog.setWindowTitle(QStringLiteral("打印"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    // The engine's own printing paints each page as a picture, at the size
    // of the view rather than of the paper; written as a PDF the page keeps
    // its text and fits the layout the dialog ended with.
    const QPageLayout layout = printer.pageLayout();
    const QPageRanges pages = printer.pageRanges();
    m_pdfPending = true;
    if (printer.outputFormat() == QPrinter::PdfFormat) {
        m_pdfFailure = PrintToFileFailed;
        m_page->printToPdf(printer.outputFileName(), layout, pages);
        return;
    }
    PrintJob::Options job;
    job.printer = printer.printerName();
    job.copies = printer.copyCount();
    job.collate = printer.collateCopies();
    job.sides = printer.duplex() == QPrinter::DuplexLongSide    ? PrintJob::Sides::LongEdge
                : printer.duplex() == QPrinter::DuplexShortSide ? PrintJob::Sides::ShortEdge
                                                                : PrintJob::Sides::OneSided;
    job.title = m_page->title();
    QPointer<WebEngineHtmlView> self = this;
    m_page->printToPdf(
        [self, job](const QByteArray &pdf) {
            if (!self)
                return;
            self->m_pdfPending = false;
            if (pdf.isEmpty())
                Q_EMIT self->failed(PrintFailed);
            else
                self->spool(job, pdf);
        },
        layout, pages);
}

void WebEngineHtmlView::spool(const PrintJob::Options &job, const QByteArray &pdf)
{
    // The printing system takes PDF as it is and keeps it vector to the printer.
    auto *spooler = new QProcess(this);
    m_printJob = spooler;
    connect(spooler, &QProcess::finished, this, [this, spooler](int code, QProcess::ExitStatus status) {
        spooler->deleteLater();
        if (status != QProcess::NormalExit || code != 0)
            Q_EMIT failed(PrintFailed);
    });
    connect(spooler, &QProcess::errorOccurred, this, [this, spooler](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        spooler->deleteLater();
        Q_EMIT failed(PrintFailed);
    });
    spooler->start(PrintJob::Spooler, PrintJob::spoolerArguments(job));
    spooler->write(pdf);
    spooler->closeWriteChannel();
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
    // The dialog's own print button would send the pictures it shows: it
    // takes the way of 打印 instead, with the layout set up in the preview.
    bool printAfter = false;
    const QString printCaption = QCoreApplication::translate("QPrintPreviewDialog", "Print");
    for (QAction *action : dialog.findChildren<QAction *>()) {
        if (action->text() != printCaption)
            continue;
        disconnect(action, &QAction::triggered, &dialog, nullptr);
        connect(action, &QAction::triggered, &dialog, [&dialog, &printAfter] {
            printAfter = true;
            dialog.accept();
        });
    }
    dialog.exec();
    if (printAfter)
        printWith(printer.pageLayout());
}

void WebEngineHtmlView::printToPdf(const QString &filePath)
{
    if (beforeView([this, filePath] { printToPdf(filePath); }))
        return;
    if (printing())
        return;
    m_pdfPending = true;
    m_pdfFailure = SavePdfFailed;
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
    m_contextActions.append(std::move(provider));
}

void WebEngineHtmlView::showContextMenu(const QPoint &pos)
{
    // Not the engine's own menu: its history and reload entries repeat the
    // window's buttons, and saving the page or showing its source lead nowhere
    // here. Copying and editing stay, as the engine offers them for the spot.
    auto *menu = new QMenu(m_view);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const QWebEngineContextMenuRequest *request = m_view->lastContextMenuRequest();
    const bool editable = request && request->isContentEditable();
    const auto add = [this, menu](QWebEnginePage::WebAction which) { menu->addAction(m_page->action(which)); };
    if (editable) {
        add(QWebEnginePage::Undo);
        add(QWebEnginePage::Redo);
        menu->addSeparator();
        add(QWebEnginePage::Cut);
    }
    add(QWebEnginePage::Copy);
    if (editable)
        add(QWebEnginePage::Paste);
    if (request && request->mediaType() == QWebEngineContextMenuRequest::MediaTypeImage)
        add(QWebEnginePage::CopyImageToClipboard);
    add(QWebEnginePage::SelectAll);

    const QPointF pagePoint = QPointF(pos) / m_page->zoomFactor();
    const QString selectedText = m_view->selectedText();
    m_page->action(QWebEnginePage::Copy)->setEnabled(!selectedText.isEmpty());
    for (const ContextActions &provider : std::as_const(m_contextActions)) {
        const QList<QAction *> actions = provider(pagePoint, selectedText);
        if (actions.isEmpty())
            continue;
        menu->addSeparator();
        for (QAction *action : actions) {
            if (!action->parent())
                action->setParent(menu);
            menu->addAction(action);
        }
    }
    // Queued: the menu hides before the entry chosen in it is triggered.
    connect(menu, &QMenu::aboutToHide, this, &HtmlView::contextMenuClosed, Qt::QueuedConnection);
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
