// SPDX-License-Identifier: GPL-3.0-or-later
// Searching in the real window over the sample content: results, links, history, messages.
#include "../e2e/webenginerig.h"

#include <QApplication>
#include <QDirIterator>
#include <QLineEdit>
#include <QStringDecoder>

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

int indexLinesContaining(const QString &keyword)
{
    QFile index(QStringLiteral(JUANZONG_CONTENT_DIR "/alllist.txt"));
    if (!index.open(QIODevice::ReadOnly))
        return -1;
    QStringDecoder gbk("GBK");
    int count = 0;
    for (const QByteArray &line : index.readAll().split('\n'))
        count += QString(gbk.decode(line)).contains(keyword);
    return count;
}

void searchFor(WebEngineRig &rig, const QString &keyword)
{
    auto *text1 = rig.window->findChild<QLineEdit *>(u"Text1"_qs);
    text1->setText(keyword);
    QTest::keyClick(text1, Qt::Key_Return);
}

void clickFirstResult(WebEngineRig &rig)
{
    const QStringList at = rig.evaluate(u"(() => { const r = document.querySelector('.sec_list li a')"
                                        u".getBoundingClientRect(); return (r.left + 4) + ',' + (r.top + r.height / 2); })()"_qs)
                               .split(u',');
    QCOMPARE(at.size(), 2);
    const QPoint point(int(at[0].toDouble()), int(at[1].toDouble()));
    QWidget *target = rig.webView->focusProxy() ? rig.webView->focusProxy() : rig.webView;
    QTest::mouseClick(target, Qt::LeftButton, {}, point);
}

} // namespace

class SearchWindowTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void results_linksAndBack();
    void messages_data();
    void messages();
    void unsavedResults_areStillShown();
};

void SearchWindowTest::results_linksAndBack()
{
    WebEngineRig rig;
    copySample(rig);
    rig.start();
    QVERIFY(rig.waitForLoad());

    const QString keyword = u"裁定书"_qs;
    const int expected = indexLinesContaining(keyword);
    QVERIFY(expected > 1);
    searchFor(rig, keyword);
    QVERIFY(rig.waitForLoad());
    QCOMPARE(rig.shownFile(), rig.page(u"search.html"_qs));
    QCOMPARE(rig.evaluate(u"String(document.querySelectorAll('.sec_list li a').length)"_qs),
             QString::number(expected));
    QCOMPARE(rig.evaluate(u"document.querySelector('.num').textContent"_qs), QString::number(expected));
    QCOMPARE(rig.evaluate(u"document.querySelector('.tit').textContent"_qs), QString(u"搜索结果：关键词—" + keyword));
    QVERIFY(QFile::exists(rig.page(u"search.txt"_qs)));

    const QString href = rig.evaluate(u"document.querySelector('.sec_list li a').getAttribute('href')"_qs);
    QVERIFY2(href.startsWith(u"juanzongfanben-"), qPrintable(href));
    // A real click: the engine keeps a page in the history only when the user acted on it.
    clickFirstResult(rig);
    QVERIFY(rig.waitForLoad());
    QCOMPARE(rig.shownFile(), rig.page(href.section(u'#', 0, 0)));

    QTest::mouseClick(rig.window->findChild<QWidget *>(u"Command4"_qs), Qt::LeftButton);
    QVERIFY(rig.waitForLoad());
    QCOMPARE(rig.shownFile(), rig.page(u"search.html"_qs));
    QVERIFY(rig.log.starting(u"box").isEmpty());
}

void SearchWindowTest::messages_data()
{
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty") << QString() << u"请输入搜索内容！"_qs;
    QTest::newRow("nothing found") << u"不存在的关键词甲乙丙"_qs << u"未搜索到相关内容"_qs;
}

void SearchWindowTest::messages()
{
    QFETCH(QString, keyword);
    QFETCH(QString, message);

    WebEngineRig rig;
    copySample(rig);
    rig.start();
    QVERIFY(rig.waitForLoad());
    searchFor(rig, keyword);
    QCOMPARE(rig.log.starting(u"box"), QStringList{QString(u"box 提示|" + message)});
    QVERIFY(!rig.waitForLoad(1000));
    QCOMPARE(rig.shownFile(), rig.page(u"wszzgf.html"_qs));
    QVERIFY(!QFile::exists(rig.page(u"search.html"_qs)));
}

void SearchWindowTest::unsavedResults_areStillShown()
{
    WebEngineRig rig;
    copySample(rig);
    // A folder where the result page belongs: the page can be built but not stored.
    QVERIFY(QDir().mkpath(rig.page(u"search.html"_qs)));
    rig.start();
    QVERIFY(rig.waitForLoad());
    searchFor(rig, u"判决书"_qs);
    const QStringList boxes = rig.log.starting(u"box");
    QCOMPARE(boxes.size(), 1);
    QVERIFY2(boxes.first().contains(u"search.html"), qPrintable(boxes.first()));
    QVERIFY(rig.waitForLoad());
    QCOMPARE(rig.shownFile(), rig.page(u"search.html"_qs));
    QCOMPARE(rig.evaluate(u"String(document.querySelectorAll('.sec_list li a').length)"_qs),
             QString::number(indexLinesContaining(u"判决书"_qs)));
    // Relative to the content folder: the style sheet applies and the links open templates.
    QCOMPARE(rig.evaluate(u"String(document.styleSheets.length > 0 && document.styleSheets[0].cssRules.length > 0)"_qs),
             u"true"_qs);
    clickFirstResult(rig);
    QVERIFY(rig.waitForLoad());
    QVERIFY(rig.shownFile().contains(u"juanzongfanben-"));
}

int main(int argc, char *argv[])
{
    prepareWebEngine();
    QApplication app(argc, argv);
    SearchWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_searchwindow.moc"
