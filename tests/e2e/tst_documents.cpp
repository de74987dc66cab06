// SPDX-License-Identifier: GPL-3.0-or-later
// Model documents on the real view: which one a command takes, filling one in
// the live page, and the Word file made from what the page then shows.
#include "webenginerig.h"

#include "window/documentcommands.h"
#include "window/fillpanel.h"

#include <QApplication>
#include <QClipboard>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>

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

QWidget *pageWidget(QWebEngineView *view)
{
    return view->focusProxy() ? view->focusProxy() : view;
}

void startOnTwoDocuments(WebEngineRig &rig)
{
    rig.addPage(u"wszzgf.html"_s, u"调解"_s,
                modelDocument(1, u"民事裁定书（准许撤诉用）"_s) + modelDocument(2, u"民事调解书"_s));
    rig.start();
    QVERIFY(rig.waitForLoad());
    rig.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(rig.window.get()));
    pageWidget(rig.webView)->setFocus();
}

void press(QWidget *target, const QString &key)
{
    const QKeyCombination combination = QKeySequence::fromString(key, QKeySequence::PortableText)[0];
    QTest::keyClick(target, combination.key(), combination.keyboardModifiers());
}

QString clipboardHtml()
{
    const QMimeData *mime = QGuiApplication::clipboard()->mimeData();
    return mime ? mime->html() : QString();
}

// Types text the way an input method delivers it: one key event per character.
void type(QWidget *target, const QString &text)
{
    for (const QChar c : text) {
        QTest::sendKeyEvent(QTest::Press, target, Qt::Key_unknown, QString(c), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, target, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

} // namespace

class DocumentsTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { prepareWebEngine(); }
    void keys_takeTheDocumentAtTheTopOfTheView();
    void contextMenu_takesTheDocumentUnderTheMouse();
    void fillIn_plaintiffOnceChangesEveryPlaceAndReachesTheDocx();
};

void DocumentsTest::keys_takeTheDocumentAtTheTopOfTheView()
{
    WebEngineRig rig;
    startOnTwoDocuments(rig);
    QGuiApplication::clipboard()->clear();
    press(pageWidget(rig.webView), u"Ctrl+Shift+C"_s);
    QTRY_VERIFY(clipboardHtml().contains(u"<title>民事裁定书（准许撤诉用）</title>"_s));

    rig.evaluate(u"document.getElementById('ws2').scrollIntoView()"_s);
    QTRY_VERIFY(rig.evaluate(u"window.scrollY"_s).toDouble() > 100);
    press(pageWidget(rig.webView), u"Ctrl+Shift+C"_s);
    QTRY_VERIFY(clipboardHtml().contains(u"<title>民事调解书</title>"_s));
    // The label, the link back to the top and the page around stay out.
    QVERIFY(!clipboardHtml().contains(u"范本二"_s));
    QVERIFY(!clipboardHtml().contains(u"返回本页目录"_s));
    QVERIFY(QGuiApplication::clipboard()->text().contains(u"审判长　×××"_s));
}

void DocumentsTest::contextMenu_takesTheDocumentUnderTheMouse()
{
    WebEngineRig rig;
    startOnTwoDocuments(rig);
    QGuiApplication::clipboard()->clear();
    rig.evaluate(u"document.getElementById('ws2').scrollIntoView(); window.scrollBy(0, -200)"_s);
    // A point inside the second document, below the end of the first.
    const QStringList box = rig.evaluate(u"(() => { const r = document.querySelector('#ws2 p.doctype')"
                                         u".getBoundingClientRect(); const k = window.devicePixelRatio;"
                                         u" return [(r.left + 20) * k, (r.top + r.height / 2) * k].join(','); })()"_s)
                                .split(u',');
    QCOMPARE(box.size(), 2);
    const QPoint at(qRound(box[0].toDouble()), qRound(box[1].toDouble()));
    QWidget *page = pageWidget(rig.webView);
    QTest::mouseMove(page, at);
    QTest::mouseClick(page, Qt::RightButton, {}, at);
    QMenu *menu = nullptr;
    QTRY_VERIFY((menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())));
    QAction *copy = nullptr;
    for (QAction *action : menu->actions())
        if (action->text() == DocumentCommands::CopyCaption)
            copy = action;
    QVERIFY(copy);
    copy->trigger();
    menu->close();
    QTRY_VERIFY(clipboardHtml().contains(u"<title>民事调解书</title>"_s));
}

