// SPDX-License-Identifier: GPL-3.0-or-later
// The reader's comforts on the real window and web view: find, zoom, shortcuts,
// a tree that follows the page, links, PDF and a render process that dies.
#include "webenginerig.h"

#include "window/findbar.h"
#include "window/pagereader.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTimer>
#include <QWheelEvent>

#include <cmath>
#include <csignal>
#include <sys/types.h>

using namespace Qt::StringLiterals;

using namespace Juanzong;
using namespace Juanzong::Testing;

namespace {

// Key events reach the page through the view's render widget, as a user's do.
QWidget *pageWidget(QWebEngineView *view)
{
    return view->focusProxy() ? view->focusProxy() : view;
}

void press(QWidget *target, const QString &key)
{
    const QKeyCombination combination = QKeySequence::fromString(key, QKeySequence::PortableText)[0];
    QTest::keyClick(target, combination.key(), combination.keyboardModifiers());
}

void type(QWidget *target, const QString &text)
{
    for (const QChar c : text) {
        QTest::sendKeyEvent(QTest::Press, target, Qt::Key_unknown, QString(c), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, target, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

// Pixels of the find highlight (Chromium paints matches yellow, the active one orange).
int highlightPixels(QWidget *view)
{
    const QImage image = view->grab().toImage().convertToFormat(QImage::Format_RGB32);
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 200 && c.green() > 120 && c.blue() < 80)
                ++count;
        }
    return count;
}

// Clicks an element of the page with the mouse, as a user would: the engine
// treats script clicks as no user's act (history skips their pages, popups are refused).
void clickElement(WebEngineRig &rig, const QString &id)
{
    const QStringList box = rig.evaluate(u"(() => { const r = document.getElementById('" + id
                                         + u"').getBoundingClientRect(); const k = window.devicePixelRatio;"
                                           u" return [(r.left + r.width / 2) * k, (r.top + r.height / 2) * k].join(','); })()")
                                .split(u',');
    QCOMPARE(box.size(), 2);
    const QPoint at(qRound(box[0].toDouble()), qRound(box[1].toDouble()));
    QWidget *target = pageWidget(rig.webView);
    QTest::mouseMove(target, at);
    QTest::mouseClick(target, Qt::LeftButton, {}, at);
}

// The window started on a start page, ready for keys.
void startActive(WebEngineRig &rig)
{
    rig.start();
    QVERIFY(rig.waitForLoad());
    rig.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(rig.window.get()));
}

} // namespace

class ComfortsTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void find_countsMatchesAndEscClears();
    void zoom_stepsByWheelAndStaysAcrossPages();
    void shortcuts_workFromInsideThePage();
    void externalLinks_goToTheDesktopAndNothingReachesTheNetwork();
    void newWindowLinks_loadInTheSameView_data();
    void newWindowLinks_loadInTheSameView();
    void saveAsPdf_isA4WithItsMarginsAndExtractableText();
    void printPreview_showsThePages();
    void killedRenderProcess_isRecovered();
};

void ComfortsTest::find_countsMatchesAndEscClears()
{
    WebEngineRig rig;
    rig.addPage(u"wszzgf.html"_s, u"起始页"_s,
                u"<p>民事裁定书</p><p>裁定如下</p><p>本裁定为终审裁定</p><p>判决书</p>"_s);
    startActive(rig);
    QWidget *page = pageWidget(rig.webView);
    page->setFocus();
    QCOMPARE(highlightPixels(rig.webView), 0);

    press(page, u"Ctrl+F"_s);
    auto *bar = rig.window->findChild<FindBar *>();
    auto *text = bar->findChild<QLineEdit *>(u"FindText"_s);
    auto *count = bar->findChild<QLabel *>(u"FindCount"_s);
    QVERIFY(bar->isVisible());
    type(text, u"裁定"_s);
    QTRY_COMPARE(count->text(), u"1/4"_s);
    QTest::keyClick(text, Qt::Key_Return);
    QTRY_COMPARE(count->text(), u"2/4"_s);
    QTest::keyClick(text, Qt::Key_Return, Qt::ShiftModifier);
    QTRY_COMPARE(count->text(), u"1/4"_s);
    QTRY_VERIFY(highlightPixels(rig.webView) > 0);

    type(text, u"书书"_s);
    QTRY_COMPARE(count->text(), u"0/0"_s);
    text->clear();
    type(text, u"判决书"_s);
    QTRY_COMPARE(count->text(), u"1/1"_s);

    QTest::keyClick(text, Qt::Key_Escape);
    QVERIFY(!bar->isVisible());
    QTRY_COMPARE(highlightPixels(rig.webView), 0);
}

