// SPDX-License-Identifier: GPL-3.0-or-later
// The real window on the real web view: start page, catalogue clicks, history, encodings.
#include "webenginerig.h"

#include <QApplication>
#include <QPushButton>

using namespace Juanzong;
using namespace Juanzong::Testing;

class BrowserTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void startUp_showsTheStartPageAndTheTreeInItsStartState();
    void treeClicks_showLeafPagesAndIgnoreGroups();
    void backAndForward_moveThroughHistory();
    void keyboardSelection_showsThePage();
    void encodings_data();
    void encodings();
    void missingPage_showsNoDialog();
    void closeButton_endsTheProgram();
};

void BrowserTest::startUp_showsTheStartPageAndTheTreeInItsStartState()
{
    WebEngineRig rig;
    rig.addPage(u"wszzgf.html"_qs, u"民事诉讼文书制作规范"_qs);
    rig.start();
    QVERIFY(rig.waitForLoad());
    QCOMPARE(rig.shownFile(), rig.page(u"wszzgf.html"_qs));
    QCOMPARE(rig.webView->title(), u"民事诉讼文书制作规范"_qs);

    QCOMPARE(rig.treeWidget->topLevelItemCount(), 3);
    const auto open = [&](const char *key) { return rig.tree->item(QLatin1StringView(key))->isExpanded(); };
    QVERIFY(open("X1"));
    QVERIFY(open("C1"));
    QVERIFY(open("X2"));
    for (const char *closed : {"D5", "D17", "D18", "D21", "D22", "C2", "D39"})
        QVERIFY2(!open(closed), closed);
    // The last node was scrolled into view.
    QTRY_VERIFY(rig.treeWidget->viewport()->rect().intersects(
        rig.treeWidget->visualItemRect(rig.tree->item(u"juanzongfanben-101"_qs))));
    QVERIFY(rig.log.starting(u"box").isEmpty());
}

void BrowserTest::treeClicks_showLeafPagesAndIgnoreGroups()
{
    WebEngineRig rig;
    rig.addPage(u"wszzgf.html"_qs, u"起始页"_qs);
    rig.addPage(u"juanzongfanben-70.html"_qs, u"期间、送达（当事人）"_qs);
    rig.start();
    QVERIFY(rig.waitForLoad());

    rig.tree->item(u"C2"_qs)->setExpanded(true);
    rig.clickNode(u"juanzongfanben-70"_qs);
    QVERIFY(rig.waitForLoad());
    QCOMPARE(rig.shownFile(), rig.page(u"juanzongfanben-70.html"_qs));
    QCOMPARE(rig.webView->title(), u"期间、送达（当事人）"_qs);

    // The group of the same label under C1 has no page: the view stays.
    rig.tree->item(u"D5"_qs)->setExpanded(true);
    rig.clickNode(u"D5"_qs);
    QVERIFY(!rig.waitForLoad(1500));
    QCOMPARE(rig.shownFile(), rig.page(u"juanzongfanben-70.html"_qs));
}

void BrowserTest::backAndForward_moveThroughHistory()
{
    WebEngineRig rig;
    rig.addPage(u"wszzgf.html"_qs, u"起始页"_qs);
    rig.addPage(u"index.html"_qs, u"关于本程序"_qs);
    rig.start();
    QVERIFY(rig.waitForLoad());
    auto *back = rig.window->findChild<QPushButton *>(u"Command4"_qs);
    auto *forward = rig.window->findChild<QPushButton *>(u"Command3"_qs);

    QTest::mouseClick(back, Qt::LeftButton); // nothing behind the start page
    QTest::mouseClick(forward, Qt::LeftButton);
    QVERIFY(!rig.waitForLoad(1000));

    QTest::mouseClick(rig.window->findChild<QPushButton *>(u"Command5"_qs), Qt::LeftButton);
    QVERIFY(rig.waitForLoad());
    QCOMPARE(rig.shownFile(), rig.page(u"index.html"_qs));
    QTest::mouseClick(back, Qt::LeftButton);
    QVERIFY(rig.waitForLoad());
    QCOMPARE(rig.shownFile(), rig.page(u"wszzgf.html"_qs));
    QTest::mouseClick(forward, Qt::LeftButton);
    QVERIFY(rig.waitForLoad());
    QCOMPARE(rig.shownFile(), rig.page(u"index.html"_qs));
    QVERIFY(rig.log.starting(u"box").isEmpty());
}

void BrowserTest::keyboardSelection_showsThePage()
{
    WebEngineRig rig;
    rig.addPage(u"wszzgf.html"_qs, u"起始页"_qs);
    rig.addPage(u"juanzongfanben-6.html"_qs, u"回避"_qs);
    rig.start();
    QVERIFY(rig.waitForLoad());
    rig.tree->setCurrentQuietly(u"juanzongfanben-5"_qs);
    rig.treeWidget->setFocus();
    QTest::keyClick(rig.treeWidget, Qt::Key_Down);
    QVERIFY(rig.waitForLoad());
    QCOMPARE(rig.shownFile(), rig.page(u"juanzongfanben-6.html"_qs));
}

void BrowserTest::encodings_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");

    const QString chinese = u"民事裁定书（驳回起诉用）€"_qs;
    QTest::newRow("undeclared GBK") << gbk(u"<html><body><p id='t'>" + chinese + u"</p></body></html>") << chinese;
    // Short Latin-looking GBK text is where an engine's guess goes wrong.
    QTest::newRow("undeclared short GBK") << gbk(u"<p id='t'>审判长</p>"_qs) << u"审判长"_qs;
    QTest::newRow("declared UTF-8 keeps its charset")
        << QString(u"<html><head><meta charset='utf-8'></head><body><p id='t'>" + chinese + u"</p></body></html>")
               .toUtf8()
        << chinese;
    QTest::newRow("declared in http-equiv")
        << u"<html><head><meta http-equiv='Content-Type' content='text/html; charset=utf-8'></head>"
           u"<body><p id='t'>书记员</p></body></html>"_qs.toUtf8()
        << u"书记员"_qs;
}

void BrowserTest::encodings()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);

    WebEngineRig rig;
    QVERIFY(writeFile(rig.page(u"wszzgf.html"_qs), bytes));
    rig.start();
    QVERIFY(rig.waitForLoad());
    QCOMPARE(rig.evaluate(u"document.getElementById('t').textContent"_qs), text);
}

void BrowserTest::missingPage_showsNoDialog()
{
    WebEngineRig rig; // no pages at all
    rig.start();
    rig.waitForLoad();
    QCOMPARE(rig.shownFile(), rig.page(u"wszzgf.html"_qs));
    rig.clickNode(u"juanzongfanben-5"_qs);
    rig.waitForLoad();
    QVERIFY(rig.log.starting(u"box").isEmpty());
    QVERIFY(rig.window->isVisible());
    QVERIFY(QApplication::activeModalWidget() == nullptr);
}

void BrowserTest::closeButton_endsTheProgram()
{
    WebEngineRig rig;
    rig.addPage(u"wszzgf.html"_qs, u"起始页"_qs);
    rig.start();
    QVERIFY(rig.waitForLoad());
    QTest::mouseClick(rig.window->findChild<QPushButton *>(u"Command2"_qs), Qt::LeftButton);
    // With no window left open the application's event loop ends on its own.
    for (const QWidget *w : QApplication::topLevelWidgets())
        QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
    QVERIFY(QGuiApplication::quitOnLastWindowClosed());
}

int main(int argc, char *argv[])
{
    prepareWebEngine();
    QApplication app(argc, argv);
    BrowserTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_browser.moc"
