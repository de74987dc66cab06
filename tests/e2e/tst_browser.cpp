// SPDX-License-Identifier: GPL-3.0-or-later
// The real window on the real web view: start page, real clicks and keys in the
// catalogue, the engine's history, encodings, and the title search over the sample content.
#include "webenginerig.h"

#include <QApplication>
#include <QDirIterator>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

using namespace Juanzong;
using namespace Juanzong::Testing;

namespace {

// The sample content copied into the rig's scratch folder, since searching writes there.
void copySample(const WebEngineRig &rig)
{
    QDirIterator it(QStringLiteral(JUANZONG_CONTENT_DIR), QDir::Files);
    while (it.hasNext()) {
        it.next();
        QVERIFY(QFile::copy(it.filePath(), rig.page(it.fileName())));
    }
}

// A real click: the engine keeps a page in the history only when the user acted on it.
void clickFirstResult(WebEngineRig &rig)
{
    const QStringList at = rig.evaluate(u"(() => { const r = document.querySelector('.sec_list li a')"
                                        u".getBoundingClientRect(); return (r.left + 4) + ',' + (r.top + r.height / 2); })()"_s)
                               .split(u',');
    QCOMPARE(at.size(), 2);
    QWidget *target = rig.webView->focusProxy() ? rig.webView->focusProxy() : rig.webView;
    QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(int(at[0].toDouble()), int(at[1].toDouble())));
}

} // namespace

class BrowserTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { prepareWebEngine(); }
    void startUp_showsTheStartPageAndTheTreeInItsStartState();
    void clicksKeysAndHistory_moveThroughPages();
    void encodings_data();
    void encodings();
    void search_data();
    void search();
};

void BrowserTest::startUp_showsTheStartPageAndTheTreeInItsStartState()
{
    WebEngineRig rig;
    rig.addPage(u"wszzgf.html"_s, u"民事诉讼文书制作规范"_s);
    rig.start();
    QVERIFY(rig.waitForLoad());
    QCOMPARE(rig.shownFile(), rig.page(u"wszzgf.html"_s));
    QCOMPARE(rig.webView->title(), u"民事诉讼文书制作规范"_s);
    const auto open = [&](const char *key) { return rig.tree->item(QLatin1StringView(key))->isExpanded(); };
    for (const char *expanded : {"X1", "C1", "X2"})
        QVERIFY2(open(expanded), expanded);
    for (const char *closed : {"D5", "D17", "C2", "D39"})
        QVERIFY2(!open(closed), closed);
    // The last node was scrolled into view, and the start page's node is marked.
    QTRY_VERIFY(rig.treeWidget->viewport()->rect().intersects(
        rig.treeWidget->visualItemRect(rig.tree->item(u"juanzongfanben-101"_s))));
    QCOMPARE(rig.treeWidget->currentItem(), rig.tree->item(u"wszzgf"_s));
}

void BrowserTest::clicksKeysAndHistory_moveThroughPages()
{
    WebEngineRig rig;
    rig.addPage(u"wszzgf.html"_s, u"起始页"_s);
    rig.addPage(u"juanzongfanben-5.html"_s, u"管辖"_s);
    rig.addPage(u"juanzongfanben-6.html"_s, u"回避"_s);
    rig.start();
    QVERIFY(rig.waitForLoad());
    auto *back = rig.window->findChild<QPushButton *>(u"Command4"_s);
    auto *forward = rig.window->findChild<QPushButton *>(u"Command3"_s);
    QTest::mouseClick(back, Qt::LeftButton); // nothing behind the start page
    QTest::mouseClick(forward, Qt::LeftButton);
    QVERIFY(!rig.waitForLoad(1000));

    rig.clickNode(u"juanzongfanben-5"_s);
    QVERIFY(rig.waitForLoad());
    QCOMPARE(rig.webView->title(), u"管辖"_s);
    rig.treeWidget->setFocus();
    QTest::keyClick(rig.treeWidget, Qt::Key_Down);
    QVERIFY(rig.waitForLoad());
    QCOMPARE(rig.shownFile(), rig.page(u"juanzongfanben-6.html"_s));
    for (auto [button, file] : {std::pair{back, u"juanzongfanben-5.html"_s}, {back, u"wszzgf.html"_s},
                                {forward, u"juanzongfanben-5.html"_s}}) {
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(rig.waitForLoad());
        QCOMPARE(rig.shownFile(), rig.page(file));
    }
    QVERIFY(rig.log.starting(u"box").isEmpty());
}

