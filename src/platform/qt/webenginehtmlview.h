// The HTML view on Qt WebEngine.
#pragma once

#include "platform/htmlview.h"

#include <memory>

class QPrinter;
class QWebEngineView;

namespace Juanzong {

class ContentSchemeHandler;
class SilentPage;

class WebEngineHtmlView final : public HtmlView
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WebEngineHtmlView)
public:
    // The view stays the caller's widget; the scheme handler serves the content folder.
    WebEngineHtmlView(QWebEngineView *view, ContentSchemeHandler *content, QObject *parent = nullptr);
    ~WebEngineHtmlView() override;

    void setSilent(bool silent) override;
    void navigate(const QString &path) override;
    bool goBack() override;
    bool goForward() override;
    void print() override;
    void showPageAs(const QString &html, const QString &pagePath) override;

    QWebEngineView *view() const { return m_view; }

private:
    QWebEngineView *m_view;
    ContentSchemeHandler *m_content;
    SilentPage *m_page;
    std::unique_ptr<QPrinter> m_printer; // alive until the engine has finished printing
};

} // namespace Juanzong
