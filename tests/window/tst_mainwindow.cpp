// SPDX-License-Identifier: GPL-3.0-or-later
// The window's start-up sequence and handlers, driven through fake platform adapters.
#include "fakes.h"

#include "core/contentpaths.h"
#include "window/findbar.h"
#include "window/mainwindow.h"

#include <QAccessible>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QWheelEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QWindow>

using namespace Juanzong;
using namespace Juanzong::Testing;

namespace {

// A window on fakes, with its program directory in a scratch folder.
struct Rig
{
    explicit Rig(const QString &dir = u"/srv/juanzong"_qs)
        : programDir(dir)
    {
        webys->setFocusPolicy(Qt::StrongFocus);
        treeWidget->setFocusPolicy(Qt::StrongFocus);
        html.onSilent = [this] { tagAtSilent = webys->property("Tag").toString(); };
        window = std::make_unique<MainWindow>(WindowParts{webys, &html, treeWidget, &tree, &skin, &messages,
                                                          [this] { return programDir; }, &desktop});
    }

    QString programDir;
    CallLog log;
    QWidget *webys = new QWidget;
    QWidget *treeWidget = new QWidget;
    FakeHtmlView html{log};
    FakeTreeView tree{log};
    FakeSkin skin{log};
    FakeMessageBox messages{log};
    FakeDesktop desktop{log};
    QString tagAtSilent;
    std::unique_ptr<MainWindow> window;

    template<typename T = QWidget>
    T *control(const char *name) const
    {
        return window->findChild<T *>(QLatin1StringView(name));
    }
    QString page(const QString &key) const { return ContentPaths::leafPage(programDir, key); }
    QString file(const QString &name) const { return ContentPaths::contentRoot(programDir) + name; }

