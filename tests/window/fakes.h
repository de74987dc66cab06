// SPDX-License-Identifier: GPL-3.0-or-later
// Fake platform adapters that record what the window asked of them, in one shared log.
#pragma once

#include "platform/desktop.h"
#include "platform/htmlview.h"
#include "platform/messagebox.h"
#include "platform/skin.h"
#include "platform/treeview.h"

#include <QStringList>
#include <QUrl>

#include <functional>

namespace Juanzong::Testing {

using namespace Qt::StringLiterals;

class CallLog
{
public:
    QStringList calls;
    void add(const QString &call) { calls.append(call); }
    QStringList starting(QStringView prefix) const
    {
        QStringList out;
        for (const QString &call : calls)
            if (call.startsWith(prefix))
                out.append(call);
        return out;
    }
};

class FakeHtmlView final : public HtmlView
{
    Q_OBJECT
public:
    explicit FakeHtmlView(CallLog &log) : m_log(log) {}

    bool isReady() const override { return up; }
    void setSilent(bool silent) override
    {
        m_log.add(u"html.silent " + QString::number(silent));
        if (onSilent)
            onSilent();
    }
    void navigate(const QString &path) override { m_log.add(u"html.navigate " + path); }
    // Where the view would go is the engine's business; only the asking is recorded.
    bool goBack() override
    {
        m_log.add(QStringLiteral("html.back"));
        return true;
    }
    bool goForward() override
    {
        m_log.add(QStringLiteral("html.forward"));
        return true;
    }
    void print() override { m_log.add(QStringLiteral("html.print")); }
    void showPageAs(const QString &html, const QString &pagePath) override
    {
        m_log.add(u"html.showPageAs " + pagePath);
        memoryPage = html;
    }
    void reload() override { m_log.add(QStringLiteral("html.reload")); }
    void setZoomFactor(double factor) override { m_log.add(u"html.zoom " + QString::number(factor)); }
    void findText(const QString &text, bool backward, std::function<void(int, int)> found) override
    {
        m_log.add(u"html.find " + text + (backward ? u" back"_s : QString()));
        lastFound = std::move(found);
    }
    void printPreview() override { m_log.add(QStringLiteral("html.preview")); }
    void printToPdf(const QString &filePath) override { m_log.add(u"html.pdf " + filePath); }
    void runIsolatedScript(const QString &script, std::function<void(const QVariant &)> done) override
    {
        scripts.append(script);
        if (holdAnswers) {
            held.append({script, std::move(done)});
            return;
        }
        const QVariant result = answerScript ? answerScript(script) : QVariant();
        if (done)
            done(result);
    }
    // With holdAnswers, the scripts wait here until answered, in any order.
    struct HeldScript
    {
        QString script;
        std::function<void(const QVariant &)> done;
    };
    void answerHeld(qsizetype index)
    {
        HeldScript script = held.takeAt(index);
        if (script.done)
            script.done(answerScript ? answerScript(script.script) : QVariant());
    }
    void addContextActions(ContextActions provider) override { contextActions.append(std::move(provider)); }

    void closeMenu() { Q_EMIT contextMenuClosed(); }
    void fail(const QString &message) { Q_EMIT failed(message); }
    // What the real view reports as a page arrives: shown at once, loaded later.
    void show(const QString &path) { Q_EMIT pageShown(path); }
    void loaded(bool ok) { Q_EMIT pageLoaded(ok); }
    void open(const QString &path) { show(path); loaded(true); }
    void die() { Q_EMIT renderProcessDied(); }
    // The real view is up only once its engine is made and the start page has loaded.
    void comeUp()
    {
        up = true;
        Q_EMIT ready();
    }
    // Answers the last find as the engine would, some time after it was asked.
    void answerFind(int active, int total)
    {
        if (lastFound)
            lastFound(active, total);
    }

    bool up = true;
    std::function<void()> onSilent;
    std::function<void(int, int)> lastFound;
    // Answers every isolated script at once, as the page would.
    std::function<QVariant(const QString &)> answerScript;
    bool holdAnswers = false;
    QList<HeldScript> held;
    QStringList scripts;
    QList<ContextActions> contextActions;
    QString memoryPage;

private:
    CallLog &m_log;
};

class FakeTreeView final : public TreeView
{
    Q_OBJECT
public:
    explicit FakeTreeView(CallLog &log) : m_log(log) {}

    void addNode(const QString &parentKey, const QString &key, const QString &text) override
    {
        m_log.add(u"tree.add " + parentKey + u'|' + key + u'|' + text);
    }
    void ensureVisible(const QString &key) override { m_log.add(u"tree.ensureVisible " + key); }
    void setExpanded(const QString &key, bool expanded) override
    {
        m_log.add(u"tree.expanded " + key + u' ' + QString::number(expanded));
    }
    void setCurrentQuietly(const QString &key) override { m_log.add(u"tree.current " + key); }

    void click(const QString &key) { Q_EMIT nodeClicked(key); }

private:
    CallLog &m_log;
};

class FakeSkin final : public Skin
{
public:
    explicit FakeSkin(CallLog &log) : m_log(log) {}
    void attachEx(const QString &skinFile) override { m_log.add(u"skin.attachEx " + skinFile); }

private:
    CallLog &m_log;
};

class FakeMessageBox final : public MessageBox
{
public:
    explicit FakeMessageBox(CallLog &log) : m_log(log) {}
    void show(const QString &text, const QString &title) override
    {
        m_log.add(u"box " + title + u'|' + text);
        if (onShow)
            onShow();
    }

    std::function<void()> onShow;

private:
    CallLog &m_log;
};

class FakeDesktop final : public Desktop
{
public:
    explicit FakeDesktop(CallLog &log) : m_log(log) {}
    void openExternally(const QUrl &url) override { m_log.add(u"desktop.open " + url.toString()); }
    QString askPdfFile(const QString &suggestedName) override
    {
        m_log.add(u"desktop.askPdf " + suggestedName);
        return pdfAnswer;
    }

    QString askDocxFile(const QString &suggestedPath) override
    {
        m_log.add(u"desktop.askDocx " + suggestedPath);
        if (whileAskingDocx)
            whileAskingDocx();
        return docxAnswer;
    }

    // Runs while the save dialog is open, as events do in its loop.
    std::function<void()> whileAskingDocx;

    QString pdfAnswer; // empty: the user cancels
    QString docxAnswer;

private:
    CallLog &m_log;
};

} // namespace Juanzong::Testing
