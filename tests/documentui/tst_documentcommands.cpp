// SPDX-License-Identifier: GPL-3.0-or-later
// Copy, fill in and save as Word, driven through a fake view that answers the
// page scripts as the page would.
#include "files.h"
#include "window/windowrig.h"

#include "document/clipboardformat.h"
#include "documentui/documentcommands.h"
#include "documentui/fillpanel.h"

#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

using namespace Juanzong;
using namespace Juanzong::Testing;

namespace {

const QString Page = QStringLiteral(R"({"unit": 1, "heading": "民事调解书（第一审程序用）", "paragraphs": [
    {"role": "court", "text": "××××人民法院"},
    {"role": "doctype", "text": "民事调解书"},
    {"role": "caseno", "text": "（××××）……民初……号"},
    {"role": "body", "text": "原告：×××，住……。"},
    {"role": "body", "text": "原告×××与被告×××……（写明案由）一案，原告×××撤诉。"},
    {"role": "sign", "text": "审判长　×××"}]})");

struct Rig
{
    Rig()
    {
        html.answerScript = [this](const QString &script) -> QVariant {
            if (script.contains(u"return extract("))
                return pageAnswer;
            return 0;
        };
        html.show(u"/srv/juanzong/ws/juanzongfanben-10.html"_s);
    }

    DocumentCommands *commands() { return &documents; }
    QString lastScript() const { return html.scripts.isEmpty() ? QString() : html.scripts.constLast(); }
    // The fills of the last show() sent to the page: "paragraph:start:length=value" each.
    QStringList shownFills() const
    {
        static const QRegularExpression call(u"return show\\((-?\\d+), (\\[.*\\])\\);"_s);
        const QRegularExpressionMatch m = call.match(lastScript());
        if (!m.hasMatch())
            return {u"(no show)"_s};
        QStringList out;
        const QJsonArray fills = QJsonDocument::fromJson(m.captured(2).toUtf8()).array();
        for (const QJsonValue &v : fills)
            out.append(QStringLiteral("%1:%2:%3=").arg(v[u"p"].toInt()).arg(v[u"start"].toInt()).arg(v[u"length"].toInt())
                       + v[u"value"].toString());
        return out;
    }
    int group(const QString &label)
    {
        const auto &groups = commands()->panel()->fillIn().groups();
        for (int g = 0; g < groups.size(); ++g)
            if (groups.at(g).label == label)
                return g;
        return -1;
    }
    // A field of the panel by its name and number: FillGroup, FillSeparately (by group), FillBlank (by blank).
    template<typename T = QLineEdit>
    T *field(const char *name, int number)
    {
        return commands()->panel()->findChild<T *>(QLatin1StringView(name) + QString::number(number));
    }
    QLineEdit *groupField(const QString &label) { return field("FillGroup", group(label)); }

    CallLog log;
    FakeHtmlView html{log};
    FakeMessageBox messages{log};
    FakeDesktop desktop{log};
    QVariant pageAnswer = Page;
    QWidget window;
    DocumentCommands documents{&html, &messages, &desktop, &window};
};

} // namespace

class DocumentCommandsTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void copy_putsHtmlAndTextOnTheClipboard();
    void save_proposesTheHeadingThenRemembersTheFolder();
    void save_failures_data();
    void save_failures();
    void fill_aGroupFillsEveryPlaceAsDataAndClosingRestores();
    void fill_placeByPlace();
    void fill_anotherPageEndsItAJumpDoesNot();
};

void DocumentCommandsTest::copy_putsHtmlAndTextOnTheClipboard()
{
    // How each form looks is the clipboard format's own test; here, that the
    // page's document is the one that goes, in both forms.
    Rig rig;
    QGuiApplication::clipboard()->clear();
    rig.commands()->copy();
    const ModelDocument page = ModelDocument::fromJson(QJsonDocument::fromJson(Page.toUtf8()).object());
    const QMimeData *mime = QGuiApplication::clipboard()->mimeData();
    QVERIFY(mime);
    QCOMPARE(mime->html(), clipboardHtml(page));
    QCOMPARE(mime->text(), clipboardText(page));
}

void DocumentCommandsTest::save_proposesTheHeadingThenRemembersTheFolder()
{
    Rig rig;
    QTemporaryDir dir;
    rig.desktop.docxAnswer = dir.filePath(u"调解书.docx"_s);
    rig.commands()->saveAsDocx();
    rig.commands()->saveAsDocx();
    QCOMPARE(rig.log.starting(u"desktop.askDocx"),
             (QStringList{u"desktop.askDocx 民事调解书（第一审程序用）.docx"_s,
                          u"desktop.askDocx "_s + dir.path() + u"/民事调解书（第一审程序用）.docx"_s}));
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
    const QString unwritten = u"另存为 Word 文档失败：无法写入所选文件。"_s;
    QTest::newRow("cancelled_nothingSaid") << QString() << QVariant(Page) << QString() << false;
    QTest::newRow("missing folder_saysItCouldNotWrite")
        << u"/nonexistent-juanzong/x.docx"_s << QVariant(Page) << unwritten << false;
    // The old file at the answer is untouched, and what a killed save left goes.
    QTest::newRow("full disk_saysItCouldNotWrite") << u"old.docx"_s << QVariant(Page) << unwritten << true;
    const QString unreadable = u"无法读取当前页面中的范本，请等页面显示完整后再试。"_s;
    QTest::newRow("page without answer_saysItCouldNotRead") << u"never.docx"_s << QVariant() << unreadable << false;
    QTest::newRow("answer without its document's number_saysItCouldNotRead")
        << u"never.docx"_s << QVariant(u"{\"heading\": \"民事调解书\", \"paragraphs\": []}"_s) << unreadable
        << false;
}