    // Shortcuts of the window answer only while it is the active one.
    void activate()
    {
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }
    FindBar *findBar() const { return window->findChild<FindBar *>(); }
    QLineEdit *findText() const { return window->findChild<QLineEdit *>(u"FindText"_qs); }
    QString findCount() const { return window->findChild<QLabel *>(u"FindCount"_qs)->text(); }
};

// Keys as the rows of a table give them: "Ctrl+Shift+P", "Alt+Left", "F3".
QKeyCombination keyOf(const QString &text)
{
    const QKeySequence sequence = QKeySequence::fromString(text, QKeySequence::PortableText);
    Q_ASSERT(sequence.count() == 1);
    return sequence[0];
}

// Types text the way an input method delivers it: one key event per character.
void type(QWidget *target, const QString &text)
{
    for (const QChar c : text) {
        QTest::sendKeyEvent(QTest::Press, target, Qt::Key_unknown, QString(c), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, target, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

void press(QWidget *target, const QString &key)
{
    const QKeyCombination combination = keyOf(key);
    QTest::keyClick(target, combination.key(), combination.keyboardModifiers());
}

} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void startUp_runsInOrder();
    void startUp_buildsTheTreeWithItsActions();
    void controls_haveTheirDesignGeometryAndCaptions_data();
    void controls_haveTheirDesignGeometryAndCaptions();
    void tabOrder_followsTheDesign();
    void accessible_namesAndRoles_data();
    void accessible_namesAndRoles();
    void accessibleApplication_listsOnlyShownWindows();
    void nodeClick_data();
    void nodeClick();
    void backAndForward_withoutHistory_sayNothing();
    void buttons_reachTheirCommands();
    void about_readsTheProgramDirectoryAfresh();
    void viewFailure_isReportedInAPromptBox();
    void doubleClickInSearchBox_selectsEverything();
    void closeButton_closesTheWindow();

    void zoom_movesInFixedStepsWithinBounds_data();
    void zoom_movesInFixedStepsWithinBounds();
    void shortcuts_reachTheirCommands_data();
    void shortcuts_reachTheirCommands();
    void focusSearch_selectsTheKeyword_data();
    void focusSearch_selectsTheKeyword();
    void escapeInSearchBox_clearsItUndoably();
    void treeFollowsThePage_data();
    void treeFollowsThePage();
    void findBar_countsStepsAndCloses();
    void findBar_ignoresStaleAnswers();
    void findBar_floatsOverTheViewsBottomEdge();
    void deadRenderProcess_isReloadedAtMostThreeTimesInARow();
    void saveAsPdf_suggestsThePagesName_data();
    void saveAsPdf_suggestsThePagesName();
    void search_releasesTheBusyCursorBeforeAnyMessage();
};

void MainWindowTest::startUp_runsInOrder()
{
    Rig rig;
    const QStringList &calls = rig.log.calls;
    QVERIFY(calls.size() > 4);
    QCOMPARE(calls.at(0), u"skin.attachEx /srv/juanzong/black.she"_qs);
    QCOMPARE(calls.at(1), u"html.silent 1"_qs);
    QCOMPARE(calls.at(2), QString(u"html.navigate " + ContentPaths::startPage(rig.programDir)));
    QVERIFY(calls.at(3).startsWith(u"tree.add "));
    // The layout was recorded between attaching the skin and silencing the view.
    QCOMPARE(rig.tagAtSilent, u"4440 840 12495 10695 "_qs);
    QCOMPARE(rig.window->designSize().DesignWidth, 17265);
    QCOMPARE(rig.window->designSize().DesignHeight, 11745);
    QVERIFY(rig.log.starting(u"box").isEmpty());
    QCOMPARE(rig.window->windowTitle(), u"卷宗范本 V2.0.0"_qs);
    QCOMPARE(rig.window->objectName(), u"民事文书样式"_qs);
}

void MainWindowTest::startUp_buildsTheTreeWithItsActions()
{
    Rig rig;
    QStringList tree = rig.log.starting(u"tree.");
    QCOMPARE(rig.log.starting(u"tree.add").size(), 102);
    // Each action follows its own node at once, before the next node is added.
    const QStringList head = tree.mid(0, 8);
    QCOMPARE(head, (QStringList{
                       u"tree.add |wszzgf|民事诉讼文书制作规范"_qs,
                       u"tree.ensureVisible wszzgf"_qs,
                       u"tree.add |X1|民事卷宗范本"_qs,
                       u"tree.ensureVisible X1"_qs,
                       u"tree.add X1|C1|人民法院制作民事卷宗范本"_qs,
                       u"tree.ensureVisible C1"_qs,
                       u"tree.add C1|juanzongfanben-5|管辖"_qs,
                       u"tree.ensureVisible juanzongfanben-5"_qs,
                   }));
    const qsizetype d10 = tree.indexOf(u"tree.add C1|D10|第一审普通程序"_qs);
    QVERIFY(d10 > 0);
    QCOMPARE(tree.at(d10 + 1), u"tree.expanded D10 1"_qs);
    QCOMPARE(tree.at(d10 + 2), u"tree.add D10|juanzongfanben-40|民事裁定书"_qs);
    QCOMPARE(tree.last(), u"tree.ensureVisible juanzongfanben-101"_qs);
    QCOMPARE(tree.at(tree.size() - 2), u"tree.add X2|juanzongfanben-101|赔偿委员会文书样式"_qs);
    QCOMPARE(tree.size(), 102 + 6);
}

void MainWindowTest::controls_haveTheirDesignGeometryAndCaptions_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("twips");
    QTest::addColumn<QString>("caption");

    QTest::newRow("Text1") << u"Text1"_qs << QRect(360, 240, 6255, 345) << QString();
    QTest::newRow("Command1") << u"Command1"_qs << QRect(6960, 240, 1215, 375) << u"搜  索"_qs;
    QTest::newRow("Command6") << u"Command6"_qs << QRect(8640, 240, 1215, 375) << u"打  印"_qs;
    QTest::newRow("Command3") << u"Command3"_qs << QRect(10920, 240, 1215, 375) << u"前  进"_qs;
    QTest::newRow("Command4") << u"Command4"_qs << QRect(12600, 240, 1215, 375) << u"后  退"_qs;
    QTest::newRow("Command5") << u"Command5"_qs << QRect(14160, 240, 1215, 375) << u"关  于"_qs;
    QTest::newRow("Command2") << u"Command2"_qs << QRect(15720, 240, 1215, 375) << u"关  闭"_qs;
    QTest::newRow("TreeView1") << u"TreeView1"_qs << QRect(360, 840, 3735, 10695) << QString();
    QTest::newRow("Webys") << u"Webys"_qs << QRect(4440, 840, 12495, 10695) << QString();
    QTest::newRow("txttemp") << u"txttemp"_qs << QRect(120, 240, 255, 420) << QString();
}

void MainWindowTest::controls_haveTheirDesignGeometryAndCaptions()
{
    QFETCH(QString, name);
    QFETCH(QRect, twips);
    QFETCH(QString, caption);

    Rig rig;
    auto *control = rig.window->findChild<QWidget *>(name);
    QVERIFY(control);
    QCOMPARE(control->property("Tag").toString(),
             QString::number(twips.x()) + u' ' + QString::number(twips.y()) + u' ' + QString::number(twips.width())
                 + u' ' + QString::number(twips.height()) + u' ');
    // Design twips map to whole pixels except for the odd height of the text box.
    QCOMPARE(control->geometry(), QRect(twips.x() / 15, twips.y() / 15, twips.width() / 15, twips.height() / 15));
    if (auto *button = qobject_cast<QPushButton *>(control)) {
        QCOMPARE(button->text(), caption);
        QVERIFY(button->font().bold());
        QCOMPARE(button->font().pointSizeF(), 11.25);
    }
    QCOMPARE(control->isHidden(), name == u"txttemp");
    QVERIFY(rig.window->controls().contains(control));
}

void MainWindowTest::tabOrder_followsTheDesign()
{
    Rig rig;
    const QStringList expected = {u"Webys"_qs, u"Command1"_qs, u"TreeView1"_qs, u"Command2"_qs, u"Text1"_qs,
                                  u"Command3"_qs, u"Command4"_qs, u"Command5"_qs, u"txttemp"_qs, u"Command6"_qs};
    QWidget *w = rig.control("Webys");
    QStringList order;
    // The window itself sits in the chain too; Tab never stops on it.
    for (int i = 0; order.size() < expected.size() && i < 20; ++i, w = w->nextInFocusChain())
        if (w != rig.window.get())
            order << w->objectName();
    QCOMPARE(order, expected);
}

void MainWindowTest::accessible_namesAndRoles_data()
{
    // An empty object name is the window; "FindText/" is the find text's clear button.
    QTest::addColumn<QString>("object");
    QTest::addColumn<QAccessible::Role>("role");
    QTest::addColumn<QString>("name");

    QTest::newRow("window_frame with its caption") << QString() << QAccessible::Window << u"卷宗范本 V2.0.0"_qs;
    QTest::newRow("Text1_text named for its keyword") << u"Text1"_qs << QAccessible::EditableText << u"搜索关键词"_qs;
    QTest::newRow("Command1_caption without its spacing") << u"Command1"_qs << QAccessible::Button << u"搜索"_qs;
    QTest::newRow("Command2_caption without its spacing") << u"Command2"_qs << QAccessible::Button << u"关闭"_qs;
    QTest::newRow("find bar_tool bar") << u"FindBar"_qs << QAccessible::ToolBar << u"查找栏"_qs;
    QTest::newRow("find text_text") << u"FindText"_qs << QAccessible::EditableText << u"页内查找"_qs;
    QTest::newRow("find text's clear button_named") << u"FindText/"_qs << QAccessible::Button << u"清空查找文字"_qs;
    QTest::newRow("find previous_caption without its key")
        << u"FindPrevious"_qs << QAccessible::Button << u"上一个"_qs;
    QTest::newRow("find close_caption without its key") << u"FindClose"_qs << QAccessible::Button << u"关闭查找"_qs;
}

void MainWindowTest::accessible_namesAndRoles()
{
    QFETCH(QString, object);
    QFETCH(QAccessible::Role, role);
    QFETCH(QString, name);

    Rig rig;
    QObject *target = rig.window.get();
    if (object == u"FindText/")
        target = rig.findText()->findChild<QToolButton *>();
    else if (!object.isEmpty())
        target = rig.window->findChild<QWidget *>(object);
    QVERIFY(target);
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(target);
    QVERIFY(accessible);
    QCOMPARE(accessible->role(), role);
    QCOMPARE(accessible->text(QAccessible::Name), name);
}

void MainWindowTest::accessibleApplication_listsOnlyShownWindows()
{
    Rig rig;
    // Stands for the web view's helper window, which is never shown.
    QWindow helper;
    helper.setTitle(u"Offscreen"_qs);
    helper.create();
    rig.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(rig.window.get()));