void BrowserTest::encodings_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");

    const QString chinese = u"民事裁定书（驳回起诉用）€"_s;
    QTest::newRow("undeclared GBK_read as GBK") << gbk(u"<html><body><p id='t'>" + chinese + u"</p></body></html>")
                                                << chinese;
    // Short Latin-looking GBK text is where an engine's guess goes wrong.
    QTest::newRow("undeclared short GBK_read as GBK") << gbk(u"<p id='t'>审判长</p>"_s) << u"审判长"_s;
    QTest::newRow("declared UTF-8_keeps its charset")
        << QString(u"<html><head><meta charset='utf-8'></head><body><p id='t'>" + chinese + u"</p></body></html>")
               .toUtf8()
        << chinese;
    QTest::newRow("declared in http-equiv_keeps its charset")
        << u"<html><head><meta http-equiv='Content-Type' content='text/html; charset=utf-8'></head>"
           u"<body><p id='t'>书记员</p></body></html>"_s.toUtf8()
        << u"书记员"_s;
}

void BrowserTest::encodings()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);

    WebEngineRig rig;
    QVERIFY(writeFile(rig.page(u"wszzgf.html"_s), bytes));
    rig.start();
    QVERIFY(rig.waitForLoad());
    QCOMPARE(rig.evaluate(u"document.getElementById('t').textContent"_s), text);
}

void BrowserTest::search_data()
{
    QTest::addColumn<bool>("storable");
    QTest::newRow("results stored_shown from the folder, a result and Back") << true;
    // A folder where the result page belongs: the page can be built but not stored.
    QTest::newRow("results not stored_shown all the same, links and style sheet work") << false;
}

void BrowserTest::search()
{
    QFETCH(bool, storable);
    WebEngineRig rig;
    copySample(rig);
    if (!storable)
        QVERIFY(QDir().mkpath(rig.page(u"search.html"_s)));
    rig.start();
    QVERIFY(rig.waitForLoad());
    auto *text1 = rig.window->findChild<QLineEdit *>(u"Text1"_s);
    text1->setText(u"裁定书"_s);
    QTest::keyClick(text1, Qt::Key_Return);
    QCOMPARE(rig.log.starting(u"box").size(), storable ? 0 : 1);
    QVERIFY(rig.waitForLoad());
    QCOMPARE(rig.shownFile(), rig.page(u"search.html"_s));
    QVERIFY(rig.evaluate(u"String(document.querySelectorAll('.sec_list li a').length)"_s).toInt() > 1);
    QCOMPARE(rig.evaluate(u"document.querySelector('.tit').textContent"_s), u"搜索结果：关键词—裁定书"_s);
    QCOMPARE(rig.evaluate(u"String(document.styleSheets[0].cssRules.length > 0)"_s), u"true"_s);

    const QString href = rig.evaluate(u"document.querySelector('.sec_list li a').getAttribute('href')"_s);
    clickFirstResult(rig);
    QVERIFY(rig.waitForLoad());
    QCOMPARE(rig.shownFile(), rig.page(href.section(u'#', 0, 0)));
    if (!storable)
        return;
    QTest::mouseClick(rig.window->findChild<QWidget *>(u"Command4"_s), Qt::LeftButton);
    QVERIFY(rig.waitForLoad());
    QCOMPARE(rig.shownFile(), rig.page(u"search.html"_s));
}

QTEST_MAIN(BrowserTest)
#include "tst_browser.moc"
