// SPDX-License-Identifier: GPL-3.0-or-later
// Copy, fill in and save as Word, driven through a fake view that answers the
// page script's listing of blocks as the page would, at once or in any order.
#include "files.h"
#include "window/windowrig.h"

#include "document/clipboardformat.h"
#include "documentui/documentcommands.h"
#include "documentui/fillpanel.h"
#include "platform/shownpage.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

using namespace Juanzong;
using namespace Juanzong::Testing;

namespace {

// Blocks as "flags|text": c centred, r right-aligned, b bold, L large,
// i indented, I far right, l our sample's label.
const QStringList TwoDocuments{
    u"b|调解"_s,
    u"l|范本一　民事调解书"_s,
    u"cbL|××××人民法院"_s,
    u"cbL|民事调解书"_s,
    u"r|（××××）……民初……号"_s,
    u"i|原告：×××，住……。"_s,
    u"i|原告×××与被告×××……（写明案由）一案，原告×××撤诉。"_s,
    u"I|审判长　×××"_s,
    u"b|说　明"_s,
    u"|调解书应当写明诉讼请求。"_s,
    u"l|范本二　民事裁定书"_s,
    u"cbL|××××人民法院"_s,
    u"cbL|民事裁定书"_s,
    u"i|准许原告×××撤诉。"_s,
};
const QString First = u"范本一　民事调解书"_s;
const QString Second = u"范本二　民事裁定书"_s;
const QString Unreadable = u"box 提示|无法读取当前页面中的范本，请等页面显示完整后再试。"_s;

// A block as the page script sends it: [text, flags, fontSize, indent, anchor].
QJsonArray blockJson(const QString &shape)
{
    const qsizetype bar = shape.indexOf(u'|');
    const QString flags = shape.left(bar);
    const int align = flags.contains(u'c') ? 1 : flags.contains(u'r') ? 2 : 3;
    return {shape.mid(bar + 1), align | (flags.contains(u'b') ? 4 : 0) | (flags.contains(u'l') ? 32 : 0),
            flags.contains(u'L') ? 29.3 : 21.3, flags.contains(u'I') ? 400 : flags.contains(u'i') ? 42.6 : 0};
}

struct Rig
{
    Rig()
    {
        // Like the page, it names its listing by a version that changes with the
        // blocks, and to a caller holding that version sends no blocks.
        html.answerScript = [this](const QString &script) -> QVariant {
            static const QRegularExpression call(u"return listBlocks\\((\\d+), (null|[0-9.]+), [^,]*, '([^']*)'\\)"_s);
            const QRegularExpressionMatch m = call.match(script);
            if (!m.hasMatch())
                return 0;
            if (!answer.isNull())
                return answer;
            const QString version = u"f."_s + QString::number(qHash(blocks.join(u'\n')), 16);
            QJsonObject listing{{u"request"_s, m.captured(1).toInt()},
                                {u"at"_s, m.captured(2) == u"null" ? topBlock : pointBlock},
                                {u"version"_s, version}};
            QJsonArray list;
            for (const QString &shape : std::as_const(blocks))
                list.append(blockJson(shape));
            if (m.captured(3) != version)
                listing.insert(u"blocks"_s, list);
            return QString::fromUtf8(QJsonDocument(listing).toJson(QJsonDocument::Compact));
        };
        html.open(u"/srv/juanzong/ws/juanzongfanben-10.html"_s);
    }

    void key(const char *action) { window.findChild<QAction *>(QLatin1StringView(action))->trigger(); }
    // The entries the page's context menu gets at a point; triggers the one captioned so, if any.
    QStringList menu(const QString &trigger = {})
    {
        QStringList captions;
        for (QAction *a : html.contextActions.constFirst()(QPointF(10, 300), QString())) {
            captions.append(a->text());
            if (a->text() == trigger)
                a->trigger();
            if (!a->parent())
                delete a;
        }
        html.closeMenu();
        return captions;
    }
    FillPanel *panel() const { return window.findChild<FillPanel *>(); }
    QString lastScript() const { return html.scripts.isEmpty() ? QString() : html.scripts.constLast(); }
    // The fills of the last show() sent to the page: "block:start:length=value" each.
    QStringList shownFills() const
    {
        static const QRegularExpression call(u"return show\\((\\[.*\\])\\);"_s);
        const QRegularExpressionMatch m = call.match(lastScript());
        if (!m.hasMatch())
            return {u"(no show)"_s};
        QStringList out;
        const QJsonArray fills = QJsonDocument::fromJson(m.captured(1).toUtf8()).array();
        for (const QJsonValue &v : fills)
            out.append(QStringLiteral("%1:%2:%3=").arg(v[u"block"].toInt()).arg(v[u"start"].toInt()).arg(v[u"length"].toInt())
                       + v[u"value"].toString());
        return out;
    }
    int group(const QString &label) const { return groupIndex(panel(), label); }
    // A field of the panel by its name and number: FillGroup, FillSeparately (by group), FillBlank (by blank).
    template<typename T = QLineEdit>
    T *field(const char *name, int number) const
    {
        return panel()->findChild<T *>(QLatin1StringView(name) + QString::number(number));
    }
    QLineEdit *groupField(const QString &label) const { return field("FillGroup", group(label)); }