    QAccessibleInterface *application = QAccessible::queryAccessibleInterface(qApp);
    QVERIFY(application);
    QCOMPARE(application->role(), QAccessible::Application);
    QCOMPARE(application->childCount(), 1);
    QAccessibleInterface *window = application->child(0);
    QVERIFY(window);
    QCOMPARE(window->object(), rig.window.get());
    QCOMPARE(application->indexOfChild(window), 0);
    QCOMPARE(application->child(1), nullptr);

    rig.window->hide();
    QCOMPARE(application->childCount(), 0);
}

void MainWindowTest::nodeClick_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("navigates");

    QTest::newRow("leaf under C2 with a group's label") << u"juanzongfanben-70"_qs << true;
    QTest::newRow("group with the same label") << u"D5"_qs << false;
    QTest::newRow("group D17") << u"D17"_qs << false;
    QTest::newRow("top group X2") << u"X2"_qs << false;
    QTest::newRow("start page node") << u"wszzgf"_qs << true;
    QTest::newRow("administrative leaf") << u"juanzongfanben-102"_qs << true;
}

void MainWindowTest::nodeClick()
{
    QFETCH(QString, key);
    QFETCH(bool, navigates);

    Rig rig;
    const QString before = rig.html.current();
    rig.tree.click(key);
    if (navigates)
        QCOMPARE(rig.html.current(), rig.page(key));
    else
        QCOMPARE(rig.html.current(), before);
    QCOMPARE(rig.html.history.size(), navigates ? 2 : 1);
}