void DocumentCommandsTest::save_failures()
{
    QFETCH(QString, answer);
    QFETCH(QVariant, page);
    QFETCH(QString, message);
    QFETCH(bool, diskFull);
    QTemporaryDir dir; // where a relative answer is put
    Rig rig;
    rig.pageAnswer = page;
    rig.desktop.docxAnswer = answer.isEmpty() || answer.startsWith(u'/') ? answer : dir.filePath(answer);
    const QByteArray old = "the old document, whole";
    if (diskFull) {
        TestFiles::put(rig.desktop.docxAnswer, old);
        TestFiles::put(dir.filePath(u"other.docx.new-"_s + TestFiles::endedProcessId() + u"-1a2b"_s), "PK");
        QVERIFY(TestFiles::onAFullDisk([&] { rig.commands()->saveAsDocx(); }));
    } else {
        rig.commands()->saveAsDocx();
    }
    QCOMPARE(rig.log.starting(u"box"), message.isEmpty() ? QStringList() : QStringList{u"box 提示|"_s + message});
    QCOMPARE(TestFiles::entriesOf(dir.path()), diskFull ? QStringList{answer} : QStringList());
    if (diskFull)
        QCOMPARE(TestFiles::contentOf(rig.desktop.docxAnswer), old);
}

void DocumentCommandsTest::fill_aGroupFillsEveryPlaceAsDataAndClosingRestores()
{
    Rig rig;
    rig.commands()->fillIn();
    FillPanel *panel = rig.commands()->panel();
    QVERIFY(panel && panel->isVisible());
    QLineEdit *plaintiff = rig.groupField(u"原告 ×××"_s);
    QVERIFY(plaintiff);
    const QString value = u"</script><b>\"x\"');alert(1)//"_s;
    type(plaintiff, value);
    // Every place of the plaintiff's name, in unit 1 as the page named it; what
    // was typed reaches the script only inside a JSON string, intact.
    QVERIFY(rig.lastScript().contains(u"return show(1, "_s));
    QCOMPARE(rig.shownFills(), (QStringList{u"3:3:3="_s + value, u"4:2:3="_s + value, u"4:24:3="_s + value}));
    QVERIFY(!rig.lastScript().contains(u"<b>\"x\""_s));

    // Asked again for the same document, the panel keeps what was typed.
    rig.commands()->fillIn();
    QCOMPARE(plaintiff->text(), value);
    QCOMPARE(rig.shownFills().size(), 3);

    panel->findChild<QPushButton *>(u"FillClose"_s)->click();
    QVERIFY(!panel->isVisible());
    QVERIFY(rig.lastScript().contains(u"return restore();"_s));
}

void DocumentCommandsTest::fill_placeByPlace()
{
    Rig rig;
    rig.commands()->fillIn();
    FillPanel *panel = rig.commands()->panel();
    const int group = rig.group(u"原告 ×××"_s);
    // A bare "……" means something else at each place: offered one by one.
    const int dots = rig.group(u"……"_s);
    QVERIFY(rig.field<QCheckBox>("FillSeparately", dots)->isChecked());
    QVERIFY(!rig.field("FillGroup", dots)->isEnabled());
    QVERIFY(!rig.field<QCheckBox>("FillSeparately", group)->isChecked());

    rig.field<QCheckBox>("FillSeparately", group)->setChecked(true);
    const int last = panel->fillIn().groups().at(group).occurrences.last();
    type(rig.field("FillBlank", last), u"李四"_s);
    QCOMPARE(rig.shownFills(), QStringList{u"4:24:3=李四"_s});
    // Back to one value for all: the one typed stands for the group.
    rig.field<QCheckBox>("FillSeparately", group)->setChecked(false);
    QCOMPARE(rig.shownFills(), (QStringList{u"3:3:3=李四"_s, u"4:2:3=李四"_s, u"4:24:3=李四"_s}));
    panel->hide();
}

void DocumentCommandsTest::fill_anotherPageEndsItAJumpDoesNot()
{
    Rig rig;
    rig.commands()->fillIn();
    FillPanel *panel = rig.commands()->panel();
    type(rig.groupField(u"原告 ×××"_s), u"张三"_s);
    rig.html.show(u"/srv/juanzong/ws/juanzongfanben-10.html"_s); // a jump to #ws2
    QVERIFY(panel->isVisible());
    // The same page loaded afresh gets its values again.
    rig.html.loaded(true);
    QVERIFY(rig.lastScript().contains(u"return show(1, "_s));
    rig.html.show(u"/srv/juanzong/ws/juanzongfanben-11.html"_s);
    QVERIFY(!panel->isVisible());
    QVERIFY(rig.lastScript().contains(u"return restore();"_s));
}

QTEST_MAIN(DocumentCommandsTest)
#include "tst_documentcommands.moc"
