// SPDX-License-Identifier: GPL-3.0-or-later
// Reading one page, on a fake view in a bare window: find, zoom, reloads, side buttons.
#include "window/windowrig.h"

#include "reader/findbar.h"
#include "platform/shownpage.h"
#include "reader/pagereader.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QWheelEvent>

using namespace Qt::StringLiterals;

using namespace Juanzong;
using namespace Juanzong::Testing;

namespace {

// A window that counts the Enter and Esc keys its children let through.
class Window final : public QWidget
{
public:
    int keysReached = 0;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        keysReached += event->key() == Qt::Key_Return || event->key() == Qt::Key_Escape;
        event->accept();
    }
};

struct Rig
{
    Rig()
    {
        view->setFocusPolicy(Qt::StrongFocus);
        view->setGeometry(296, 56, 833, 713);
        other->setGeometry(24, 56, 249, 713);
        page->setGeometry(0, 0, 833, 713);
        window.resize(1151, 783);
        reader = new PageReader(&html, &shown, view);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        log.calls.clear();
    }
    FindBar *bar() const { return window.findChild<FindBar *>(); }
    QLineEdit *findText() const { return bar()->findChild<QLineEdit *>(u"FindText"_s); }
    QString count() const { return bar()->findChild<QLabel *>(u"FindCount"_s)->text(); }
    // What the view was asked with a call of this kind, without the call's name.
    QStringList asked(const QString &call) const
    {
        QStringList out = log.starting(call);
        for (QString &each : out)
            each.remove(0, call.size());
        return out;
    }

    CallLog log;
    FakeHtmlView html{log};
    ShownPage shown{&html};
    Window window;
    QWidget *view = new QWidget(&window);
    QWidget *other = new QWidget(&window);
    QWidget *page = new QWidget(view); // where the engine's own render widget sits
    PageReader *reader = nullptr;
};

} // namespace

class PageReaderTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void zoom_data();
    void zoom();
    void find_data();
    void find();
    void find_ignoresStaleAnswers();
    void find_barFloatsOverTheViewsBottomEdge();
    void findInPage_makesTheMatchAfterSkipActive();
    void sideButtons_moveThroughHistory();
    void deadRenderProcess_isReloadedAtMostThreeTimesInARow();
};

void PageReaderTest::zoom_data()
{
    QTest::addColumn<QStringList>("steps"); // keys, or "wheel N" / "wheel N page" / "wheel N other" / "plain wheel N" in notches
    QTest::addColumn<QStringList>("factors"); // asked of the view, in order

    QTest::newRow("Ctrl+= without shift_one step in") << QStringList{u"Ctrl+="_s} << QStringList{u"1.1"_s};
    QTest::newRow("up to the top_no further")
        << QStringList(9, u"Ctrl++"_s)
        << QStringList{u"1.1"_s, u"1.25"_s, u"1.5"_s, u"1.75"_s, u"2"_s, u"2.5"_s, u"3"_s};
    QTest::newRow("down to the bottom_no further") << QStringList(7, u"Ctrl+-"_s)
                                                   << QStringList{u"0.9"_s, u"0.8"_s, u"0.67"_s, u"0.5"_s, u"0.3"_s};
    QTest::newRow("Ctrl+0_back to 100") << QStringList{u"Ctrl++"_s, u"Ctrl++"_s, u"Ctrl+0"_s}
                                         << QStringList{u"1.1"_s, u"1.25"_s, u"1"_s};
    QTest::newRow("Ctrl+0 at 100_asks nothing") << QStringList{u"Ctrl+0"_s} << QStringList();
    QTest::newRow("Ctrl+wheel notch up_one step") << QStringList{u"wheel 1"_s} << QStringList{u"1.1"_s};
    QTest::newRow("Ctrl+wheel on the page inside the view_one step") << QStringList{u"wheel 1 page"_s} << QStringList{u"1.1"_s};
    QTest::newRow("Ctrl+wheel two notches down_two steps") << QStringList{u"wheel -2"_s} << QStringList{u"0.8"_s};
    QTest::newRow("Ctrl+wheel far beyond the top_300") << QStringList{u"wheel 40"_s} << QStringList{u"3"_s};
    QTest::newRow("wheel without Ctrl_scrolls") << QStringList{u"plain wheel 1"_s} << QStringList();
    QTest::newRow("Ctrl+wheel beside the view_no zoom") << QStringList{u"wheel 1 other"_s} << QStringList();
}

