// SPDX-License-Identifier: GPL-3.0-or-later
// The reader's comforts on the real window and web view: zoom, links, PDF,
// the print preview, a render process that dies, and model documents: which one
// a command takes, filling one in the live page, and the Word file made from it.
#include "webenginerig.h"

#include "documentui/documentcommands.h"
#include "documentui/fillpanel.h"
#include "reader/pagereader.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
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

QString modelDocument(int n, const QString &kind)
{
    const QString id = u"ws"_s + QString::number(n);
    return u"<div class=\"ws\" id=\"" + id + u"\"><a name=\"" + id + u"\"></a><div class=\"ws-label\">范本"
        + (n == 1 ? u"一"_s : u"二"_s) + u"　" + kind + u"</div>"
        u"<p class=\"court\">××××人民法院</p><p class=\"doctype\">" + kind + u"</p>"
        u"<p class=\"caseno\">（××××）……民初……号</p>"
        u"<div class=\"parties\"><p>原告：×××，住……。</p><p>被告：×××，住……。</p></div>"
        u"<div class=\"text\"><p>原告×××与被告×××……（写明案由）一案，原告<b>×××</b>申请撤诉。</p>"
        + u"<p>本院认为，准许撤诉。</p>"_s.repeated(30)
        + u"</div><div class=\"sign\"><p class=\"sig\">审判长　×××</p><p class=\"date\">二〇××年××月××日</p></div>"
          u"<p class=\"totop\"><a href=\"#top\">返回本页目录</a></p></div>";
}

void startOnTwoDocuments(WebEngineRig &rig)
{
    rig.addPage(u"wszzgf.html"_s, u"调解"_s,
                modelDocument(1, u"民事裁定书（准许撤诉用）"_s) + modelDocument(2, u"民事调解书"_s));
    rig.startActive();
    pageWidget(rig.webView)->setFocus();
}

QString clipboardHtml()
{
    const QMimeData *mime = QGuiApplication::clipboard()->mimeData();
    return mime ? mime->html() : QString();
}

} // namespace

class ComfortsTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void zoom_stepsByWheelAndStaysAcrossPages();
    void externalLinks_goToTheDesktopAndNothingReachesTheNetwork();
    void pdfAndPrintToFile_areA4TextWithinTheMargins_data();
    void pdfAndPrintToFile_areA4TextWithinTheMargins();
    void closingFind_keepsTheReadingPosition();
    void killedRenderProcess_isRecovered();
    void copy_fromTheMenuTakesTheDocumentUnderIt();
    void fillIn_plaintiffOnceChangesEveryPlaceAndReachesTheDocx();
};

