#include "platform/qt/webenginehtmlview.h"

#include "platform/qt/contentscheme.h"

#include <QPrintDialog>
#include <QPrinter>
#include <QWebEngineCertificateError>
#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace Juanzong {

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
};

WebEngineHtmlView::WebEngineHtmlView(QWebEngineView *view, ContentSchemeHandler *content, QObject *parent)
    : HtmlView(parent)
    , m_view(view)
    , m_content(content)
    , m_page(new SilentPage(view))
{
    // The newest view serves its folder; a handler left by an earlier view goes.
    const QByteArray scheme(ContentSchemeHandler::Scheme.data(), ContentSchemeHandler::Scheme.size());
    QWebEngineProfile *profile = m_page->profile();
    if (profile->urlSchemeHandler(scheme) != m_content) {
        profile->removeUrlScheme(scheme);
        profile->installUrlSchemeHandler(scheme, m_content);
    }
    // A hint for pages reached outside the content folder; the folder itself is
    // served with an explicit character set.
    m_page->settings()->setDefaultTextEncoding(QStringLiteral("GBK"));
    m_view->setPage(m_page);

    connect(m_page, &QWebEnginePage::certificateError, this, [this](QWebEngineCertificateError error) {
        if (m_page->silent)
            error.rejectCertificate();
    });
    connect(m_page, &QWebEnginePage::urlChanged, this, [this](const QUrl &url) {
        QString path = m_content->pathFor(url);
        if (path.isEmpty() && url.isLocalFile())
            path = url.toLocalFile();
        if (!path.isEmpty())
            Q_EMIT pageShown(path);
    });
    connect(m_view, &QWebEngineView::printFinished, this, [this](bool ok) {
        m_printer.reset();
        if (!ok)
            Q_EMIT failed(QStringLiteral("打印失败：打印机未能完成当前页面的打印。"));
    });
}

WebEngineHtmlView::~WebEngineHtmlView() = default;

void WebEngineHtmlView::setSilent(bool silent)
{
    m_page->silent = silent;
}

void WebEngineHtmlView::navigate(const QString &path)
{
    QUrl url = m_content->urlFor(path);
    if (url.isEmpty())
        url = QUrl::fromLocalFile(path);
    m_view->load(url);
}

bool WebEngineHtmlView::goBack()
{
    if (!m_view->history()->canGoBack())
        return false;
    m_view->back();
    return true;
}

bool WebEngineHtmlView::goForward()
{
    if (!m_view->history()->canGoForward())
        return false;
    m_view->forward();
    return true;
}

void WebEngineHtmlView::print()
{
    if (m_printer) {
        Q_EMIT failed(QStringLiteral("上一份打印尚未完成，请稍后再试。"));
        return;
    }
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    QPrintDialog dialog(printer.get(), m_view->window());
    dialog.setWindowTitle(QStringLiteral("打印"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_printer = std::move(printer);
    m_view->print(m_printer.get());
}

void WebEngineHtmlView::showPageAs(const QString &html, const QString &pagePath)
{
    const QUrl url = m_content->serveFromMemory(pagePath, html);
    if (url.isEmpty()) {
        m_view->setHtml(html, QUrl::fromLocalFile(pagePath));
        return;
    }
    m_view->load(url);
}

} // namespace Juanzong

#include "webenginehtmlview.moc"