void PageReaderTest::zoom()
{
    QFETCH(QStringList, steps);
    QFETCH(QStringList, factors);

    Rig rig;
    for (const QString &step : steps) {
        if (!step.contains(u"wheel")) {
            press(rig.view, step);
            continue;
        }
        const QStringList words = step.split(u' ');
        const bool plain = words.first() == u"plain";
        QWidget *target = step.endsWith(u"other") ? rig.other : step.endsWith(u"page") ? rig.page : rig.view;
        const QPoint at = target->rect().center();
        QWheelEvent wheel(at, target->mapToGlobal(at), QPoint(), QPoint(0, words.at(plain ? 2 : 1).toInt() * 120),
                          Qt::NoButton, plain ? Qt::NoModifier : Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &wheel);
    }
    QCOMPARE(rig.asked(u"html.zoom "_s), factors);
}

void PageReaderTest::find_data()
{
    // Each row opens the bar with Ctrl+F, types 民事 (two finds), then acts; only
    // the finds after that are compared. "loaded" is a new page in the view,
    // "reloaded" the same page loaded once more.
    QTest::addColumn<QStringList>("acts");
    QTest::addColumn<QStringList>("finds");
    QTest::addColumn<bool>("open");

    QTest::newRow("Enter_next") << QStringList{u"Return"_s} << QStringList{u"民事"_s} << true;
    QTest::newRow("Shift+Enter_previous") << QStringList{u"Shift+Return"_s} << QStringList{u"民事 back"_s} << true;
    QTest::newRow("F3 and Shift+F3_next and previous")
        << QStringList{u"F3"_s, u"Shift+F3"_s} << QStringList{u"民事"_s, u"民事 back"_s} << true;
    QTest::newRow("the bar's buttons_previous and next")
        << QStringList{u"button FindPrevious"_s, u"button FindNext"_s} << QStringList{u"民事 back"_s, u"民事"_s} << true;
    QTest::newRow("new page_counted again") << QStringList{u"loaded"_s} << QStringList{u"民事"_s} << true;
    QTest::newRow("same page loaded again_keeps its match") << QStringList{u"reloaded"_s} << QStringList() << true;
    QTest::newRow("failed load_not counted") << QStringList{u"failed"_s} << QStringList() << true;
    QTest::newRow("Esc_closes and clears the highlights")
        << QStringList{u"Escape"_s, u"loaded"_s} << QStringList{QString()} << false;
    QTest::newRow("close button_as Esc") << QStringList{u"button FindClose"_s} << QStringList{QString()} << false;
    QTest::newRow("opened again_finds its text at once")
        << QStringList{u"Escape"_s, u"Ctrl+F"_s} << QStringList{QString(), u"民事"_s} << true;
    QTest::newRow("F3 while closed_opens it as Ctrl+F does")
        << QStringList{u"Escape"_s, u"F3 in the view"_s} << QStringList{QString(), u"民事"_s} << true;
    QTest::newRow("emptied_clears without a count") << QStringList{u"Backspace"_s} << QStringList{QString()} << true;
}

void PageReaderTest::find()
{
    QFETCH(QStringList, acts);
    QFETCH(QStringList, finds);
    QFETCH(bool, open);

    Rig rig;
    press(rig.view, u"Ctrl+F"_s);
    QCOMPARE(QApplication::focusWidget(), rig.findText());
    type(rig.findText(), u"民事"_s);
    QCOMPARE(rig.log.calls, (QStringList{u"html.find 民"_s, u"html.find 民事"_s}));
    rig.html.answerFind(1, 5);
    QCOMPARE(rig.count(), u"1/5"_s);
    rig.log.calls.clear();
    for (const QString &act : acts) {
        if (act.startsWith(u"button "))
            QTest::mouseClick(rig.bar()->findChild<QToolButton *>(act.section(u' ', 1)), Qt::LeftButton);
        else if (act == u"loaded" || act == u"failed") {
            rig.html.show(u"/srv/juanzong/ws/juanzongfanben-2.html"_s);
            rig.html.loaded(act == u"loaded");
        } else if (act == u"reloaded")
            rig.html.loaded(true);
        else if (act == u"Ctrl+F" || act.endsWith(u" in the view"))
            press(rig.view, act.section(u' ', 0, 0));
        else if (act == u"Backspace") {
            rig.findText()->selectAll();
            QTest::keyClick(rig.findText(), Qt::Key_Backspace);
        } else {
            press(rig.findText(), act);
        }
    }
    QCOMPARE(rig.asked(u"html.find "_s), finds);
    QCOMPARE(rig.bar()->isVisible(), open);
    // The bar's own keys go no further: the window never sees Enter or Esc.
    QCOMPARE(rig.window.keysReached, 0);
    if (!open)
        QCOMPARE(QApplication::focusWidget(), rig.view);
    if (open && !finds.isEmpty() && !finds.last().isEmpty()) {
        rig.html.answerFind(0, 0);
        QCOMPARE(rig.count(), u"0/0"_s);
    } else {
        QCOMPARE(rig.count(), open && finds.isEmpty() ? u"1/5"_s : QString());
    }
}