void ComfortsTest::zoom_stepsByWheelAndStaysAcrossPages()
{
    WebEngineRig rig;
    rig.addPage(u"wszzgf.html"_s, u"起始页"_s);
    rig.addPage(u"juanzongfanben-6.html"_s, u"回避"_s);
    startActive(rig);
    const double natural = rig.evaluate(u"window.innerWidth"_s).toDouble();
    QVERIFY(natural > 100);

    // Two notches up: 100 -> 110 -> 125 percent.
    QWidget *page = pageWidget(rig.webView);
    const QPoint at = page->rect().center();
    QWheelEvent wheel(at, page->mapToGlobal(at), QPoint(), QPoint(0, 240), Qt::NoButton, Qt::ControlModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(page, &wheel);
    QCOMPARE(rig.window->reader()->zoomPercent(), 125);
    QTRY_COMPARE(rig.evaluate(u"window.innerWidth"_s).toDouble(), std::floor(natural / 1.25));

    rig.clickNode(u"juanzongfanben-6"_s);
    QVERIFY(rig.waitForLoad());
    QCOMPARE(rig.webView->title(), u"回避"_s);
    QCOMPARE(rig.evaluate(u"window.innerWidth"_s).toDouble(), std::floor(natural / 1.25));

    for (int i = 0; i < 12; ++i)
        press(page, u"Ctrl+-"_s);
    QCOMPARE(rig.window->reader()->zoomPercent(), 30);
    QTRY_COMPARE(rig.evaluate(u"window.innerWidth"_s).toDouble(), std::floor(natural / 0.3));
    press(page, u"Ctrl+0"_s);
    QTRY_COMPARE(rig.evaluate(u"window.innerWidth"_s).toDouble(), natural);
}

void ComfortsTest::shortcuts_workFromInsideThePage()
{
    WebEngineRig rig;
    rig.addPage(u"wszzgf.html"_s, u"起始页"_s);
    rig.addPage(u"index.html"_s, u"关于本程序"_s);
    startActive(rig);
    QWidget *page = pageWidget(rig.webView);
    page->setFocus();

    press(page, u"F1"_s);
    QVERIFY(rig.waitForLoad());
    QCOMPARE(rig.shownFile(), rig.page(u"index.html"_s));
    page->setFocus();
    press(page, u"Alt+Left"_s);
    QVERIFY(rig.waitForLoad());
    QCOMPARE(rig.shownFile(), rig.page(u"wszzgf.html"_s));
    QTest::mouseClick(page, Qt::ForwardButton, {}, page->rect().center());
    QVERIFY(rig.waitForLoad());
    QCOMPARE(rig.shownFile(), rig.page(u"index.html"_s));

    auto *text1 = rig.window->findChild<QLineEdit *>(u"Text1"_s);
    text1->setText(u"管辖"_s);
    page->setFocus();
    press(page, u"Ctrl+L"_s);
    QCOMPARE(QApplication::focusWidget(), text1);
    QCOMPARE(text1->selectedText(), u"管辖"_s);
}

void ComfortsTest::externalLinks_goToTheDesktopAndNothingReachesTheNetwork()
{
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    const QString origin = u"http://127.0.0.1:" + QString::number(server.serverPort());

    WebEngineRig rig;
    rig.addPage(u"wszzgf.html"_s, u"起始页"_s,
                u"<p><a id='web' href='" + origin + u"/page.html'>法院网站</a></p>"
                u"<p><a id='mail' href='mailto:court@example.com'>来信</a></p>"
                u"<img src='" + origin + u"/picture.png'><iframe src='" + origin + u"/frame.html'></iframe>"
                u"<script>fetch('" + origin + u"/data.json').catch(() => {});"
                u"setTimeout(() => { location.href = '" + origin + u"/moved.html'; }, 300);</script>");
    startActive(rig);

    clickElement(rig, u"web"_s);
    clickElement(rig, u"mail"_s);
    QTRY_COMPARE(rig.log.starting(u"desktop.open"),
                 (QStringList{QString(u"desktop.open " + origin + u"/page.html"), u"desktop.open mailto:court@example.com"_s}));
    QVERIFY(!rig.waitForLoad(1500));
    QCOMPARE(rig.shownFile(), rig.page(u"wszzgf.html"_s));
    // Neither the page's parts nor its script's redirect went out, nor to the desktop.
    QVERIFY(!server.hasPendingConnections());
    QVERIFY(!server.waitForNewConnection(500));
    QCOMPARE(rig.log.starting(u"desktop.open").size(), 2);
}

void ComfortsTest::newWindowLinks_loadInTheSameView_data()
{
    QTest::addColumn<QString>("body");
    QTest::newRow("target _blank") << u"<a id='go' target='_blank' href='juanzongfanben-6.html'>回避</a>"_s;
    QTest::newRow("named target") << u"<a id='go' target='detail' href='juanzongfanben-6.html'>回避</a>"_s;
    QTest::newRow("window.open") << u"<button id='go' onclick=\"window.open('juanzongfanben-6.html')\">回避</button>"_s;
}

void ComfortsTest::newWindowLinks_loadInTheSameView()
{
    QFETCH(QString, body);
    WebEngineRig rig;
    rig.addPage(u"wszzgf.html"_s, u"起始页"_s, body);
    rig.addPage(u"juanzongfanben-6.html"_s, u"回避"_s);
    startActive(rig);
    const auto windows = QApplication::topLevelWidgets().size();

    clickElement(rig, u"go"_s);
    QVERIFY(rig.waitForLoad());
    QCOMPARE(rig.shownFile(), rig.page(u"juanzongfanben-6.html"_s));
    QCOMPARE(QApplication::topLevelWidgets().size(), windows);
    QCOMPARE(rig.treeWidget->currentItem(), rig.tree->item(u"juanzongfanben-6"_s));
}

void ComfortsTest::saveAsPdf_isA4WithItsMarginsAndExtractableText()
{
    WebEngineRig rig;
    rig.addPage(u"wszzgf.html"_s, u"起始页"_s);
    rig.addPage(u"juanzongfanben-70.html"_s, u"期间、送达"_s, u"<p>民事裁定书（准许延期举证用）</p>"_s);
    startActive(rig);
    rig.tree->item(u"C2"_s)->setExpanded(true);
    rig.clickNode(u"juanzongfanben-70"_s);
    QVERIFY(rig.waitForLoad());

    const QString pdf = rig.dir.filePath(u"期间.pdf"_s);
    rig.desktop.pdfAnswer = pdf;
    press(pageWidget(rig.webView), u"Ctrl+S"_s);
    QCOMPARE(rig.log.starting(u"desktop.askPdf"), QStringList{u"desktop.askPdf 期间、送达.pdf"_s});
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(pdf).size() > 0, 30000);
    QTest::qWait(200); // the engine reports the file written only after the last byte

    const auto run = [](const QString &program, const QStringList &arguments) {
        QProcess process;
        process.start(program, arguments);
        process.waitForFinished(30000);
        return QString::fromUtf8(process.readAllStandardOutput());
    };
    QVERIFY(run(u"pdfinfo"_s, {pdf}).contains(u"(A4)"_s));
    const QString text = run(u"pdftotext"_s, {u"-enc"_s, u"UTF-8"_s, pdf, u"-"_s});
    QVERIFY2(text.contains(u"民事裁定书（准许延期举证用）"), qPrintable(text));
    // Where the text starts on the first page: no nearer the edges than the
    // margins, 28 mm (79.4 pt) on the left and 37 mm (104.9 pt) at the top,
    // and not much further in than the page's own 8 px body margin.
    static const QRegularExpression word(u"<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\""_s);
    double left = 1e9;
    double top = 1e9;
    for (auto it = word.globalMatch(run(u"pdftotext"_s, {u"-bbox"_s, u"-l"_s, u"1"_s, pdf, u"-"_s})); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        left = std::min(left, m.captured(1).toDouble());
        top = std::min(top, m.captured(2).toDouble());
    }
    QVERIFY2(left >= 79 && left < 95, qPrintable(QString::number(left)));
    QVERIFY2(top >= 104 && top < 125, qPrintable(QString::number(top)));
    QVERIFY(rig.log.starting(u"box").isEmpty());
}