void ComfortsTest::zoom_stepsByWheelAndStaysAcrossPages()
{
    WebEngineRig rig;
    rig.addPage(u"wszzgf.html"_s, u"起始页"_s);
    rig.addPage(u"juanzongfanben-6.html"_s, u"回避"_s);
    rig.startActive();
    const double natural = rig.evaluate(u"window.innerWidth"_s).toDouble();
    QVERIFY(natural > 100);

    // Two notches up: 100 -> 110 -> 125 percent.
    QWidget *page = pageWidget(rig.webView);
    const QPoint at = page->rect().center();
    QWheelEvent wheel(at, page->mapToGlobal(at), QPoint(), QPoint(0, 240), Qt::NoButton, Qt::ControlModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(page, &wheel);
    QTRY_COMPARE(rig.evaluate(u"window.innerWidth"_s).toDouble(), std::floor(natural / 1.25));

    rig.clickNode(u"juanzongfanben-6"_s);
    QVERIFY(rig.waitForLoad());
    QCOMPARE(rig.webView->title(), u"回避"_s);
    QCOMPARE(rig.evaluate(u"window.innerWidth"_s).toDouble(), std::floor(natural / 1.25));
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
    rig.startActive();

    rig.click(u"document.getElementById('web')"_s);
    rig.click(u"document.getElementById('mail')"_s);
    QTRY_COMPARE(rig.log.starting(u"desktop.open"),
                 (QStringList{QString(u"desktop.open " + origin + u"/page.html"), u"desktop.open mailto:court@example.com"_s}));
    QVERIFY(!rig.waitForLoad(1500));
    QCOMPARE(rig.shownFile(), rig.page(u"wszzgf.html"_s));
    // Neither the page's parts nor its script's redirect went out, nor to the desktop.
    QVERIFY(!server.hasPendingConnections());
    QVERIFY(!server.waitForNewConnection(500));
    QCOMPARE(rig.log.starting(u"desktop.open").size(), 2);
}

void ComfortsTest::pdfAndPrintToFile_areA4TextWithinTheMargins_data()
{
    QTest::addColumn<QString>("keys");
    QTest::newRow("saved as PDF") << u"Ctrl+S"_s;
    QTest::newRow("printed to a file") << u"Ctrl+P"_s;
    QTest::newRow("printed to a file from the preview") << u"Ctrl+Shift+P"_s;
}

void ComfortsTest::pdfAndPrintToFile_areA4TextWithinTheMargins()
{
    QFETCH(QString, keys);
    WebEngineRig rig;
    QString body = u"<p>民事裁定书（准许延期举证用）</p>"_s;
    for (int i = 0; i < 40; ++i)
        body += u"<p>第" + QString::number(i + 1) + u"段 本院认为，当事人对自己提出的诉讼请求所依据的事实或者反驳对方诉讼请求"
                u"所依据的事实，应当提供证据加以证明，但法律另有规定的除外。段尾</p>";
    rig.addPage(u"wszzgf.html"_s, u"起始页"_s, body);
    rig.startActive();
    const QString pdf = rig.dir.filePath(u"期间.pdf"_s);
    rig.desktop.pdfAnswer = pdf;
    // The dialogs as a user goes through them: the preview's print button once
    // it shows pages, then in the print dialog "Print to file", the file's name, OK.
    QTimer probe;
    probe.setInterval(100);
    connect(&probe, &QTimer::timeout, this, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *preview = qobject_cast<QPrintPreviewDialog *>(modal)) {
            auto *pages = preview->findChild<QPrintPreviewWidget *>();
            const QString caption = QCoreApplication::translate("QPrintPreviewDialog", "Print");
            for (QAction *action : preview->findChildren<QAction *>())
                if (pages && pages->pageCount() > 0 && action->text() == caption)
                    return action->trigger();
        }
        auto *dialog = qobject_cast<QPrintDialog *>(modal);
        auto *name = dialog ? dialog->findChild<QLineEdit *>(u"filename"_s) : nullptr;
        if (!name)
            return;
        name->setText(pdf);
        dialog->accept();
    });
    probe.start();
    press(pageWidget(rig.webView), keys);
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(pdf).size() > 0, 30000);
    QTest::qWait(200); // the engine reports the file written only after the last byte

    const QString info = run(u"pdfinfo"_s, {pdf});
    QVERIFY2(info.contains(u"(A4)"_s), qPrintable(info));
    // Every page, the preview's too: 40 paragraphs take more than one.
    QVERIFY2(QRegularExpression(u"Pages: +(\\d+)"_s).match(info).captured(1).toInt() > 1, qPrintable(info));
    // Text with its fonts, not pictures of it: kilobytes, not megabytes.
    QVERIFY2(QFileInfo(pdf).size() < 500 * 1024, qPrintable(QString::number(QFileInfo(pdf).size())));
    QVERIFY(run(u"pdffonts"_s, {pdf}).count(u'\n') > 2);
    const QString text = run(u"pdftotext"_s, {u"-enc"_s, u"UTF-8"_s, pdf, u"-"_s});
    QVERIFY2(text.contains(u"民事裁定书（准许延期举证用）"), qPrintable(text));
    QCOMPARE(text.count(u"段尾"_s), 40);
    // No word nearer the edges than the margins, 28 mm (79.4 pt) on the left,
    // 26 mm (73.7 pt) on the right of 595.3 pt and 37 mm (104.9 pt) at the top;
    // the first not much further in than the page's own 8 px body margin.
    static const QRegularExpression word(u"<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\""_s);
    double left = 1e9;
    double top = 1e9;
    double right = 0;
    for (auto it = word.globalMatch(run(u"pdftotext"_s, {u"-bbox"_s, pdf, u"-"_s})); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        left = std::min(left, m.captured(1).toDouble());
        top = std::min(top, m.captured(2).toDouble());
        right = std::max(right, m.captured(3).toDouble());
    }
    QVERIFY2(left >= 79 && left < 95, qPrintable(QString::number(left)));
    QVERIFY2(top >= 104 && top < 125, qPrintable(QString::number(top)));
    QVERIFY2(right <= 595.3 - 73.6, qPrintable(QString::number(right)));
    QVERIFY(rig.log.starting(u"box").isEmpty());
}