void DocumentsTest::fillIn_plaintiffOnceChangesEveryPlaceAndReachesTheDocx()
{
    WebEngineRig rig;
    startOnTwoDocuments(rig);
    press(pageWidget(rig.webView), u"Ctrl+E"_s);
    FillPanel *panel = nullptr;
    QTRY_VERIFY((panel = rig.window->findChild<FillPanel *>()) && panel->isVisible());
    QCOMPARE(panel->fillIn().document().heading, u"民事裁定书（准许撤诉用）"_s);

    int plaintiff = -1;
    for (int g = 0; g < panel->fillIn().groups().size(); ++g)
        if (panel->fillIn().groups().at(g).label == u"原告 ×××")
            plaintiff = g;
    QVERIFY(plaintiff >= 0);
    QCOMPARE(panel->fillIn().groups().at(plaintiff).occurrences.size(), 3);
    // Markup typed by the user shows as the characters typed.
    const QString name = u"张<i>小</i>明"_s;
    type(panel->groupField(plaintiff), name);

    const QString filled = u"Array.from(document.querySelectorAll('#ws1 .jz-filled')).map((s) => s.textContent).join('|')"_s;
    QTRY_COMPARE(rig.evaluate(filled), QStringList(3, name).join(u'|'));
    QCOMPARE(rig.evaluate(u"document.querySelectorAll('#ws1 .jz-filled i').length"_s), u"0"_s);
    QCOMPARE(rig.evaluate(u"document.querySelector('#ws1 .parties p').textContent"_s), u"原告：" + name + u"，住……。");
    QVERIFY(rig.evaluate(u"document.querySelector('#ws1 .text p').textContent"_s)
                .startsWith(u"原告" + name + u"与被告×××"));
    // The other document and the page's own scripts see nothing of it.
    QCOMPARE(rig.evaluate(u"document.querySelectorAll('#ws2 .jz-filled').length"_s), u"0"_s);
    QCOMPARE(rig.evaluate(u"typeof window.__juanzongFill"_s), u"undefined"_s);
    // Filled values are marked on screen.
    QCOMPARE(rig.evaluate(u"getComputedStyle(document.querySelector('#ws1 .jz-filled')).backgroundColor"_s),
             u"rgb(255, 241, 168)"_s);

    const QString docx = rig.dir.filePath(u"filled.docx"_s);
    rig.desktop.docxAnswer = docx;
    panel->findChild<QPushButton *>(u"FillSave"_s)->click();
    QTRY_VERIFY(QFileInfo(docx).size() > 0);
    QCOMPARE(rig.log.starting(u"desktop.askDocx"), QStringList{u"desktop.askDocx 民事裁定书（准许撤诉用）.docx"_s});
    QProcess read;
    read.start(u"/usr/bin/python3"_s, {QStringLiteral(JUANZONG_READ_DOCX), docx});
    QVERIFY(read.waitForFinished(60000));
    const QJsonObject json = QJsonDocument::fromJson(read.readAllStandardOutput()).object();
    QStringList texts;
    for (const QJsonValue &p : json.value(u"paragraphs").toArray())
        texts.append(p[u"text"].toString());
    QVERIFY2(texts.contains(u"原告：" + name + u"，住……。"), qPrintable(texts.join(u'\n')));
    QVERIFY(texts.contains(u"原告" + name + u"与被告×××……（写明案由）一案，原告" + name + u"申请撤诉。"));
    QVERIFY(texts.contains(u"审判长　×××"_s));

    panel->findChild<QPushButton *>(u"FillClose"_s)->click();
    QTRY_COMPARE(rig.evaluate(u"document.querySelectorAll('.jz-filled').length"_s), u"0"_s);
    QCOMPARE(rig.evaluate(u"document.querySelector('#ws1 .text p').innerHTML"_s),
             u"原告×××与被告×××……（写明案由）一案，原告<b>×××</b>申请撤诉。"_s);
}

QTEST_MAIN(DocumentsTest)
#include "tst_documents.moc"
