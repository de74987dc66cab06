// SPDX-License-Identifier: GPL-3.0-or-later
// The window's start-up sequence and handlers, driven through fake platform adapters.
#include "windowrig.h"

#include "core/contentpaths.h"

#include <QAccessible>
#include <QAction>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>
#include <QWindow>

using namespace Qt::StringLiterals;

using namespace Juanzong;
using namespace Juanzong::Testing;

namespace {

const QString ProgramDir = QStringLiteral("/srv/juanzong");
using Rig = WindowRig;

QString file(const QString &name)
{
    return name.startsWith(u'/') ? name : ContentPaths::contentRoot(ProgramDir) + name;
}

} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void startUp_runsInOrder();
    void accessible_namesAndRoles_data();
    void accessible_namesAndRoles();
    void accessibleApplication_listsOnlyShownWindows();
    void nodeClick_data();
    void nodeClick();
    void commands_data();
    void commands();
    void commandsBeforeTheViewIsUp_data();
    void commandsBeforeTheViewIsUp();
    void searchBox_data();
    void searchBox();
    void treeFollowsThePage_data();
    void treeFollowsThePage();
    void saveAsPdf_suggestsThePagesName_data();
    void saveAsPdf_suggestsThePagesName();
};

void MainWindowTest::startUp_runsInOrder()
{
    Rig rig;
    const QStringList &calls = rig.log.calls;
    QCOMPARE(calls.mid(0, 3), (QStringList{u"skin.attachEx /srv/juanzong/black.she"_s, u"html.silent 1"_s,
                                           u"html.navigate " + ContentPaths::startPage(ProgramDir)}));
    QVERIFY(calls.at(3).startsWith(u"tree.add "));
    // The layout was recorded between attaching the skin and silencing the view.
    QCOMPARE(rig.tagAtSilent, u"4440 840 12495 10695 "_s);
    // The design size the layout scales from: 17265 × 11745 twips.
    QCOMPARE(rig.window->size(), QSize(1151, 783));
    QVERIFY(rig.log.starting(u"box").isEmpty());
    // The search box and the tree read in the regular design fonts, the buttons in the bold.
    QCOMPARE(rig.control(u"Text1"_s)->font().weight(), QFont::Normal);
    QCOMPARE(rig.treeWidget->font().pointSizeF(), 10.5);
    QCOMPARE(rig.treeWidget->font().weight(), QFont::Normal);
    QCOMPARE(rig.control(u"Command1"_s)->font().weight(), QFont::Bold);

    const QStringList tree = rig.log.starting(u"tree.");
    // Each action follows its own node at once, before the next node is added.
    QCOMPARE(tree.mid(0, 4), (QStringList{u"tree.add |wszzgf|民事诉讼文书制作规范"_s, u"tree.ensureVisible wszzgf"_s,
                                          u"tree.add |X1|民事卷宗范本"_s, u"tree.ensureVisible X1"_s}));
    const qsizetype d10 = tree.indexOf(u"tree.add C1|D10|第一审普通程序"_s);
    QVERIFY(d10 > 0);
    QCOMPARE(tree.at(d10 + 1), u"tree.expanded D10 1"_s);
    QCOMPARE(tree.at(d10 + 2), u"tree.add D10|juanzongfanben-40|民事裁定书"_s);
    QCOMPARE(tree.last(), u"tree.ensureVisible juanzongfanben-101"_s);
}

void MainWindowTest::accessible_namesAndRoles_data()
{
    // An empty object name is the window; "FindText/" is the find text's clear button.
    QTest::addColumn<QString>("object");
    QTest::addColumn<QAccessible::Role>("role");
    QTest::addColumn<QString>("name");

    QTest::newRow("window_frame with its caption") << QString() << QAccessible::Window << u"卷宗范本 V2.0.0"_s;
    QTest::newRow("Text1_text named for its keyword") << u"Text1"_s << QAccessible::EditableText << u"搜索关键词"_s;
    QTest::newRow("Command1_caption without its spacing") << u"Command1"_s << QAccessible::Button << u"搜索"_s;
    QTest::newRow("find bar_tool bar") << u"FindBar"_s << QAccessible::ToolBar << u"查找栏"_s;
    QTest::newRow("find text's clear button_named") << u"FindText/"_s << QAccessible::Button << u"清空查找文字"_s;
    QTest::newRow("find close_caption without its key") << u"FindClose"_s << QAccessible::Button << u"关闭查找"_s;
}