void MainWindowTest::backAndForward_withoutHistory_sayNothing()
{
    Rig rig;
    QTest::mouseClick(rig.control<QPushButton>("Command4"), Qt::LeftButton); // back at the start
    QTest::mouseClick(rig.control<QPushButton>("Command3"), Qt::LeftButton); // forward at the end
    QCOMPARE(rig.html.current(), ContentPaths::startPage(rig.programDir));
    QVERIFY(rig.log.starting(u"box").isEmpty());

    rig.tree.click(u"juanzongfanben-6"_qs);
    QTest::mouseClick(rig.control<QPushButton>("Command4"), Qt::LeftButton);
    QCOMPARE(rig.html.current(), ContentPaths::startPage(rig.programDir));
    QTest::mouseClick(rig.control<QPushButton>("Command3"), Qt::LeftButton);
    QCOMPARE(rig.html.current(), rig.page(u"juanzongfanben-6"_qs));
    QTest::mouseClick(rig.control<QPushButton>("Command3"), Qt::LeftButton);
    QCOMPARE(rig.html.current(), rig.page(u"juanzongfanben-6"_qs));
    QVERIFY(rig.log.starting(u"box").isEmpty());
}

void MainWindowTest::buttons_reachTheirCommands()
{
    Rig rig;
    rig.log.calls.clear();
    QTest::mouseClick(rig.control<QPushButton>("Command6"), Qt::LeftButton);
    QTest::mouseClick(rig.control<QPushButton>("Command5"), Qt::LeftButton);
    QCOMPARE(rig.log.calls, (QStringList{u"html.print"_qs,
                                         QString(u"html.navigate " + ContentPaths::aboutPage(rig.programDir))}));
}

void MainWindowTest::about_readsTheProgramDirectoryAfresh()
{
    Rig rig;
    rig.programDir = u"/moved/elsewhere"_qs;
    rig.window->showAbout();
    QCOMPARE(rig.html.current(), ContentPaths::aboutPage(u"/moved/elsewhere"_qs));
}

void MainWindowTest::viewFailure_isReportedInAPromptBox()
{
    Rig rig;
    rig.html.fail(u"打印失败：测试"_qs);
    QCOMPARE(rig.log.starting(u"box"), QStringList{u"box 提示|打印失败：测试"_qs});
    QVERIFY(rig.window->isEnabled());
}

void MainWindowTest::doubleClickInSearchBox_selectsEverything()
{
    Rig rig;
    auto *text1 = rig.control<QLineEdit>("Text1");
    text1->setText(u"民事 裁定书 驳回"_qs);
    rig.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(rig.window.get()));
    QTest::mouseDClick(text1, Qt::LeftButton, {}, QPoint(5, text1->height() / 2));
    QCOMPARE(text1->selectionStart(), 0);
    QCOMPARE(text1->selectedText(), text1->text());
}

