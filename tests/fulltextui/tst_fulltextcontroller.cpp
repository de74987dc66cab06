// SPDX-License-Identifier: GPL-3.0-or-later
// Full-text search and type-ahead in the window, on fake platform adapters:
// which key does what, the waiting note, the context menu entry, a hit opened.
#include "files.h"
#include "window/windowrig.h"

#include "core/contentpaths.h"
#include "fulltext/fulltextpage.h"
#include "fulltextui/fulltextcontroller.h"
#include "fulltextui/suggestionpopup.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTemporaryDir>

using namespace Juanzong;
using namespace Juanzong::Testing;
using namespace Qt::StringLiterals;

class FullTextWindowTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void keys_data();
    void keys();
    void queryBeforeIndex_waitsVisiblyThenShowsResults();
    void contextMenu_data();
    void contextMenu();
    void hitOpened_findBarOnQuery_data();
    void hitOpened_findBarOnQuery();
    void resultsReturnedTo_scroll_data();
    void resultsReturnedTo_scroll();
};

namespace {

// One program folder for the whole run, holding the one page searched.
QString searchedFolder()
{
    static QTemporaryDir dir;
    static const bool written = [] {
        QDir(dir.path()).mkpath(u"ws"_s);
        QFile file(ContentPaths::contentRoot(dir.path()) + u"juanzongfanben-10.html"_s);
        return file.open(QIODevice::WriteOnly)
               && file.write(TestFiles::gbk(u"<html><body><h1>调解</h1><div class=\"ws\" id=\"ws2\"><div class=\"ws-label\">"
                                        u"调解笔录</div><p>双方自愿达成协议</p></div></body></html>"_s)) > 0;
    }();
    return written ? dir.path() : QString();
}

struct Rig : WindowRig
{
    Rig() : WindowRig(searchedFolder())
    {
        activate();
        box = control<QLineEdit>(u"Text1"_s);
        box->setFocus();
    }
    QString resultPath() const { return ContentPaths::contentRoot(programDir) + FullTextPage::FileName; }
    void type(const QString &text) const { Testing::type(box, text); }
    // Types a query and asks for it in every page, as Shift+Enter does.
    void searchAll(const QString &query) const
    {
        type(query);
        QTest::keyClick(box, Qt::Key_Return, Qt::ShiftModifier);
    }

    QLineEdit *box = nullptr;
};

} // namespace

void FullTextWindowTest::keys_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QString>("expected"); // "title search", or the view's call and the file it names
    QTest::newRow("Enter without an offer chosen_title search as before")
        << u"zxyy"_s << QStringList{u"Return"_s} << u"title search"_s;
    QTest::newRow("arrow and Enter_opens the offer") << u"zxyy"_s << QStringList{u"Down"_s, u"Return"_s}
                                                     << u"html.navigate juanzongfanben-19.html"_s;
    QTest::newRow("arrows move through the offers")
        << u"tj"_s << QStringList{u"Down"_s, u"Down"_s, u"Up"_s, u"Return"_s} << u"html.navigate juanzongfanben-10.html"_s;
    QTest::newRow("Up to the last offer, Down past it_back to the first")
        << u"zxyy"_s << QStringList{u"Up"_s, u"Down"_s, u"Return"_s} << u"html.navigate juanzongfanben-19.html"_s;
    QTest::newRow("Esc closes the offers, Enter then searches titles")
        << u"zxyy"_s << QStringList{u"Down"_s, u"Esc"_s, u"Return"_s} << u"title search"_s;
    QTest::newRow("Shift+Enter_full-text search") << u"自愿"_s << QStringList{u"Shift+Return"_s}
                                                  << u"html.showPageAs fulltext-results.html"_s;
}

void FullTextWindowTest::keys()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, keys);
    QFETCH(QString, expected);
    Rig rig;
    rig.log.calls.clear();
    rig.type(typed);
    auto *offers = rig.control<SuggestionPopup>(u"Suggestions"_s);
    QVERIFY(offers);
    QCOMPARE(offers->isVisible(), !keys.contains(u"Shift+Return"_s));
    for (const QString &key : keys)
        press(rig.box, key);
    QVERIFY(!offers->isVisible());
    QCOMPARE(rig.box->text(), typed);
    auto calls = [&] {
        QStringList out = rig.log.starting(u"html.navigate") + rig.log.starting(u"html.showPageAs");
        if (!rig.log.starting(u"box").isEmpty())
            out.append(u"title search"_s);
        return out;
    };
    QTRY_COMPARE(calls().size(), 1);
    const QString call = calls().front();
    const QString verb = expected.section(u' ', 0, 0);
    const QString file = expected.section(u' ', 1);
    QVERIFY2(call == expected || (call.startsWith(verb + u' ') && call.endsWith(u"/ws/" + file)), qPrintable(call));
}

void FullTextWindowTest::queryBeforeIndex_waitsVisiblyThenShowsResults()
{
    Rig rig;
    rig.searchAll(u"达成协议"_s);
    // The window answers at once: until the results come, the note says why nothing is shown yet.
    auto *note = rig.control<QLabel>(u"FullTextWaiting"_s);
    QVERIFY(note);
    if (rig.log.starting(u"html.showPageAs").isEmpty()) {
        QVERIFY(note->isVisible());
        QVERIFY(note->text().startsWith(FullTextController::IndexBuildingNote));
    }
    QTRY_COMPARE(rig.log.starting(u"html.showPageAs").size(), 1);
    QCOMPARE(rig.log.starting(u"html.showPageAs").front(), u"html.showPageAs " + rig.resultPath());
    QVERIFY(!note->isVisible());
    QVERIFY(rig.html.memoryPage.contains(u"调解笔录"_s));
    QVERIFY(rig.html.memoryPage.contains(u"<mark>达成协议</mark>"_s));
    QVERIFY(rig.log.starting(u"box").isEmpty());
}