void MainWindowTest::accessible_namesAndRoles()
{
    QFETCH(QString, object);
    QFETCH(QAccessible::Role, role);
    QFETCH(QString, name);

    Rig rig;
    QObject *target = rig.window.get();
    if (object == u"FindText/")
        target = rig.control(u"FindText"_s)->findChild<QToolButton *>();
    else if (!object.isEmpty())
        target = rig.control(object);
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
    helper.setTitle(u"Offscreen"_s);
    helper.create();
    rig.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(rig.window.get()));

    QAccessibleInterface *application = QAccessible::queryAccessibleInterface(qApp);
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

    QTest::newRow("leaf under C2 with a group's label_its page") << u"juanzongfanben-70"_s << true;
    QTest::newRow("group with the same label_nothing") << u"D5"_s << false;
    QTest::newRow("top group_nothing") << u"X2"_s << false;
    QTest::newRow("start page node_its page") << u"wszzgf"_s << true;
    QTest::newRow("administrative leaf_its page") << u"juanzongfanben-102"_s << true;
}

void MainWindowTest::nodeClick()
{
    QFETCH(QString, key);
    QFETCH(bool, navigates);

    Rig rig;
    rig.log.calls.clear();
    rig.programDir = u"/opt/moved"_s; // the program folder moved while the window was open
    rig.tree.click(key);
    QCOMPARE(rig.log.calls, navigates ? QStringList{u"html.navigate " + ContentPaths::leafPage(rig.programDir, key)}
                                      : QStringList());
}

void MainWindowTest::commands_data()
{
    // A button clicked, or a key pressed with the focus on a control; calls and
    // message boxes in order. "closed" stands for the window gone from the screen.
    QTest::addColumn<QString>("act");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<QStringList>("calls");

    const QString about = u"html.navigate " + ContentPaths::aboutPage(ProgramDir);
    QTest::newRow("打印_prints") << u"Command6"_s << QString() << QStringList{u"html.print"_s};
    QTest::newRow("关于_About page") << u"Command5"_s << QString() << QStringList{about};
    QTest::newRow("关闭_closes the window") << u"Command2"_s << QString() << QStringList{u"closed"_s};
    QTest::newRow("搜索 without a keyword_asks for one, no busy cursor under the box")
        << u"Command1"_s << QString() << QStringList{u"box 提示|请输入搜索内容！"_s};
    QTest::newRow("view failure_said in a prompt box") << u"fail"_s << QString() << QStringList{u"box 提示|打印失败"_s};
    QTest::newRow("Ctrl+P while typing_prints") << u"Ctrl+P"_s << u"Text1"_s << QStringList{u"html.print"_s};
    QTest::newRow("Ctrl+Shift+P_preview") << u"Ctrl+Shift+P"_s << u"TreeView1"_s << QStringList{u"html.preview"_s};
    QTest::newRow("F1_About page") << u"F1"_s << u"Text1"_s << QStringList{about};
    QTest::newRow("Alt+Left_back") << u"Alt+Left"_s << u"Webys"_s << QStringList{u"html.back"_s};
    QTest::newRow("Alt+Right_forward") << u"Alt+Right"_s << u"TreeView1"_s << QStringList{u"html.forward"_s};
    QTest::newRow("Ctrl+S cancelled_asks for a file only")
        << u"Ctrl+S"_s << u"Webys"_s << QStringList{u"desktop.askPdf 文书.pdf"_s};
}

void MainWindowTest::commands()
{
    QFETCH(QString, act);
    QFETCH(QString, focus);
    QFETCH(QStringList, calls);

    Rig rig;
    rig.activate();
    bool busyUnderBox = false;
    rig.messages.onShow = [&] { busyUnderBox = QGuiApplication::overrideCursor() != nullptr; };
    rig.log.calls.clear();
    if (act == u"fail") {
        rig.html.fail(u"打印失败"_s);
    } else if (focus.isEmpty()) {
        QTest::mouseClick(rig.control<QPushButton>(act), Qt::LeftButton);
    } else {
        rig.control(focus)->setFocus();
        press(rig.control(focus), act);
    }
    if (!rig.window->isVisible())
        rig.log.add(u"closed"_s);
    QCOMPARE(rig.log.calls, calls);
    QVERIFY(!busyUnderBox);
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
}