void ComfortsTest::closingFind_keepsTheReadingPosition()
{
    WebEngineRig rig;
    // A link above, where the page would go if the focus came back as by Tab.
    QString body = u"<p><a id='toc' href='#p60'>范本二</a></p>"_s;
    for (int i = 0; i < 120; ++i)
        body += u"<p id='p" + QString::number(i + 1) + u"'>第" + QString::number(i + 1)
            + u"段 本院认为，当事人对自己提出的主张有责任提供证据。</p>";
    rig.addPage(u"wszzgf.html"_s, u"起始页"_s, body);
    rig.startActive();
    rig.click(u"document.getElementById('toc')"_s);
    QTRY_VERIFY(rig.webView->page()->scrollPosition().y() > 500);

    press(pageWidget(rig.webView), u"Ctrl+F"_s);
    auto *find = rig.window->findChild<QLineEdit *>(u"FindText"_s);
    QVERIFY(find && find->hasFocus());
    // Typed as an input method commits Chinese.
    QInputMethodEvent typed;
    typed.setCommitString(u"第61段"_s);
    QApplication::sendEvent(find, &typed);
    auto *count = rig.window->findChild<QLabel *>(u"FindCount"_s);
    QTRY_VERIFY(!count->text().isEmpty());
    QTest::qWait(500); // the engine scrolls to the match after it has counted
    const QPointF reading = rig.webView->page()->scrollPosition();

    QTest::keyClick(find, Qt::Key_Escape);
    QTest::qWait(1000);
    QCOMPARE(rig.webView->page()->scrollPosition(), reading);
}

void ComfortsTest::killedRenderProcess_isRecovered()
{
    WebEngineRig rig;
    rig.addPage(u"wszzgf.html"_s, u"起始页"_s, u"<p id='t'>审判长</p>"_s);
    rig.startActive();
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

void ComfortsTest::copy_fromTheMenuTakesTheDocumentUnderIt()
{
    WebEngineRig rig;
    startOnTwoDocuments(rig);
    QGuiApplication::clipboard()->clear();
    // The second document's heading is low in the view, below the end of the first.
    rig.evaluate(u"document.getElementById('ws2').scrollIntoView(); window.scrollBy(0, -200)"_s);
    QTRY_VERIFY(rig.evaluate(u"window.scrollY"_s).toDouble() > 100);
    rig.click(u"document.querySelector('#ws2 p.doctype')"_s, Qt::RightButton);
    QMenu *menu = nullptr;
    QTRY_VERIFY((menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())));
    const QList<QAction *> actions = menu->actions();
    // Only what makes sense here: none of the engine's history, reload, save or source entries.
    QStringList entries;
    for (const QAction *action : actions)
        if (!action->isSeparator())
            entries << action->text();
    const QWebEnginePage *page = rig.webView->page();
    QCOMPARE(entries, (QStringList{page->action(QWebEnginePage::Copy)->text(),
                                   page->action(QWebEnginePage::SelectAll)->text(), u"页内查找…"_s,
                                   DocumentCommands::CopyCaption, DocumentCommands::FillCaption,
                                   DocumentCommands::SaveCaption, u"案件信息…"_s, u"批量生成文书…"_s}));
    const auto copy = std::find_if(actions.begin(), actions.end(),
                                   [](QAction *a) { return a->text() == DocumentCommands::CopyCaption; });
    QVERIFY(copy != actions.end());
    (*copy)->trigger();
    menu->close();
    QTRY_VERIFY(!clipboardHtml().isEmpty());
    QVERIFY2(clipboardHtml().contains(u"<title>范本二　民事调解书</title>"_s), qPrintable(clipboardHtml()));
    // The label, the link back to the top and the page around stay out.
    const QString text = QGuiApplication::clipboard()->text();
    QVERIFY2(!text.contains(u"范本"_s) && !text.contains(u"返回本页目录"_s), qPrintable(text));
    QVERIFY(text.contains(u"审判长　×××"_s));
}

