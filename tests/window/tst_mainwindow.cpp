// SPDX-License-Identifier: GPL-3.0-or-later
// The window's start-up sequence and handlers, driven through fake platform adapters.
#include "fakes.h"

#include "core/contentpaths.h"
#include "window/mainwindow.h"

#include <QAccessible>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
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
    QLineEdit *findText() const { return window->findChild<QLineEdit *>(u"FindText"_qs); }
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
    void accessible_namesAndRoles_data();
    void accessible_namesAndRoles();
    void accessibleApplication_listsOnlyShownWindows();
    void nodeClick_data();
    void nodeClick();
    void buttons_reachTheirCommands();
    void viewFailure_isReportedInAPromptBox();
    void doubleClickInSearchBox_selectsEverything();
    void closeButton_closesTheWindow();
    void shortcuts_reachTheirCommands_data();
    void shortcuts_reachTheirCommands();
    void focusSearch_selectsTheKeyword_data();
    void focusSearch_selectsTheKeyword();
    void escapeInSearchBox_clearsItUndoably();
    void treeFollowsThePage_data();
    void treeFollowsThePage();
    void saveAsPdf_suggestsThePagesName_data();
    void saveAsPdf_suggestsThePagesName();
    void search_releasesTheBusyCursorBeforeAnyMessage();
};

void MainWindowTest::startUp_runsInOrder()
{
    Rig rig;
    const QStringList &calls = rig.log.calls;
    QVERIFY(calls.size() > 4);
    QCOMPARE(calls.at(0), u"skin.attachEx /srv/juanzong/black.she|"_qs);
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
    // The tree reads in the regular design font, the buttons in its bold.
    QCOMPARE(rig.treeWidget->font().pointSizeF(), 10.5);
    QCOMPARE(rig.treeWidget->font().weight(), QFont::Normal);
    QCOMPARE(rig.control("Command1")->font().weight(), QFont::Bold);
}

void MainWindowTest::startUp_buildsTheTreeWithItsActions()
{
    Rig rig;
    QStringList tree = rig.log.starting(u"tree.");
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
    QTest::newRow("find bar_tool bar") << u"FindBar"_qs << QAccessible::ToolBar << u"查找栏"_qs;
    QTest::newRow("find text's clear button_named") << u"FindText/"_qs << QAccessible::Button << u"清空查找文字"_qs;
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

void MainWindowTest::buttons_reachTheirCommands()
{
    Rig rig;
    rig.log.calls.clear();
    QTest::mouseClick(rig.control<QPushButton>("Command6"), Qt::LeftButton);
    QTest::mouseClick(rig.control<QPushButton>("Command5"), Qt::LeftButton);
    QCOMPARE(rig.log.calls, (QStringList{u"html.print"_qs,
                                         QString(u"html.navigate " + ContentPaths::aboutPage(rig.programDir))}));
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