void MainWindowTest::commandsBeforeTheViewIsUp_data()
{
    // Given while the view is still coming: "click KEY" on the tree, a button by
    // name, or keys in the search box. What happens at once, and once it is up.
    QTest::addColumn<QStringList>("acts");
    QTest::addColumn<QStringList>("atOnce");
    QTest::addColumn<QStringList>("onceUp");

    const QString about = u"html.navigate " + ContentPaths::aboutPage(ProgramDir);
    const QString leaf = u"html.navigate " + ContentPaths::leafPage(ProgramDir, u"juanzongfanben-70"_s);
    QTest::newRow("a leaf, then About_both, in the order given")
        << QStringList{u"click juanzongfanben-70"_s, u"Command5"_s} << QStringList() << QStringList{leaf, about};
    QTest::newRow("About, then a leaf_both, in the order given")
        << QStringList{u"Command5"_s, u"click juanzongfanben-70"_s} << QStringList() << QStringList{about, leaf};
    QTest::newRow("a group_nothing, then or later") << QStringList{u"click D5"_s} << QStringList() << QStringList();
    QTest::newRow("print, back, forward_each once") << QStringList{u"Command6"_s, u"Command4"_s, u"Command3"_s}
                                                    << QStringList()
                                                    << QStringList{u"html.print"_s, u"html.back"_s, u"html.forward"_s};
    QTest::newRow("search without a keyword_asked for one at once")
        << QStringList{u"Command1"_s} << QStringList{u"box 提示|请输入搜索内容！"_s} << QStringList();
    QTest::newRow("Ctrl+S_the file asked for with the page up")
        << QStringList{u"Ctrl+S"_s} << QStringList() << QStringList{u"desktop.askPdf 文书.pdf"_s};
}

void MainWindowTest::commandsBeforeTheViewIsUp()
{
    QFETCH(QStringList, acts);
    QFETCH(QStringList, atOnce);
    QFETCH(QStringList, onceUp);

    Rig rig;
    rig.activate();
    rig.html.up = false;
    rig.log.calls.clear();
    for (const QString &act : acts) {
        if (act.startsWith(u"click "))
            rig.tree.click(act.mid(6));
        else if (act.startsWith(u"Command"))
            QTest::mouseClick(rig.control<QPushButton>(act), Qt::LeftButton);
        else
            press(rig.control(u"Text1"_s), act);
    }
    QCOMPARE(rig.log.calls, atOnce);
    rig.html.comeUp();
    QCOMPARE(rig.log.calls, atOnce + onceUp);
    // Up, the view is asked at once again.
    rig.tree.click(u"wszzgf"_s);
    QCOMPARE(rig.log.calls.last(), u"html.navigate " + ContentPaths::startPage(ProgramDir));
}

void MainWindowTest::searchBox_data()
{
    // Keys from a control, "dclick" a double-click in the box; the keyword "驳回起诉"
    // with the cursor after its first character.
    QTest::addColumn<QStringList>("acts");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("selected");

    QTest::newRow("double-click_selects everything") << QStringList{u"dclick"_s} << u"驳回起诉"_s << u"驳回起诉"_s;
    QTest::newRow("Ctrl+L from the view_keyword selected") << QStringList{u"Webys Ctrl+L"_s} << u"驳回起诉"_s
                                                           << u"驳回起诉"_s;
    QTest::newRow("Ctrl+K from the tree_keyword selected") << QStringList{u"TreeView1 Ctrl+K"_s} << u"驳回起诉"_s
                                                           << u"驳回起诉"_s;
    // Where the line edit would otherwise delete to the end of the line.
    QTest::newRow("Ctrl+K in the box_keyword selected") << QStringList{u"Text1 Ctrl+K"_s} << u"驳回起诉"_s
                                                        << u"驳回起诉"_s;
    QTest::newRow("Esc_empties it") << QStringList{u"Text1 Esc"_s} << QString() << QString();
    QTest::newRow("Esc then Ctrl+Z_the keyword back") << QStringList{u"Text1 Esc"_s, u"Text1 Ctrl+Z"_s}
                                                     << u"驳回起诉"_s << u"驳回起诉"_s;
}