void MainWindowTest::closeButton_closesTheWindow()
{
    Rig rig;
    rig.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(rig.window.get()));
    QTest::mouseClick(rig.control<QPushButton>("Command2"), Qt::LeftButton);
    QVERIFY(!rig.window->isVisible());
}

void MainWindowTest::zoom_movesInFixedStepsWithinBounds_data()
{
    QTest::addColumn<QStringList>("steps"); // keys, or "wheel N" / "wheel N tree" / "plain wheel N" in notches
    QTest::addColumn<int>("percent");
    QTest::addColumn<QStringList>("factors"); // asked of the view, in order

    QTest::newRow("in") << QStringList{u"Ctrl++"_qs} << 110 << QStringList{u"1.1"_qs};
    QTest::newRow("in without shift") << QStringList{u"Ctrl+="_qs} << 110 << QStringList{u"1.1"_qs};
    QTest::newRow("out") << QStringList{u"Ctrl+-"_qs} << 90 << QStringList{u"0.9"_qs};
    QTest::newRow("up to the top and no further")
        << QStringList(9, u"Ctrl++"_qs) << 300
        << QStringList{u"1.1"_qs, u"1.25"_qs, u"1.5"_qs, u"1.75"_qs, u"2"_qs, u"2.5"_qs, u"3"_qs};
    QTest::newRow("down to the bottom and no further")
        << QStringList(7, u"Ctrl+-"_qs) << 30
        << QStringList{u"0.9"_qs, u"0.8"_qs, u"0.67"_qs, u"0.5"_qs, u"0.3"_qs};
    QTest::newRow("reset") << QStringList{u"Ctrl++"_qs, u"Ctrl++"_qs, u"Ctrl+0"_qs} << 100
                           << QStringList{u"1.1"_qs, u"1.25"_qs, u"1"_qs};
    QTest::newRow("reset at 100 asks nothing") << QStringList{u"Ctrl+0"_qs} << 100 << QStringList();
    QTest::newRow("wheel notch up") << QStringList{u"wheel 1"_qs} << 110 << QStringList{u"1.1"_qs};
    QTest::newRow("wheel two notches down") << QStringList{u"wheel -2"_qs} << 80 << QStringList{u"0.8"_qs};
    QTest::newRow("wheel far beyond the top") << QStringList{u"wheel 40"_qs} << 300 << QStringList{u"3"_qs};
    QTest::newRow("wheel without Ctrl scrolls") << QStringList{u"plain wheel 1"_qs} << 100 << QStringList();
    QTest::newRow("Ctrl+wheel over the tree") << QStringList{u"wheel 1 tree"_qs} << 100 << QStringList();
}

void MainWindowTest::zoom_movesInFixedStepsWithinBounds()
{
    QFETCH(QStringList, steps);
    QFETCH(int, percent);
    QFETCH(QStringList, factors);

    Rig rig;
    rig.activate();
    rig.log.calls.clear();
    for (const QString &step : steps) {
        if (!step.contains(u"wheel")) {
            press(rig.webys, step);
            continue;
        }
        const QStringList words = step.split(u' ');
        const bool plain = words.first() == u"plain";
        const int notches = words.at(plain ? 2 : 1).toInt();
        QWidget *target = step.endsWith(u"tree") ? rig.treeWidget : rig.webys;
        const QPoint at = target->rect().center();
        QWheelEvent wheel(at, target->mapToGlobal(at), QPoint(), QPoint(0, notches * 120), Qt::NoButton,
                          plain ? Qt::NoModifier : Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &wheel);
    }
    QCOMPARE(rig.window->zoomPercent(), percent);
    QStringList asked = rig.log.starting(u"html.zoom ");
    for (QString &call : asked)
        call.remove(0, 10);
    QCOMPARE(asked, factors);
}