    CallLog log;
    FakeHtmlView html{log};
    FakeMessageBox messages{log};
    FakeDesktop desktop{log};
    QStringList blocks = TwoDocuments;
    QVariant answer; // in place of the listing, when set
    int topBlock = 2;
    int pointBlock = 12;
    QWidget window;
    ShownPage page{&html};
    DocumentCommands documents{&html, &page, &messages, &desktop, &window};
};

QString clipboardTitle()
{
    static const QRegularExpression title(u"<title>(.*)</title>"_s);
    const QMimeData *mime = QGuiApplication::clipboard()->mimeData();
    return mime ? title.match(mime->html()).captured(1) : QString();
}

} // namespace

class DocumentCommandsTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void copy_takesTheDocumentOfTheBlock_data();
    void copy_takesTheDocumentOfTheBlock();
    void commands_onlyOnPagesWithModelDocuments_data();
    void commands_onlyOnPagesWithModelDocuments();
    void save_proposesTheHeadingThenRemembersTheFolder();
    void save_failures_data();
    void save_failures();
    void commands_answeredInAnyOrder_eachDoesWhatItSays_data();
    void commands_answeredInAnyOrder_eachDoesWhatItSays();
    void answerOfAnEarlierPage_isDropped();
    void fill_aGroupFillsEveryPlaceAsDataAndClosingRestores();
    void fill_placeByPlace();
    void fill_anotherPageEndsItAJumpDoesNot();
    void fill_copyAndSaveTakeTheTypedValuesNotThePage();
    void fill_pageTextShowsAsPlainText();
};

void DocumentCommandsTest::copy_takesTheDocumentOfTheBlock_data()
{
    QTest::addColumn<bool>("menu");
    QTest::addColumn<int>("block");
    QTest::addColumn<QString>("heading");
    QTest::newRow("key, first document at the top") << false << 2 << First;
    QTest::newRow("key, its notes at the top_the next one in view") << false << 9 << Second;
    QTest::newRow("menu on the second document") << true << 12 << Second;
    QTest::newRow("menu on the notes_the one they belong to") << true << 9 << First;
    QTest::newRow("menu above every document_the first") << true << 0 << First;
}

void DocumentCommandsTest::copy_takesTheDocumentOfTheBlock()
{
    QFETCH(bool, menu);
    QFETCH(int, block);
    QFETCH(QString, heading);
    Rig rig;
    rig.topBlock = rig.pointBlock = block;
    QGuiApplication::clipboard()->clear();
    if (menu)
        rig.menu(DocumentCommands::CopyCaption);
    else
        rig.key("DocumentCopy");
    QCOMPARE(clipboardTitle(), heading);
    // The document with its layout, its label and notes left out.
    const QString text = QGuiApplication::clipboard()->text();
    QVERIFY(!text.contains(u"范本"_s) && !text.contains(u"说"_s));
    QVERIFY2(text.startsWith(u"××××人民法院\n"_s), qPrintable(text));
}

void DocumentCommandsTest::commands_onlyOnPagesWithModelDocuments_data()
{
    QTest::addColumn<QStringList>("blocks");
    QTest::addColumn<QStringList>("menu");
    QTest::newRow("template page")
        << TwoDocuments << QStringList{DocumentCommands::CopyCaption, DocumentCommands::FillCaption,
                                       DocumentCommands::SaveCaption};
    QTest::newRow("title search results")
        << QStringList{u"cb|搜索结果"_s, u"|民事调解书（第一审程序用）"_s, u"|民事裁定书（准许撤诉用）"_s}
        << QStringList();
    QTest::newRow("start page") << QStringList{u"cbL|民事卷宗范本"_s, u"|人民法院制作民事卷宗范本"_s} << QStringList();
}