void MainWindowTest::searchBox()
{
    QFETCH(QStringList, acts);
    QFETCH(QString, text);
    QFETCH(QString, selected);

    Rig rig;
    rig.activate();
    auto *box = rig.control<QLineEdit>(u"Text1"_s);
    box->setText(u"驳回起诉"_s);
    box->setCursorPosition(1);
    for (const QString &act : acts) {
        if (act == u"dclick") {
            QTest::mouseDClick(box, Qt::LeftButton, {}, QPoint(5, box->height() / 2));
            continue;
        }
        QWidget *from = rig.control(act.section(u' ', 0, 0));
        from->setFocus();
        press(from, act.section(u' ', 1));
    }
    QCOMPARE(box->text(), text);
    QCOMPARE(box->selectedText(), selected);
    if (!selected.isEmpty())
        QCOMPARE(QApplication::focusWidget(), box);
}

void MainWindowTest::treeFollowsThePage_data()
{
    QTest::addColumn<QStringList>("shown"); // file names in the content folder, in the order shown
    QTest::addColumn<QStringList>("calls");

    QTest::newRow("start page_marked, not scrolled to")
        << QStringList{u"wszzgf.html"_s} << QStringList{u"tree.current wszzgf"_s};
    QTest::newRow("leaf reached by a link_marked and scrolled to")
        << QStringList{u"wszzgf.html"_s, u"juanzongfanben-70.html"_s}
        << QStringList{u"tree.current wszzgf"_s, u"tree.current juanzongfanben-70"_s,
                       u"tree.ensureVisible juanzongfanben-70"_s};
    QTest::newRow("back to the start page_scrolled to")
        << QStringList{u"wszzgf.html"_s, u"juanzongfanben-5.html"_s, u"wszzgf.html"_s}
        << QStringList{u"tree.current wszzgf"_s, u"tree.current juanzongfanben-5"_s,
                       u"tree.ensureVisible juanzongfanben-5"_s, u"tree.current wszzgf"_s,
                       u"tree.ensureVisible wszzgf"_s};
    QTest::newRow("result, About and group pages_tree left alone")
        << QStringList{u"wszzgf.html"_s, u"search.html"_s, u"index.html"_s, u"D17.html"_s}
        << QStringList{u"tree.current wszzgf"_s};
    QTest::newRow("missing start page_ends the start all the same")
        << QStringList{u"index.html"_s, u"juanzongfanben-102.html"_s}
        << QStringList{u"tree.current juanzongfanben-102"_s, u"tree.ensureVisible juanzongfanben-102"_s};
}

void MainWindowTest::treeFollowsThePage()
{
    QFETCH(QStringList, shown);
    QFETCH(QStringList, calls);

    Rig rig;
    rig.log.calls.clear();
    QSignalSpy clicked(&rig.tree, &TreeView::nodeClicked);
    for (const QString &name : shown)
        rig.html.show(file(name));
    QCOMPARE(rig.log.calls, calls); // and the view is not sent anywhere again
    QCOMPARE(clicked.size(), 0);
}

void MainWindowTest::saveAsPdf_suggestsThePagesName_data()
{
    QTest::addColumn<QString>("shown"); // a file name in the content folder, or an absolute path
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QStringList>("calls");

    QTest::newRow("leaf_its catalogue label") << u"juanzongfanben-70.html"_s << u"/tmp/a.pdf"_s
                                              << QStringList{u"desktop.askPdf 期间、送达.pdf"_s, u"html.pdf /tmp/a.pdf"_s};
    QTest::newRow("result page_its file name") << u"search.html"_s << u"/tmp/c.pdf"_s
                                               << QStringList{u"desktop.askPdf search.pdf"_s, u"html.pdf /tmp/c.pdf"_s};
    QTest::newRow("characters no file name may hold_replaced")
        << u"/elsewhere/a:b?c.html"_s << u"/tmp/d.pdf"_s
        << QStringList{u"desktop.askPdf a_b_c.pdf"_s, u"html.pdf /tmp/d.pdf"_s};
    QTest::newRow("page named with a leading dot_not hidden") << u"/elsewhere/..x.html"_s << QString()
                                                              << QStringList{u"desktop.askPdf x.pdf"_s};
    QTest::newRow("cancelled_nothing written") << u"juanzongfanben-5.html"_s << QString()
                                               << QStringList{u"desktop.askPdf 管辖.pdf"_s};
}

void MainWindowTest::saveAsPdf_suggestsThePagesName()
{
    QFETCH(QString, shown);
    QFETCH(QString, answer);
    QFETCH(QStringList, calls);

    Rig rig;
    rig.html.show(file(shown));
    rig.desktop.pdfAnswer = answer;
    rig.log.calls.clear();
    rig.window->findChild<QAction *>(u"SaveAsPdf"_s)->trigger();
    QCOMPARE(rig.log.calls, calls);
}

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
