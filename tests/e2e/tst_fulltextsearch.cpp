// SPDX-License-Identifier: GPL-3.0-or-later
// Full-text search end to end on the real window and web view: a phrase found
// in one model document's body, its result page, the hit opened in its template
// with the find bar counting the phrase, and Back to the results where the
// reader left them.
#include "webenginerig.h"

#include "fulltext/resultpage.h"
#include "window/fulltextcontroller.h"

#include <QLabel>
#include <QLineEdit>

using namespace Qt::StringLiterals;

using namespace Juanzong;
using namespace Juanzong::Testing;

class FullTextSearchTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { prepareWebEngine(); }
    void phraseInOneDocument_opensItWithTheFindBarCounting();
    void backFromAHit_resultsAtTheSameScroll();
};

namespace {

// Clicks a link as a reader does: the engine keeps a page in the history only
// when the user acted on it.
void clickLink(WebEngineRig &rig, const QString &findLink)
{
    const QStringList at = rig.evaluate(u"(() => { const r = " + findLink
                                        + u".getBoundingClientRect(); return (r.left + 4) + ',' + (r.top + r.height / 2); })()")
                               .split(u',');
    QCOMPARE(at.size(), 2);
    QWidget *target = rig.webView->focusProxy() ? rig.webView->focusProxy() : rig.webView;
    QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(int(at[0].toDouble()), int(at[1].toDouble())));
}

} // namespace

void FullTextSearchTest::phraseInOneDocument_opensItWithTheFindBarCounting()
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
    rig.start();
    QVERIFY(rig.waitForLoad());
    QTRY_VERIFY_WITH_TIMEOUT(rig.window->fullText()->isIndexReady(), 30000);

    auto *box = rig.window->findChild<QLineEdit *>(u"Text1"_s);
    box->setFocus();
    box->setText(u"原告负担鉴定费用"_s);
    QTest::keyClick(box, Qt::Key_Return, Qt::ShiftModifier);
    QVERIFY(rig.waitForLoad());
    QCOMPARE(rig.shownFile(), rig.page(FullTextPage::FileName.toString()));
    QCOMPARE(rig.evaluate(u"document.querySelectorAll('li.ft-hit').length"_s), u"1"_s);
    QCOMPARE(rig.evaluate(u"document.querySelectorAll('li.ft-hit mark').length"_s), u"2"_s);
    QVERIFY(rig.evaluate(u"document.querySelector('.ft-summary').textContent"_s).contains(u"共 1 篇文书，2 处"_s));

    clickLink(rig, u"document.querySelector('li.ft-hit a')"_s);
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

    // Back to the results, still there.
    rig.window->goBack();
    QVERIFY(rig.waitForLoad());
    QCOMPARE(rig.shownFile(), rig.page(FullTextPage::FileName.toString()));
    QCOMPARE(rig.evaluate(u"document.querySelectorAll('li.ft-hit').length"_s), u"1"_s);
}

void FullTextSearchTest::backFromAHit_resultsAtTheSameScroll()
{
    WebEngineRig rig;
    rig.addPage(u"wszzgf.html"_s, u"规范"_s);
    // Enough hits that the result page is several screens tall.
    for (int i = 20; i < 60; ++i)
        rig.addPage(u"juanzongfanben-%1.html"_s.arg(i), u"范本%1"_s.arg(i),
                    u"<div class=\"ws\" id=\"ws1\"><a name=\"ws1\"></a><div class=\"ws-label\">范本一　民事裁定书"
                    u"</div><p>本案鉴定费用由原告负担。</p></div>"_s);
    rig.start();
    QVERIFY(rig.waitForLoad());
    QTRY_VERIFY_WITH_TIMEOUT(rig.window->fullText()->isIndexReady(), 30000);

    auto *box = rig.window->findChild<QLineEdit *>(u"Text1"_s);
    box->setFocus();
    box->setText(u"鉴定费用"_s);
    QTest::keyClick(box, Qt::Key_Return, Qt::ShiftModifier);
    QVERIFY(rig.waitForLoad());
    QCOMPARE(rig.evaluate(u"document.querySelectorAll('li.ft-hit').length"_s), u"40"_s);

    const QString scrolled = rig.evaluate(u"window.scrollTo(0, 700); String(window.scrollY)"_s);
    QVERIFY2(scrolled.toDouble() > 0, qPrintable(scrolled));
    // A reader takes a moment between scrolling and clicking.
    QTest::qWait(4 * FullTextController::ScrollReadInterval);
    clickLink(rig, u"[...document.querySelectorAll('li.ft-hit a')].find(a => a.getBoundingClientRect().top > 40)"_s);
    QVERIFY(rig.waitForLoad());
    QVERIFY(rig.shownFile() != rig.page(FullTextPage::FileName.toString()));

    rig.window->goBack();
    QVERIFY(rig.waitForLoad());
    QCOMPARE(rig.shownFile(), rig.page(FullTextPage::FileName.toString()));
    QTRY_COMPARE(rig.evaluate(u"String(window.scrollY)"_s), scrolled);
}

QTEST_MAIN(FullTextSearchTest)
#include "tst_fulltextsearch.moc"
