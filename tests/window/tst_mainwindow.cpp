// The window's start-up sequence and handlers, driven through fake platform adapters.
#include "fakes.h"

#include "core/contentpaths.h"
#include "window/mainwindow.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

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
                                                          [this] { return programDir; }});
    }

    QString programDir;
    CallLog log;
    QWidget *webys = new QWidget;
    QWidget *treeWidget = new QWidget;
    FakeHtmlView html{log};
    FakeTreeView tree{log};
    FakeSkin skin{log};
    FakeMessageBox messages{log};
    QString tagAtSilent;
    std::unique_ptr<MainWindow> window;

    template<typename T = QWidget>
    T *control(const char *name) const
    {
        return window->findChild<T *>(QLatin1StringView(name));
    }
    QString page(const QString &key) const { return ContentPaths::leafPage(programDir, key); }
};

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
    void nodeClick_data();
    void nodeClick();
    void backAndForward_withoutHistory_sayNothing();
    void buttons_reachTheirCommands();
    void about_readsTheProgramDirectoryAfresh();
    void viewFailure_isReportedInAPromptBox();
    void doubleClickInSearchBox_selectsEverything();
    void closeButton_closesTheWindow();
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

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
