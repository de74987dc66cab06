// SPDX-License-Identifier: GPL-3.0-or-later
// The real window on the real web view: encodings, the title search over the
// sample content with a real click and the engine's history, and a
// full-text hit opened in its template with the find bar counting the phrase.
#include "webenginerig.h"

#include "fulltext/fulltextpage.h"
#include "fulltextui/fulltextcontroller.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>

using namespace Qt::StringLiterals;

using namespace Juanzong;
using namespace Juanzong::Testing;

class BrowserTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { prepareWebEngine(); }
    void encodings_data();
    void encodings();
    void search_data();
    void search();
    void fullText_phraseInOneDocument_opensItWithTheFindBarCounting();
};

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
}

void BrowserTest::encodings()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);

    WebEngineRig rig;
    put(rig.page(u"wszzgf.html"_s), bytes);
    rig.startActive();
    QCOMPARE(rig.evaluate(u"document.getElementById('t').textContent"_s), text);
}

void BrowserTest::search_data()
{
    QTest::addColumn<bool>("storable");
    QTest::newRow("results stored_shown as this search made them, a result and Back") << true;
    // A folder where the result page belongs: the page can be built but not stored.
    QTest::newRow("results not stored_shown all the same, links and style sheet work") << false;
}

void BrowserTest::search()
{
    QFETCH(bool, storable);
    WebEngineRig rig;
    // The sample content in the scratch folder, since searching writes there.
    QCOMPARE(QProcess::execute(u"cp"_s, {u"-r"_s, QStringLiteral(JUANZONG_CONTENT_DIR "/."), rig.page(QString())}), 0);
    if (!storable)
        QVERIFY(QDir().mkpath(rig.page(u"search.html"_s)));
    rig.startActive();
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
    rig.click(u"document.querySelector('.sec_list li a')"_s);
    QVERIFY(rig.waitForLoad());
    QCOMPARE(rig.shownFile(), rig.page(href.section(u'#', 0, 0)));
    if (!storable)
        return;
    // Back and Forward through the engine's own history.
    for (auto [button, file] : {std::pair{u"Command4"_s, u"search.html"_s}, {u"Command3"_s, href.section(u'#', 0, 0)}}) {
        QTest::mouseClick(rig.window->findChild<QWidget *>(button), Qt::LeftButton);
        QVERIFY(rig.waitForLoad());
        QCOMPARE(rig.shownFile(), rig.page(file));
    }
}

void BrowserTest::fullText_phraseInOneDocument_opensItWithTheFindBarCounting()
{
    WebEngineRig rig;
    rig.addPage(u"wszzgf.html"_s, u"规范"_s);
    QString filler;
    for (int i = 0; i < 40; ++i)
        filler += u"<p>本院依法组成合议庭，公开开庭进行了审理。</p>"_s;
    // The phrase twice in the second model document, nowhere else; the first
    // document is long enough that the second lies below the fold.
    rig.addPage(u"juanzongfanben-10.html"_s, u"调解"_s,
                u"<div class=\"ws\" id=\"ws1\"><a name=\"ws1\"></a><div class=\"ws-label\">范本一　民事调解书</div>"
                    + filler
                    + u"</div><div class=\"ws\" id=\"ws2\"><a name=\"ws2\"></a><div class=\"ws-label\">范本二　调解笔录"
                      u"</div><p>双方当事人一致同意由原告负担鉴定费用。</p><p>其后，原告负担鉴定费用的部分已付清。</p></div>");
    rig.startActive();

    auto *box = rig.window->findChild<QLineEdit *>(u"Text1"_s);
    box->setFocus();
    box->setText(u"原告负担鉴定费用"_s);
    QTest::keyClick(box, Qt::Key_Return, Qt::ShiftModifier);
    QVERIFY(rig.waitForLoad());
    QCOMPARE(rig.shownFile(), rig.page(FullTextPage::FileName.toString()));
    QCOMPARE(rig.evaluate(u"document.querySelectorAll('li.ft-hit').length"_s), u"1"_s);
    QCOMPARE(rig.evaluate(u"document.querySelectorAll('li.ft-hit mark').length"_s), u"2"_s);
    QVERIFY(rig.evaluate(u"document.querySelector('.ft-summary').textContent"_s).contains(u"共 1 篇文书，2 处"_s));

    rig.click(u"document.querySelector('li.ft-hit a')"_s);
    QVERIFY(rig.waitForLoad());
    QCOMPARE(rig.shownFile(), rig.page(u"juanzongfanben-10.html"_s));
    QCOMPARE(rig.webView->url().fragment(), u"ws2"_s);
    auto *findText = rig.window->findChild<QLineEdit *>(u"FindText"_s);
    auto *count = rig.window->findChild<QLabel *>(u"FindCount"_s);
    QTRY_VERIFY(findText->isVisible());
    QCOMPARE(findText->text(), u"原告负担鉴定费用"_s);
    QTRY_COMPARE(count->text(), u"1/2"_s);
    // The model document is on screen, not the top of the page.
    QTRY_VERIFY(rig.evaluate(u"(function(){var r=document.getElementById('ws2').getBoundingClientRect();"
                             "return r.top < innerHeight && r.bottom > 0 && scrollY > 0;})()"_s)
                == u"true"_s);
}

QTEST_MAIN(BrowserTest)
#include "tst_browser.moc"