void MainWindowTest::shortcuts_reachTheirCommands_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<QStringList>("calls");

    const QString about = ContentPaths::aboutPage(u"/srv/juanzong"_qs);
    QTest::newRow("print") << u"Ctrl+P"_qs << u"Webys"_qs << QStringList{u"html.print"_qs};
    QTest::newRow("print while typing") << u"Ctrl+P"_qs << u"Text1"_qs << QStringList{u"html.print"_qs};
    QTest::newRow("preview") << u"Ctrl+Shift+P"_qs << u"TreeView1"_qs << QStringList{u"html.preview"_qs};
    QTest::newRow("about") << u"F1"_qs << u"Text1"_qs << QStringList{QString(u"html.navigate " + about)};
    QTest::newRow("back") << u"Alt+Left"_qs << u"Webys"_qs << QStringList{u"html.back"_qs};
    QTest::newRow("forward") << u"Alt+Right"_qs << u"TreeView1"_qs << QStringList{u"html.forward"_qs};
    QTest::newRow("save as PDF, cancelled") << u"Ctrl+S"_qs << u"Webys"_qs
                                            << QStringList{u"desktop.askPdf 文书.pdf"_qs};
    QTest::newRow("zoom in from the search box") << u"Ctrl++"_qs << u"Text1"_qs << QStringList{u"html.zoom 1.1"_qs};
    QTest::newRow("F3 with nothing to find") << u"F3"_qs << u"Webys"_qs << QStringList();
}

void MainWindowTest::shortcuts_reachTheirCommands()
{
    QFETCH(QString, key);
    QFETCH(QString, focus);
    QFETCH(QStringList, calls);

    Rig rig;
    rig.activate();
    QWidget *target = rig.window->findChild<QWidget *>(focus);
    target->setFocus();
    rig.log.calls.clear();
    press(target, key);
    QCOMPARE(rig.log.calls, calls);
}

void MainWindowTest::focusSearch_selectsTheKeyword_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("from");

    QTest::newRow("Ctrl+L from the view") << u"Ctrl+L"_qs << u"Webys"_qs;
    QTest::newRow("Ctrl+K from the tree") << u"Ctrl+K"_qs << u"TreeView1"_qs;
    // Where the line edit would otherwise delete to the end of the line.
    QTest::newRow("Ctrl+K in the box itself") << u"Ctrl+K"_qs << u"Text1"_qs;
}

void MainWindowTest::focusSearch_selectsTheKeyword()
{
    QFETCH(QString, key);
    QFETCH(QString, from);

    Rig rig;
    rig.activate();
    auto *text1 = rig.control<QLineEdit>("Text1");
    text1->setText(u"驳回起诉"_qs);
    text1->setCursorPosition(1);
    QWidget *start = rig.window->findChild<QWidget *>(from);
    start->setFocus();
    press(start, key);
    QCOMPARE(QApplication::focusWidget(), text1);
    QCOMPARE(text1->text(), u"驳回起诉"_qs);
    QCOMPARE(text1->selectedText(), u"驳回起诉"_qs);
}

void MainWindowTest::escapeInSearchBox_clearsItUndoably()
{
    Rig rig;
    rig.activate();
    auto *text1 = rig.control<QLineEdit>("Text1");
    text1->setFocus();
    type(text1, u"裁定书"_qs);
    // The first Esc closes the type-ahead's offers ("民事裁定书"), the next empties the box.
    auto *offers = rig.control<QWidget>("Suggestions");
    QVERIFY(offers->isVisible());
    QTest::keyClick(text1, Qt::Key_Escape);
    QVERIFY(!offers->isVisible());
    QCOMPARE(text1->text(), u"裁定书"_qs);
    QTest::keyClick(text1, Qt::Key_Escape);
    QCOMPARE(text1->text(), QString());
    text1->undo();
    QCOMPARE(text1->text(), u"裁定书"_qs);
    QVERIFY(rig.log.starting(u"box").isEmpty());
}