void FullTextWindowTest::contextMenu_data()
{
    QTest::addColumn<QString>("selection");
    QTest::addColumn<bool>("offered");
    QTest::newRow("text selected_entry offered") << u"双方\n自愿 "_s << true;
    QTest::newRow("nothing selected_no entry") << QString() << false;
    QTest::newRow("only white space_no entry") << u" \n "_s << false;
}

void FullTextWindowTest::contextMenu()
{
    QFETCH(QString, selection);
    QFETCH(bool, offered);
    Rig rig;
    QMenu menu; // owns what the providers offer, as the view's menu does
    QAction *entry = nullptr;
    for (const HtmlView::ContextActions &provider : std::as_const(rig.html.contextActions)) {
        for (QAction *action : provider(QPointF(), selection)) {
            if (!action->parent())
                action->setParent(&menu);
            if (action->text() == FullTextController::MenuCaption)
                entry = action;
        }
    }
    QCOMPARE(entry != nullptr, offered);
    if (!entry)
        return;
    entry->trigger();
    QCOMPARE(rig.box->text(), u"双方 自愿"_s);
    QTRY_COMPARE(rig.log.starting(u"html.showPageAs").size(), 1);
}

void FullTextWindowTest::hitOpened_findBarOnQuery_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QStringList>("pageSays"); // what the result page shown answers: its query and its links
    QTest::addColumn<QString>("found"); // what the find bar opens on; empty: it stays closed
    QTest::newRow("from the result page_find bar on the query")
        << u"results"_s << u"juanzongfanben-10.html"_s << QStringList() << u"自愿"_s;
    QTest::newRow("from another page_no find bar")
        << u"juanzongfanben-5.html"_s << u"juanzongfanben-10.html"_s << QStringList() << QString();
    QTest::newRow("from the results to a page without hits_no find bar")
        << u"results"_s << u"juanzongfanben-5.html"_s << QStringList() << QString();
    QTest::newRow("from an older result page Back returned to_find bar on its query")
        << u"results"_s << u"juanzongfanben-5.html"_s << QStringList{u"协议"_s, u"juanzongfanben-5.html#ws1"_s} << u"协议"_s;
}

void FullTextWindowTest::hitOpened_findBarOnQuery()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QStringList, pageSays);
    QFETCH(QString, found);
    const bool findBarOpened = !found.isEmpty();
    Rig rig;
    rig.html.answerScript = [&](const QString &script) {
        return script.contains(u"ft-query"_s) && !pageSays.isEmpty() ? QVariant(pageSays) : QVariant();
    };
    rig.searchAll(u"自愿"_s);
    QTRY_COMPARE(rig.log.starting(u"html.showPageAs").size(), 1);

    const QString root = ContentPaths::contentRoot(rig.programDir);
    rig.html.open(from == u"results" ? rig.resultPath() : root + from);
    rig.html.open(root + to);
    auto *findText = rig.window->findChild<QLineEdit *>(u"FindText"_s);
    QCOMPARE(findText->isVisible(), findBarOpened);
    // Showing the results clears any find on the page; what counts is what was searched for.
    QStringList searched = rig.log.starting(u"html.find ");
    searched.removeAll(u"html.find "_s);
    QCOMPARE(searched, findBarOpened ? QStringList{u"html.find " + found} : QStringList());
    QCOMPARE(findText->text(), found);
}

void FullTextWindowTest::resultsReturnedTo_scroll_data()
{
    QTest::addColumn<int>("scrolledTo");    // what the result page answers while it is shown
    QTest::addColumn<QString>("leftFor");   // "hit": a hit opened, then Back; "search": a new search
    QTest::addColumn<QString>("restored");  // the script run when the results are shown again, or none
    QTest::newRow("Back from a hit_scroll put back") << 480 << u"hit"_s << u"window.scrollTo(0, 480)"_s;
    QTest::newRow("Back from a hit, never scrolled_left at the top") << 0 << u"hit"_s << QString();
    QTest::newRow("a new search_starts at the top") << 480 << u"search"_s << QString();
}

void FullTextWindowTest::resultsReturnedTo_scroll()
{
    QFETCH(int, scrolledTo);
    QFETCH(QString, leftFor);
    QFETCH(QString, restored);
    Rig rig;
    rig.searchAll(u"自愿"_s);
    QTRY_COMPARE(rig.log.starting(u"html.showPageAs").size(), 1);
    bool onResults = true;
    // As the page answers: only the result page knows its offset.
    rig.html.answerScript = [&](const QString &script) -> QVariant {
        return script.contains(u"scrollY"_s) ? QVariant(onResults ? scrolledTo : -1) : QVariant();
    };
    rig.html.open(rig.resultPath());
    auto reads = [&] { return rig.html.scripts.filter(u"scrollY"_s).size(); };
    QTRY_VERIFY(reads() >= 2);

    if (leftFor == u"hit") {
        onResults = false;
        rig.html.open(ContentPaths::contentRoot(rig.programDir) + u"juanzongfanben-10.html"_s);
        QTest::qWait(3 * FullTextController::ScrollReadInterval);
    } else {
        rig.box->clear();
        rig.searchAll(u"协议"_s);
        QTRY_COMPARE(rig.log.starting(u"html.showPageAs").size(), 2);
    }
    onResults = true;
    rig.html.scripts.clear();
    rig.html.open(rig.resultPath());
    const QStringList scrolls = rig.html.scripts.filter(u"scrollTo"_s);
    QCOMPARE(scrolls, restored.isEmpty() ? QStringList() : QStringList{restored});
}

QTEST_MAIN(FullTextWindowTest)
#include "tst_fulltextcontroller.moc"