void PageReaderTest::find_ignoresStaleAnswers()
{
    Rig rig;
    rig.window.findChild<QAction *>(u"FindInPage"_s)->trigger();
    type(rig.findText(), u"判决"_s);
    const auto earlier = rig.html.lastFound;
    type(rig.findText(), u"书"_s);
    earlier(3, 9); // the answer for "判决" arrives after "判决书" was typed
    QCOMPARE(rig.count(), QString());
    rig.html.answerFind(1, 2);
    QCOMPARE(rig.count(), u"1/2"_s);
}

void PageReaderTest::find_barFloatsOverTheViewsBottomEdge()
{
    Rig rig;
    rig.window.findChild<QAction *>(u"FindInPage"_s)->trigger();
    for (const QRect view : {QRect(296, 56, 833, 713), QRect(10, 10, 300, 200), QRect(400, 80, 1200, 900)}) {
        rig.view->setGeometry(view);
        const QRect bar = rig.bar()->geometry();
        QVERIFY2(view.contains(bar), qPrintable(QString::number(view.width())));
        QCOMPARE(bar.bottom(), view.bottom());
        QVERIFY(bar.height() < view.height() / 4);
    }
}

void PageReaderTest::findInPage_makesTheMatchAfterSkipActive()
{
    Rig rig;
    rig.reader->findInPage(u"自愿"_s, 2);
    QVERIFY(rig.bar()->isVisible());
    QCOMPARE(rig.findText()->text(), u"自愿"_s);
    QCOMPARE(rig.log.starting(u"html.find"), QStringList(3, u"html.find 自愿"_s));
    rig.reader->hideFind();
    QVERIFY(!rig.bar()->isVisible());
    // The marks go with the bar: none may stay that no bar can close.
    QCOMPARE(rig.log.starting(u"html.find").size(), 4);
    QCOMPARE(rig.log.starting(u"html.find").last(), u"html.find "_s);
}

void PageReaderTest::sideButtons_moveThroughHistory()
{
    Rig rig;
    QTest::mouseClick(rig.view, Qt::BackButton, {}, QPoint(5, 5));
    QTest::mouseClick(rig.other, Qt::ForwardButton, {}, QPoint(5, 5));
    QTest::mouseClick(rig.view, Qt::LeftButton, {}, QPoint(5, 5));
    QWidget elsewhere; // another window's side buttons are its own
    elsewhere.show();
    QTest::mouseClick(&elsewhere, Qt::BackButton, {}, QPoint(5, 5));
    QCOMPARE(rig.log.calls, (QStringList{u"html.back"_s, u"html.forward"_s}));
}

void PageReaderTest::deadRenderProcess_isReloadedAtMostThreeTimesInARow()
{
    Rig rig;
    const auto reloads = [&] { return rig.log.starting(u"html.reload").size(); };
    for (int i = 0; i < 5; ++i)
        rig.html.die();
    QCOMPARE(reloads(), PageReader::MaxRenderReloads);

    rig.html.loaded(false); // a failed load is no recovery
    rig.html.die();
    QCOMPARE(reloads(), 3);

    rig.html.loaded(true);
    rig.html.die();
    rig.html.die();
    QCOMPARE(reloads(), 5);
}

QTEST_MAIN(PageReaderTest)
#include "tst_pagereader.moc"