void MainWindowTest::treeFollowsThePage_data()
{
    QTest::addColumn<QStringList>("shown"); // file names in the content folder, in the order shown
    QTest::addColumn<QStringList>("calls");

    QTest::newRow("start page is marked, not scrolled to")
        << QStringList{u"wszzgf.html"_qs} << QStringList{u"tree.current wszzgf"_qs};
    QTest::newRow("leaf reached by a link")
        << QStringList{u"wszzgf.html"_qs, u"juanzongfanben-70.html"_qs}
        << QStringList{u"tree.current wszzgf"_qs, u"tree.current juanzongfanben-70"_qs,
                       u"tree.ensureVisible juanzongfanben-70"_qs};
    QTest::newRow("back to the start page scrolls to it")
        << QStringList{u"wszzgf.html"_qs, u"juanzongfanben-5.html"_qs, u"wszzgf.html"_qs}
        << QStringList{u"tree.current wszzgf"_qs, u"tree.current juanzongfanben-5"_qs,
                       u"tree.ensureVisible juanzongfanben-5"_qs, u"tree.current wszzgf"_qs,
                       u"tree.ensureVisible wszzgf"_qs};
    QTest::newRow("result and About pages leave the tree")
        << QStringList{u"wszzgf.html"_qs, u"search.html"_qs, u"index.html"_qs}
        << QStringList{u"tree.current wszzgf"_qs};
    QTest::newRow("a group's name is no page") << QStringList{u"wszzgf.html"_qs, u"D17.html"_qs}
                                               << QStringList{u"tree.current wszzgf"_qs};
    QTest::newRow("missing start page ends the start all the same")
        << QStringList{u"index.html"_qs, u"juanzongfanben-102.html"_qs}
        << QStringList{u"tree.current juanzongfanben-102"_qs, u"tree.ensureVisible juanzongfanben-102"_qs};
}

void MainWindowTest::treeFollowsThePage()
{
    QFETCH(QStringList, shown);
    QFETCH(QStringList, calls);

    Rig rig;
    rig.log.calls.clear();
    QSignalSpy clicked(&rig.tree, &TreeView::nodeClicked);
    for (const QString &name : shown)
        rig.html.show(rig.file(name));
    QCOMPARE(rig.log.calls, calls); // and the view is not sent anywhere again
    QCOMPARE(clicked.size(), 0);
}

void MainWindowTest::findBar_countsStepsAndCloses()
{
    Rig rig;
    rig.activate();
    press(rig.webys, u"Ctrl+F"_qs);
    QVERIFY(rig.findBar()->isVisible());
    QCOMPARE(QApplication::focusWidget(), rig.findText());
    QVERIFY(!rig.window->controls().contains(rig.findBar()));

    rig.log.calls.clear();
    type(rig.findText(), u"民事"_qs);
    QCOMPARE(rig.log.calls, (QStringList{u"html.find 民"_qs, u"html.find 民事"_qs}));
    rig.html.answerFind(1, 5);
    QCOMPARE(rig.findCount(), u"1/5"_qs);

    rig.log.calls.clear();
    QTest::keyClick(rig.findText(), Qt::Key_Return);
    QTest::keyClick(rig.findText(), Qt::Key_Return, Qt::ShiftModifier);
    press(rig.findText(), u"F3"_qs);
    press(rig.findText(), u"Shift+F3"_qs);
    QCOMPARE(rig.log.calls, (QStringList{u"html.find 民事"_qs, u"html.find 民事 back"_qs, u"html.find 民事"_qs,
                                         u"html.find 民事 back"_qs}));
    rig.html.answerFind(5, 5);
    QCOMPARE(rig.findCount(), u"5/5"_qs);

    // A new page in the view is searched again from its top.
    rig.log.calls.clear();
    rig.html.loaded(false);
    QVERIFY(rig.log.calls.isEmpty());
    rig.html.loaded(true);
    QCOMPARE(rig.log.calls, QStringList{u"html.find 民事"_qs});
    rig.html.answerFind(0, 0);
    QCOMPARE(rig.findCount(), u"0/0"_qs);

    rig.log.calls.clear();
    QTest::keyClick(rig.findText(), Qt::Key_Escape);
    QVERIFY(!rig.findBar()->isVisible());
    QCOMPARE(rig.log.calls, QStringList{u"html.find "_qs});
    QCOMPARE(QApplication::focusWidget(), rig.webys);
    rig.html.loaded(true);
    QCOMPARE(rig.log.calls, QStringList{u"html.find "_qs});

    // Opening again finds the text kept in the bar at once.
    rig.log.calls.clear();
    press(rig.webys, u"Ctrl+F"_qs);
    QCOMPARE(rig.log.calls, QStringList{u"html.find 民事"_qs});
    QCOMPARE(rig.findText()->selectedText(), u"民事"_qs);
}

