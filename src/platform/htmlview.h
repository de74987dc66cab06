// SPDX-License-Identifier: GPL-3.0-or-later
// The embedded HTML view as the window sees it: navigate, history, print, silence,
// scripts of the program's own and entries in the page's context menu.
#pragma once

#include <QList>
#include <QObject>
#include <QPointF>
#include <QString>
#include <QUrl>
#include <QVariant>

#include <functional>

class QAction;

namespace Juanzong {

class HtmlView : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~HtmlView() override = default;

    // False until the view is made and has loaded its first page; ready() then
    // says it is up. Before that it takes every call and carries it out later,
    // but a page asked for meanwhile would cut the first one short.
    virtual bool isReady() const { return true; }

    // A silent view shows no dialogs of its own: no script alerts or prompts,
    // no certificate or file-chooser questions.
    virtual void setSilent(bool silent) = 0;
    // Loads the local file named by a plain path and returns at once.
    virtual void navigate(const QString &path) = 0;
    // The same, scrolled to the anchor named fragment; a view without anchors shows the top.
    virtual void navigateToAnchor(const QString &path, const QString &fragment)
    {
        Q_UNUSED(fragment);
        navigate(path);
    }
    // Each returns false, and changes nothing, when there is no entry that way.
    virtual bool goBack() = 0;
    virtual bool goForward() = 0;
    // Asks the user in the print dialog, then prints the current page.
    virtual void print() = 0;
    // Shows a page built in memory as if it were the file at pagePath, so that
    // its relative links and style sheet resolve in that file's folder.
    virtual void showPageAs(const QString &html, const QString &pagePath) = 0;
    // The anchor the page shown was opened at, empty for none.
    virtual QString currentFragment() const { return {}; }
    // Loads the current page again (after its render process died).
    virtual void reload() = 0;

    // Scales the page; the factor stays for every page shown afterwards.
    virtual void setZoomFactor(double factor) = 0;
    // Highlights the next match of text after the active one (the previous one
    // when backward), then reports the active match (1-based, 0 for none) and
    // the number of matches. An empty text removes every highlight.
    virtual void findText(const QString &text, bool backward,
                          std::function<void(int active, int total)> found) = 0;
    // Opens the print preview of the current page, from which the user can print.
    virtual void printPreview() = 0;
    // Writes the current page as a vector PDF; a failure comes through failed().
    virtual void printToPdf(const QString &filePath) = 0;

    // Runs a script in a world of the program's own, which the page's scripts
    // cannot see or change, and hands over its result (invalid when the page
    // went away first).
    virtual void runIsolatedScript(const QString &script, std::function<void(const QVariant &)> done) = 0;
    // Asked each time the page's context menu opens, with the point in page
    // (CSS) pixels and the text selected in the page (possibly empty); the
    // actions it returns follow the view's own. A feature's actions, made once
    // with their keys, stay its own; one without a parent is the menu's.
    using ContextActions = std::function<QList<QAction *>(QPointF pagePoint, const QString &selectedText)>;
    virtual void addContextActions(ContextActions provider) = 0;

Q_SIGNALS:
    // Something the user asked for could not be done; message is ready to show.
    void failed(const QString &message);
    // The view now shows this local file (by any road: a link, history, navigate).
    void pageShown(const QString &path);
    // The page shown has finished loading, or failed to.
    void pageLoaded(bool ok);
    // The view is up (see isReady()); said once.
    void ready();
    // The process drawing the page ended abnormally; the view is blank until reloaded.
    void renderProcessDied();
    // The page's context menu has gone, after the entry chosen in it (if any) has run.
    void contextMenuClosed();
    // The user followed a link the view does not open itself (web or mail).
    void externalLinkRequested(const QUrl &url);
};

} // namespace Juanzong