void ComfortsTest::printPreview_showsThePages()
{
    WebEngineRig rig;
    QString body;
    for (int i = 0; i < 120; ++i)
        body += u"<p>第" + QString::number(i + 1) + u"段 本院认为，当事人对自己提出的主张有责任提供证据。</p>";
    rig.addPage(u"wszzgf.html"_s, u"起始页"_s, body);
    startActive(rig);

    int pages = -1;
    QTimer probe;
    probe.setInterval(100);
    connect(&probe, &QTimer::timeout, this, [&] {
        auto *dialog = qobject_cast<QPrintPreviewDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        auto *preview = dialog->findChild<QPrintPreviewWidget *>();
        if (preview && preview->pageCount() > 0) {
            pages = preview->pageCount();
            dialog->reject();
        }
    });
    probe.start();
    QTimer::singleShot(60000, this, [] {
        if (QWidget *modal = QApplication::activeModalWidget())
            modal->close();
    });
    press(pageWidget(rig.webView), u"Ctrl+Shift+P"_s);
    QVERIFY2(pages > 1, qPrintable(QString::number(pages)));
    QVERIFY(rig.log.starting(u"box").isEmpty());
}

void ComfortsTest::killedRenderProcess_isRecovered()
{
    WebEngineRig rig;
    rig.addPage(u"wszzgf.html"_s, u"起始页"_s, u"<p id='t'>审判长</p>"_s);
    startActive(rig);
    for (int round = 1; round <= 2; ++round) {
        const qint64 pid = rig.webView->page()->renderProcessPid();
        QVERIFY(pid > 0);
        QCOMPARE(::kill(pid_t(pid), SIGKILL), 0);
        QVERIFY2(rig.waitForLoad(), qPrintable(QString::number(round)));
        QCOMPARE(rig.evaluate(u"document.getElementById('t').textContent"_s), u"审判长"_s);
        QVERIFY(rig.webView->page()->renderProcessPid() != pid);
    }
    QVERIFY(rig.log.starting(u"box").isEmpty());
}

int main(int argc, char *argv[])
{
    prepareWebEngine();
    QApplication app(argc, argv);
    ComfortsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_comforts.moc"