void ComfortsTest::fillIn_plaintiffOnceChangesEveryPlaceAndReachesTheDocx()
{
    WebEngineRig rig;
    startOnTwoDocuments(rig);
    press(pageWidget(rig.webView), u"Ctrl+E"_s);
    FillPanel *panel = nullptr;
    QTRY_VERIFY((panel = rig.window->findChild<FillPanel *>()) && panel->isVisible());
    QCOMPARE(panel->fillIn().document().heading, u"范本一　民事裁定书（准许撤诉用）"_s);

    const int plaintiff = groupIndex(panel, u"原告 ×××"_s);
    QVERIFY(plaintiff >= 0);
    QCOMPARE(panel->fillIn().groups().at(plaintiff).occurrences.size(), 3);
    // Markup typed by the user shows as the characters typed.
    const QString name = u"张<i>小</i>明"_s;
    type(groupField(panel, u"原告 ×××"_s), name);

    const QString filled = u"Array.from(document.querySelectorAll('#ws1 .jz-filled')).map((s) => s.textContent).join('|')"_s;
    QTRY_COMPARE(rig.evaluate(filled), QStringList(3, name).join(u'|'));
    QCOMPARE(rig.evaluate(u"document.querySelectorAll('#ws1 .jz-filled i').length"_s), u"0"_s);
    QCOMPARE(rig.evaluate(u"document.querySelector('#ws1 .parties p').textContent"_s), u"原告：" + name + u"，住……。");
    // The other document and the page's own scripts see nothing of it.
    QCOMPARE(rig.evaluate(u"document.querySelectorAll('#ws2 .jz-filled').length"_s), u"0"_s);
    QCOMPARE(rig.evaluate(u"typeof window.__juanzongFill"_s), u"undefined"_s);

    const QString docx = rig.dir.filePath(u"filled.docx"_s);
    rig.desktop.docxAnswer = docx;
    panel->findChild<QPushButton *>(u"FillSave"_s)->click();
    QTRY_VERIFY(QFileInfo(docx).size() > 0);
    QCOMPARE(rig.log.starting(u"desktop.askDocx"), QStringList{u"desktop.askDocx 范本一　民事裁定书（准许撤诉用）.docx"_s});
    const QStringList texts = docxParagraphs(docx);
    QVERIFY2(texts.contains(u"原告：" + name + u"，住……。"), qPrintable(texts.join(u'\n')));
    QVERIFY(texts.contains(u"原告" + name + u"与被告×××……（写明案由）一案，原告" + name + u"申请撤诉。"));
    QVERIFY(texts.contains(u"审判长　×××"_s));

    panel->findChild<QPushButton *>(u"FillClose"_s)->click();
    QTRY_COMPARE(rig.evaluate(u"document.querySelectorAll('.jz-filled').length"_s), u"0"_s);
    QCOMPARE(rig.evaluate(u"document.querySelector('#ws1 .text p').innerHTML"_s),
             u"原告×××与被告×××……（写明案由）一案，原告<b>×××</b>申请撤诉。"_s);
}

int main(int argc, char *argv[])
{
    prepareWebEngine();
    QApplication app(argc, argv);
    ComfortsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_comforts.moc"