void MainWindowTest::findBar_ignoresStaleAnswers()
{
    Rig rig;
    rig.activate();
    rig.window->openFind();
    type(rig.findText(), u"判决"_qs);
    const auto earlier = rig.html.lastFound;
    type(rig.findText(), u"书"_qs);
    earlier(3, 9); // the answer for "判决" arrives after "判决书" was typed
    QCOMPARE(rig.findCount(), QString());
    rig.html.answerFind(1, 2);
    QCOMPARE(rig.findCount(), u"1/2"_qs);

    // Emptying the box clears the highlight without asking for a count.
    rig.log.calls.clear();
    rig.findText()->selectAll();
    QTest::keyClick(rig.findText(), Qt::Key_Backspace);
    QCOMPARE(rig.log.calls, QStringList{u"html.find "_qs});
    QCOMPARE(rig.findCount(), QString());
}

void MainWindowTest::findBar_floatsOverTheViewsBottomEdge()
{
    Rig rig;
    rig.activate();
    rig.window->openFind();
    for (const QSize size : {QSize(1151, 783), QSize(700, 500), QSize(1600, 1000)}) {
        rig.window->resize(size);
        QTest::qWait(0);
        const QRect view = rig.webys->geometry();
        const QRect bar = rig.findBar()->geometry();
        QVERIFY2(view.contains(bar), qPrintable(QString::number(size.width())));
        QCOMPARE(bar.bottom(), view.bottom());
        QVERIFY(bar.height() < view.height() / 4);
    }
    // The layout of the ten controls is untouched by it.
    QCOMPARE(rig.window->controls().size(), 10);
}

void MainWindowTest::deadRenderProcess_isReloadedAtMostThreeTimesInARow()
{
    Rig rig;
    const auto reloads = [&] { return rig.log.starting(u"html.reload").size(); };
    for (int i = 0; i < 5; ++i)
        rig.html.die();
    QCOMPARE(reloads(), 3);

    rig.html.loaded(false); // a failed load is no recovery
    rig.html.die();
    QCOMPARE(reloads(), 3);

    rig.html.loaded(true);
    rig.html.die();
    rig.html.die();
    QCOMPARE(reloads(), 5);
    QVERIFY(rig.log.starting(u"box").isEmpty());
}

void MainWindowTest::saveAsPdf_suggestsThePagesName_data()
{
    QTest::addColumn<QString>("shown"); // a file name in the content folder, or an absolute path
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QStringList>("calls");

    QTest::newRow("leaf: its catalogue label")
        << u"juanzongfanben-70.html"_qs << u"/tmp/a.pdf"_qs
        << QStringList{u"desktop.askPdf 期间、送达.pdf"_qs, u"html.pdf /tmp/a.pdf"_qs};
    QTest::newRow("start page") << u"wszzgf.html"_qs << u"/tmp/b.pdf"_qs
                                << QStringList{u"desktop.askPdf 民事诉讼文书制作规范.pdf"_qs, u"html.pdf /tmp/b.pdf"_qs};
    QTest::newRow("result page: its file name") << u"search.html"_qs << u"/tmp/c.pdf"_qs
                                                << QStringList{u"desktop.askPdf search.pdf"_qs, u"html.pdf /tmp/c.pdf"_qs};
    QTest::newRow("characters no file name may hold") << u"/elsewhere/a:b?c.html"_qs << u"/tmp/d.pdf"_qs
                                                      << QStringList{u"desktop.askPdf a_b_c.pdf"_qs, u"html.pdf /tmp/d.pdf"_qs};
    QTest::newRow("cancelled") << u"juanzongfanben-5.html"_qs << QString()
                               << QStringList{u"desktop.askPdf 管辖.pdf"_qs};
}

void MainWindowTest::saveAsPdf_suggestsThePagesName()
{
    QFETCH(QString, shown);
    QFETCH(QString, answer);
    QFETCH(QStringList, calls);

    Rig rig;
    rig.html.show(shown.startsWith(u'/') ? shown : rig.file(shown));
    rig.desktop.pdfAnswer = answer;
    rig.log.calls.clear();
    rig.window->saveAsPdf();
    QCOMPARE(rig.log.calls, calls);
}

void MainWindowTest::search_releasesTheBusyCursorBeforeAnyMessage()
{
    Rig rig; // an empty keyword: the search answers with a message
    bool busyDuringBox = true;
    rig.messages.onShow = [&] { busyDuringBox = QGuiApplication::overrideCursor() != nullptr; };
    QTest::mouseClick(rig.control<QPushButton>("Command1"), Qt::LeftButton);
    QCOMPARE(rig.log.starting(u"box").size(), 1);
    QVERIFY(!busyDuringBox);
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
}

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
