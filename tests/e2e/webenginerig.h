// SPDX-License-Identifier: GPL-3.0-or-later
// The real window on the real Qt WebEngine view, over a content folder in a scratch directory.
#pragma once

#include "../window/windowrig.h"
#include "files.h"

#include "core/contentpaths.h"
#include "platform/qt/contentschemehandler.h"
#include "platform/qt/qttreeview.h"
#include "platform/qt/webenginehtmlview.h"
#include "window/mainwindow.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <memory>
#include <unistd.h>

namespace Juanzong::Testing {

using namespace Qt::StringLiterals;
using namespace TestFiles;

// Qt WebEngine's sandbox cannot run as root; the scheme must be known before
// the application object exists.
inline void prepareWebEngine()
{
    if (::geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    ContentSchemeHandler::registerScheme();
}

// Key events reach the page through the view's render widget, as a user's do.
inline QWidget *pageWidget(QWebEngineView *view)
{
    return view->focusProxy() ? view->focusProxy() : view;
}

struct WebEngineRig
{
    WebEngineRig()
    {
        QDir(dir.path()).mkpath(u"ws"_s);
        programDir = QDir::toNativeSeparators(dir.path());
    }

    QString page(const QString &name) const { return ContentPaths::contentRoot(programDir) + name; }

    // Writes a GBK page with no declared character set.
    void addPage(const QString &name, const QString &title, const QString &body = {}) const
    {
        put(page(name), gbk(u"<html><head><title>" + title + u"</title></head><body><h1>" + title + u"</h1>" + body
                            + u"</body></html>"));
    }

    void start()
    {
        webys = new QWidget;
        treeWidget = new QTreeWidget;
        content = std::make_unique<ContentSchemeHandler>([this] { return ContentPaths::contentRoot(programDir); });
        html = std::make_unique<WebEngineHtmlView>(webys, content.get());
        tree = std::make_unique<QtTreeView>(treeWidget);
        loads = std::make_unique<QSignalSpy>(html.get(), &HtmlView::pageLoaded);
        window = std::make_unique<MainWindow>(
            WindowParts{webys, html.get(), treeWidget, tree.get(), &skin, &messages, [this] { return programDir; },
                        &desktop});
        window->show();
        // The web view comes once the window has been painted.
        const bool made = QTest::qWaitFor([this] { return html->hasView(); }, 10000);
        webView = html->view();
        QVERIFY2(made, "the window's first paint did not bring the web view");
    }

    // Waits for the next page load to finish and says whether it succeeded.
    bool waitForLoad(int timeout = 30000)
    {
        const qsizetype before = loads->size();
        if (!QTest::qWaitFor([&] { return loads->size() > before; }, timeout))
            return false;
        return loads->last().at(0).toBool();
    }

    // Shows a page of the folder and says whether it loaded.
    bool open(const QString &name)
    {
        html->navigate(page(name));
        return waitForLoad();
    }

    QString shownFile() const { return content->pathFor(webView->url()); }

    QString evaluate(const QString &script)
    {
        QString result;
        bool done = false;
        webView->page()->runJavaScript(script, [&](const QVariant &value) {
            result = value.toString();
            done = true;
        });
        return QTest::qWaitFor([&] { return done; }, 10000) ? result : u"(no answer)"_s;
    }

    // The window started, ready for keys.
    void startActive()
    {
        start();
        QVERIFY(waitForLoad());
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }

    // Clicks the middle of the element a script finds with the mouse, as a user would:
    // the engine treats script clicks as no user's act (history skips their pages,
    // popups are refused).
    void click(const QString &element, Qt::MouseButton button = Qt::LeftButton)
    {
        const QStringList box = evaluate(u"(() => { const r = " + element
                                         + u".getBoundingClientRect(); const k = window.devicePixelRatio;"
                                           u" return [(r.left + r.width / 2) * k, (r.top + r.height / 2) * k].join(','); })()")
                                    .split(u',');
        QCOMPARE(box.size(), 2);
        const QPoint at(qRound(box[0].toDouble()), qRound(box[1].toDouble()));
        QWidget *target = pageWidget(webView);
        QTest::mouseMove(target, at);
        QTest::mouseClick(target, button, {}, at);
    }

    void clickNode(const QString &key)
    {
        QTreeWidgetItem *item = tree->item(key);
        QVERIFY(item);
        treeWidget->scrollToItem(item);
        const QRect rect = treeWidget->visualItemRect(item);
        QTest::mouseClick(treeWidget->viewport(), Qt::LeftButton, {}, rect.center());
    }

    QTemporaryDir dir;
    QString programDir;
    CallLog log;
    FakeSkin skin{log};
    FakeMessageBox messages{log};
    FakeDesktop desktop{log};
    QWidget *webys = nullptr; // Webys, which the web view is made in
    QWebEngineView *webView = nullptr;
    QTreeWidget *treeWidget = nullptr;
    std::unique_ptr<ContentSchemeHandler> content;
    std::unique_ptr<WebEngineHtmlView> html;
    std::unique_ptr<QtTreeView> tree;
    std::unique_ptr<QSignalSpy> loads;
    std::unique_ptr<MainWindow> window;
};

} // namespace Juanzong::Testing