void DocumentCommandsTest::commands_onlyOnPagesWithModelDocuments()
{
    QFETCH(QStringList, blocks);
    QFETCH(QStringList, menu);
    Rig rig;
    rig.blocks = blocks;
    rig.html.open(u"/srv/juanzong/ws/search.html"_s);
    QCOMPARE(rig.menu(), menu);
    if (!menu.isEmpty())
        return;
    // Their keys do nothing there, and say nothing.
    QGuiApplication::clipboard()->clear();
    rig.desktop.docxAnswer = u"/nonexistent-juanzong/x.docx"_s;
    rig.key("DocumentCopy");
    rig.key("DocumentFill");
    rig.key("DocumentSave");
    QCoreApplication::processEvents();
    QCOMPARE(clipboardTitle(), QString());
    QVERIFY(!rig.panel());
    QCOMPARE(rig.log.starting(u"desktop"), QStringList());
    QCOMPARE(rig.log.starting(u"box"), QStringList());
}

void DocumentCommandsTest::save_proposesTheHeadingThenRemembersTheFolder()
{
    Rig rig;
    QTemporaryDir dir;
    rig.desktop.docxAnswer = dir.filePath(u"调解书.docx"_s);
    rig.key("DocumentSave");
    QTRY_COMPARE(rig.log.starting(u"desktop.askDocx").size(), 1);
    rig.key("DocumentSave");
    QTRY_COMPARE(rig.log.starting(u"desktop.askDocx"),
                 (QStringList{u"desktop.askDocx "_s + First + u".docx",
                              u"desktop.askDocx "_s + dir.path() + u'/' + First + u".docx"}));
    QFile file(rig.desktop.docxAnswer);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().startsWith("PK\x03\x04"));
    QVERIFY(rig.log.starting(u"box").isEmpty());
}

void DocumentCommandsTest::save_failures_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QVariant>("page");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("diskFull");
    const QString unwritten = u"box 提示|另存为 Word 文档失败：无法写入所选文件。"_s;
    QTest::newRow("cancelled_nothingSaid") << QString() << QVariant() << QString() << false;
    QTest::newRow("missing folder_saysItCouldNotWrite")
        << u"/nonexistent-juanzong/x.docx"_s << QVariant() << unwritten << false;
    // The old file at the answer is untouched, and what a killed save left goes.
    QTest::newRow("full disk_saysItCouldNotWrite") << u"old.docx"_s << QVariant() << unwritten << true;
    QTest::newRow("page without answer_saysItCouldNotRead") << u"never.docx"_s << QVariant(0) << Unreadable << false;
    QTest::newRow("answer to another request_saysItCouldNotRead")
        << u"never.docx"_s << QVariant(u"{\"request\": 9999, \"at\": 2, \"blocks\": []}"_s) << Unreadable << false;
    QTest::newRow("answer that is no listing_saysItCouldNotRead")
        << u"never.docx"_s << QVariant(u"{\"request\": 2, \"blocks\": {\"0\": 1}}"_s) << Unreadable << false;
    QTest::newRow("answer naming blocks never sent_saysItCouldNotRead")
        << u"never.docx"_s << QVariant(u"{\"request\": 2, \"at\": 2, \"version\": \"ab.1\"}"_s) << Unreadable << false;
}

void DocumentCommandsTest::save_failures()
{
    QFETCH(QString, answer);
    QFETCH(QVariant, page);
    QFETCH(QString, message);
    QFETCH(bool, diskFull);
    QTemporaryDir dir; // where a relative answer is put
    Rig rig;
    rig.answer = page;
    rig.desktop.docxAnswer = answer.isEmpty() || answer.startsWith(u'/') ? answer : dir.filePath(answer);
    const QByteArray old = "the old document, whole";
    const auto save = [&] {
        rig.key("DocumentSave");
        QCoreApplication::processEvents();
    };
    if (diskFull) {
        TestFiles::put(rig.desktop.docxAnswer, old);
        TestFiles::put(dir.filePath(u"other.docx.new-"_s + TestFiles::endedProcessId() + u"-1a2b"_s), "PK");
        QVERIFY(TestFiles::onAFullDisk(save));
    } else {
        save();
    }
    QCOMPARE(rig.log.starting(u"box"), message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(TestFiles::entriesOf(dir.path()), diskFull ? QStringList{answer} : QStringList());
    if (diskFull)
        QCOMPARE(TestFiles::contentOf(rig.desktop.docxAnswer), old);
}

// The page answers each script some time after it was asked; one command's
// answer can come while another's dialog is open, or after the page changed.
void DocumentCommandsTest::commands_answeredInAnyOrder_eachDoesWhatItSays_data()
{
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QList<int>>("order"); // the held answers, by the order the keys asked
    QTest::addColumn<int>("answeredInDialog"); // held answer given while the save dialog is open, -1 none
    QTest::addColumn<int>("saves");
    QTest::newRow("copy then save, answered in turn") << QStringList{u"DocumentCopy"_s, u"DocumentSave"_s}
                                                      << QList<int>{0, 0} << -1 << 1;
    QTest::newRow("copy then save, save answered first") << QStringList{u"DocumentCopy"_s, u"DocumentSave"_s}
                                                         << QList<int>{1, 0} << -1 << 1;
    QTest::newRow("copy answered while the save dialog is open")
        << QStringList{u"DocumentCopy"_s, u"DocumentSave"_s} << QList<int>{1} << 0 << 1;
    QTest::newRow("save, copy, save: two dialogs one after the other")
        << QStringList{u"DocumentSave"_s, u"DocumentCopy"_s, u"DocumentSave"_s} << QList<int>{0} << 0 << 2;
}

void DocumentCommandsTest::commands_answeredInAnyOrder_eachDoesWhatItSays()
{
    QFETCH(QStringList, keys);
    QFETCH(QList<int>, order);
    QFETCH(int, answeredInDialog);
    QFETCH(int, saves);
    Rig rig;
    QTemporaryDir dir;
    rig.desktop.docxAnswer = dir.filePath(u"文书.docx"_s);
    int dialogs = 0;
    int open = 0;
    int mostOpen = 0;
    rig.desktop.whileAskingDocx = [&] {
        ++dialogs;
        mostOpen = std::max(mostOpen, ++open);
        // A dialog is open: the answers still outstanding arrive meanwhile.
        if (answeredInDialog >= 0)
            while (!rig.html.held.isEmpty())
                rig.html.answerHeld(answeredInDialog);
        QCoreApplication::processEvents();
        QFile::remove(rig.desktop.docxAnswer);
        --open;
    };
    QGuiApplication::clipboard()->clear();
    rig.html.holdAnswers = true;
    for (const QString &key : std::as_const(keys))
        rig.key(key.toLatin1().constData());
    QCOMPARE(rig.html.held.size(), keys.size());
    for (int i : std::as_const(order))
        rig.html.answerHeld(i);
    QTRY_COMPARE(dialogs, saves);
    QCoreApplication::processEvents();
    QCOMPARE(dialogs, saves);
    QCOMPARE(mostOpen, 1);
    QVERIFY(QFileInfo(rig.desktop.docxAnswer).size() > 0);
    QCOMPARE(clipboardTitle(), First);
    QCOMPARE(rig.log.starting(u"box"), QStringList());
}

void DocumentCommandsTest::answerOfAnEarlierPage_isDropped()
{
    // Asked on one page, answered after the reader went on: the answer names
    // blocks of a page no longer shown, so nothing is copied and nobody is told.
    Rig rig;
    QGuiApplication::clipboard()->clear();
    rig.html.holdAnswers = true;
    rig.key("DocumentCopy");
    rig.html.show(u"/srv/juanzong/ws/juanzongfanben-11.html"_s);
    rig.html.answerHeld(0);
    QCoreApplication::processEvents();
    QCOMPARE(clipboardTitle(), QString());
    QCOMPARE(rig.log.starting(u"box"), QStringList());
    // Asked again there, it is answered.
    rig.html.holdAnswers = false;
    rig.key("DocumentCopy");
    QTRY_COMPARE(clipboardTitle(), First);
}

void DocumentCommandsTest::fill_aGroupFillsEveryPlaceAsDataAndClosingRestores()
{
    Rig rig;
    rig.key("DocumentFill");
    FillPanel *panel = rig.panel();
    QVERIFY(panel && panel->isVisible());
    QLineEdit *plaintiff = rig.groupField(u"原告 ×××"_s);
    QVERIFY(plaintiff);
    const QString value = u"</script><b>\"x\"');alert(1)//"_s;
    type(plaintiff, value);
    // Every place of the plaintiff's name, by block and offset as the page
    // listed them; what was typed reaches the script only inside a JSON string, intact.
    QCOMPARE(rig.shownFills(), (QStringList{u"5:3:3="_s + value, u"6:2:3="_s + value, u"6:24:3="_s + value}));
    QVERIFY(!rig.lastScript().contains(u"<b>\"x\""_s));

    // Asked again for the same document, the panel keeps what was typed.
    rig.key("DocumentFill");
    QCOMPARE(plaintiff->text(), value);
    QCOMPARE(rig.shownFills().size(), 3);

    panel->findChild<QPushButton *>(u"FillClose"_s)->click();
    QVERIFY(!panel->isVisible());
    QVERIFY(rig.lastScript().contains(u"return restore();"_s));
}

void DocumentCommandsTest::fill_placeByPlace()
{
    Rig rig;
    rig.key("DocumentFill");
    FillPanel *panel = rig.panel();
    const int group = rig.group(u"原告 ×××"_s);
    // A bare "……" means something else at each place: offered one by one.
    const int dots = rig.group(u"……"_s);
    QVERIFY(rig.field<QCheckBox>("FillSeparately", dots)->isChecked());
    QVERIFY(!rig.field("FillGroup", dots)->isEnabled());
    QVERIFY(!rig.field<QCheckBox>("FillSeparately", group)->isChecked());

    rig.field<QCheckBox>("FillSeparately", group)->setChecked(true);
    const int last = panel->fillIn().groups().at(group).occurrences.last();
    type(rig.field("FillBlank", last), u"李四"_s);
    QCOMPARE(rig.shownFills(), QStringList{u"6:24:3=李四"_s});
    // Back to one value for all: the one typed stands for the group.
    rig.field<QCheckBox>("FillSeparately", group)->setChecked(false);
    QCOMPARE(rig.shownFills(), (QStringList{u"5:3:3=李四"_s, u"6:2:3=李四"_s, u"6:24:3=李四"_s}));
    panel->hide();
}

void DocumentCommandsTest::fill_anotherPageEndsItAJumpDoesNot()
{
    Rig rig;
    rig.key("DocumentFill");
    FillPanel *panel = rig.panel();
    type(rig.groupField(u"原告 ×××"_s), u"张三"_s);
    rig.html.show(u"/srv/juanzong/ws/juanzongfanben-10.html"_s); // a jump to #ws2
    QVERIFY(panel->isVisible());
    // The same page loaded afresh gets its values again.
    rig.html.loaded(true);
    QCOMPARE(rig.shownFills().size(), 3);
    rig.html.show(u"/srv/juanzong/ws/juanzongfanben-11.html"_s);
    QVERIFY(!panel->isVisible());
    QVERIFY(rig.lastScript().contains(u"return restore();"_s));
}

void DocumentCommandsTest::fill_copyAndSaveTakeTheTypedValuesNotThePage()
{
    Rig rig;
    rig.key("DocumentFill");
    type(rig.groupField(u"原告 ×××"_s), u"张三"_s);
    // The page's own script rewrote what the view shows of the value.
    rig.blocks[5] = u"i|原告：李四，住……。"_s;
    QTemporaryDir dir;
    rig.desktop.docxAnswer = dir.filePath(u"filled.docx"_s);
    for (const bool fromPanel : {true, false}) {
        QGuiApplication::clipboard()->clear();
        if (fromPanel)
            rig.panel()->findChild<QPushButton *>(u"FillCopy"_s)->click();
        else
            rig.key("DocumentCopy");
        const QString text = QGuiApplication::clipboard()->text();
        QVERIFY2(text.contains(u"原告：张三，住……。"_s) && !text.contains(u"李四"_s), qPrintable(text));
    }
    rig.panel()->findChild<QPushButton *>(u"FillSave"_s)->click();
    QTRY_VERIFY(QFileInfo(rig.desktop.docxAnswer).size() > 0);
}

void DocumentCommandsTest::fill_pageTextShowsAsPlainText()
{
    Rig rig;
    const QString markup = u"<img src=\"/etc/juanzong.png\"><b>样式一</b>"_s;
    rig.blocks = {u"l|"_s + markup, u"cbL|民事调解书"_s, u"i|原告<i>×××</i>与被告×××……一案。"_s};
    rig.html.open(u"/srv/juanzong/ws/juanzongfanben-12.html"_s);
    rig.key("DocumentFill");
    QVERIFY(rig.panel() && rig.panel()->isVisible());
    QCOMPARE(rig.panel()->findChild<QLabel *>(u"FillHeading"_s)->text(), markup);
    // Every label of the panel shows its text as characters, never as markup.
    const QList<QLabel *> labels = rig.panel()->findChildren<QLabel *>();
    QVERIFY(labels.size() > 2);
    for (const QLabel *label : labels)
        QVERIFY2(label->textFormat() == Qt::PlainText, qPrintable(label->text()));
    QVERIFY(rig.panel()->windowTitle().endsWith(markup));
    rig.panel()->hide();
}

QTEST_MAIN(DocumentCommandsTest)
#include "tst_documentcommands.moc"
