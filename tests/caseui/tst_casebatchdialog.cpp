// SPDX-License-Identifier: GPL-3.0-or-later
// A case with two plaintiffs and a company as defendant, three documents of
// the sample, one batch: the files are there under their headings, python-docx
// finds the case where the blanks were, and a second run asks before it
// replaces anything.
#include "caseui/casebatchdialog.h"

#include "files.h"
#include "samplecase.h"

#include "core/contentpaths.h"
#include "fulltext/fulltextservice.h"
#include "fulltext/indexbuilder.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>

using namespace Juanzong;
using namespace Qt::StringLiterals;

namespace {

// Headings as the page labels them, the names 另存为 Word 文档… gives them too.
const QStringList Picked = {
    u"范本一　民事判决书（简易程序用）"_s, u"范本一　交纳诉讼费用通知书"_s, u"范本三　训诫笔录"_s, u"范本一　举证通知书"_s,
    u"范本四　证人出庭作证通知书"_s, u"范本三　委托鉴定书"_s, u"范本一　小额诉讼程序告知书"_s,
    u"范本二　民事判决书（小额诉讼程序用）"_s, u"范本三　民事裁定书（简易程序转为普通程序用）"_s,
    u"范本一　决定书（院长决定审判人员回避用）"_s,
};
const QString Judgment = u"范本一　民事判决书（简易程序用）.docx"_s;

void check(QTreeWidget *list, const QStringList &headings)
{
    for (QTreeWidgetItemIterator it(list); *it; ++it)
        if (headings.contains((*it)->text(0)) && ((*it)->flags() & Qt::ItemIsUserCheckable))
            (*it)->setCheckState(0, Qt::Checked);
}

} // namespace

class CaseBatchDialogTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void batch_filesFilledFromTheCase_data();
    void batch_filesFilledFromTheCase();
    void batch_everyFileHoldsTheCase();
    void secondRun_asksAndKeepsTheFiles();
    void narrowed_data();
    void narrowed();

private:
    QTemporaryDir m_dir;
    QList<BatchResult> m_first;
};

void CaseBatchDialogTest::batch_filesFilledFromTheCase_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("paragraphs"); // each present, in this order
    QTest::newRow("judgment_partyParagraphsRepeated")
        << Judgment
        << QStringList{u"北京市海淀区人民法院"_s, u"（2026）京0108民初1234号"_s,
                       u"原告：张三，男，1980年1月2日出生，汉族，无业，住北京市海淀区某路1号。"_s,
                       u"委托诉讼代理人：李四，北京市某律师事务所律师。"_s,
                       u"原告：王芳，女，1985年6月7日出生，回族，某公司职员，住北京市海淀区某路3号。"_s,
                       u"被告：北京某贸易有限公司，住所地北京市朝阳区某街2号。"_s, u"法定代表人：王五，董事长。"_s,
                       u"审判长　赵六"_s, u"审判员　周九"_s, u"人民陪审员　孙八"_s, u"书记员　钱七"_s};
    QTest::newRow("notice") << u"范本一　交纳诉讼费用通知书.docx"_s
                            << QStringList{u"北京市海淀区人民法院"_s, u"（2026）京0108民初1234号"_s};
    QTest::newRow("record") << u"范本三　训诫笔录.docx"_s
                            << QStringList{u"（2026）京0108民初1234号"_s, u"审判长：赵六　书记员：钱七"_s};
}

void CaseBatchDialogTest::batch_filesFilledFromTheCase()
{
    QFETCH(QString, file);
    QFETCH(QStringList, paragraphs);
    if (m_first.isEmpty()) {
        CaseBatchDialog dialog([] { return Testing::twoPlaintiffsCase(); }, QStringLiteral(JUANZONG_PROGRAM_DIR));
        check(dialog.findChild<QTreeWidget *>(u"CaseBatchList"_s), Picked);
        dialog.findChild<QLineEdit *>(u"CaseBatchFolder"_s)->setText(m_dir.path());
        QSignalSpy done(&dialog, &CaseBatchDialog::finished);
        dialog.findChild<QPushButton *>(u"CaseBatchRun"_s)->click();
        QCOMPARE(done.size(), 1);
        m_first = done.at(0).at(0).value<QList<BatchResult>>();
        QCOMPARE(m_first.size(), Picked.size());
        const QString report = dialog.findChild<QPlainTextEdit *>(u"CaseBatchReport"_s)->toPlainText();
        // What the case cannot know is listed for the user: the judgment's claims.
        QVERIFY2(report.contains(u"〔×××〕向本院提出"_s), qPrintable(report));
        // Around a blank, the sentence reads as it was filled.
        QVERIFY2(report.contains(u"…合同纠纷一案，因〔……〕需要鉴定"_s), qPrintable(report));
    }
    QVERIFY2(QFileInfo::exists(m_dir.filePath(file)), qPrintable(QDir(m_dir.path()).entryList().join(u", "_s)));
    const QStringList read = TestFiles::docxParagraphs(m_dir.filePath(file));
    qsizetype from = 0;
    for (const QString &paragraph : paragraphs) {
        const qsizetype at = read.indexOf(paragraph, from);
        QVERIFY2(at >= 0, qPrintable(paragraph + u"\nnot after paragraph " + QString::number(from) + u" of:\n"
                                     + read.join(u'\n')));
        from = at + 1;
    }
}

// All ten files of the batch, as python-docx reads them: the case's number in
// place of "（××××）……民初……号", no name blank left after a party's label.
void CaseBatchDialogTest::batch_everyFileHoldsTheCase()
{
    QCOMPARE(m_first.size(), Picked.size());
    for (const BatchResult &result : std::as_const(m_first)) {
        QVERIFY2(result.written, qPrintable(result.fileName + u": "_s + result.error));
        const QStringList read = TestFiles::docxParagraphs(m_dir.filePath(result.fileName));
        QVERIFY2(read.contains(u"（2026）京0108民初1234号"_s), qPrintable(result.fileName + u'\n' + read.join(u'\n')));
        for (const QString &paragraph : read)
            QVERIFY2(!paragraph.startsWith(u"原告：×"_s) && !paragraph.startsWith(u"被告：×"_s), qPrintable(paragraph));
    }
}

void CaseBatchDialogTest::secondRun_asksAndKeepsTheFiles()
{
    QVERIFY(!m_first.isEmpty());
    const QString judgment = m_dir.filePath(Judgment);
    const QDateTime written = QFileInfo(judgment).lastModified();
    CaseBatchDialog dialog([] { return Testing::twoPlaintiffsCase(); }, QStringLiteral(JUANZONG_PROGRAM_DIR));
    check(dialog.findChild<QTreeWidget *>(u"CaseBatchList"_s), Picked);
    dialog.findChild<QLineEdit *>(u"CaseBatchFolder"_s)->setText(m_dir.path());
    QSignalSpy done(&dialog, &CaseBatchDialog::finished);
    bool asked = false;
    QTimer::singleShot(0, this, [&asked] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        asked = true;
        for (QAbstractButton *b : box->buttons())
            if (b->text() == u"跳过已有文件")
                b->click();
    });
    dialog.findChild<QPushButton *>(u"CaseBatchRun"_s)->click();
    QVERIFY(asked);
    QCOMPARE(done.size(), 1);
    for (const BatchResult &r : done.at(0).at(0).value<QList<BatchResult>>())
        QVERIFY2(r.skipped && !r.written, qPrintable(r.fileName));
    QCOMPARE(QFileInfo(judgment).lastModified(), written);
}

void CaseBatchDialogTest::narrowed_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("fullText");
    QTest::addColumn<bool>("built"); // the index is there when the dialog opens, else built after the typing
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QString>("note");
    QTest::newRow("full text alone_everyDocumentHoldingIt")
        << QString() << u"证人出庭"_s << true
        << QStringList{u"范本一　举证通知书"_s, u"范本四　证人出庭作证通知书"_s, u"范本四　证人出庭作证申请书"_s}
        << u"3 份"_s;
    QTest::newRow("full text and title_both")
        << u"通知书"_s << u"证人出庭"_s << true
        << QStringList{u"范本一　举证通知书"_s, u"范本四　证人出庭作证通知书"_s} << u"3 份"_s;
    QTest::newRow("words in no document_noneShown")
        << QString() << u"卷宗里没有的话"_s << true << QStringList() << u"0 份"_s;
    QTest::newRow("index not built_titleFilterAlone")
        << u"训诫"_s << u"证人出庭"_s << false << QStringList{u"范本三　训诫笔录"_s} << u"尚未建好"_s;
}

void CaseBatchDialogTest::narrowed()
{
    QFETCH(QString, title);
    QFETCH(QString, fullText);
    QFETCH(bool, built);
    QFETCH(QStringList, shown);
    QFETCH(QString, note);
    const QString root = ContentPaths::contentRoot(QStringLiteral(JUANZONG_PROGRAM_DIR));
    FullTextService service([root](const std::atomic_bool &cancelled) { return buildIndex(root, cancelled); });
    QSignalSpy ready(&service, &FullTextService::ready);
    if (built) {
        service.start();
        QVERIFY(ready.wait(60000));
    }
    CaseBatchDialog dialog([] { return CaseSheet(); }, QStringLiteral(JUANZONG_PROGRAM_DIR));
    dialog.setFullTextService(&service);
    auto *list = dialog.findChild<QTreeWidget *>(u"CaseBatchList"_s);
    // Checked before, and kept whether or not a filter shows it.
    const QString kept = u"范本一　交纳诉讼费用通知书"_s;
    check(list, {kept});
    dialog.findChild<QLineEdit *>(u"CaseBatchFilter"_s)->setText(title);
    dialog.findChild<QLineEdit *>(u"CaseBatchFullText"_s)->setText(fullText);
    QStringList got;
    for (QTreeWidgetItemIterator it(list); *it; ++it) {
        bool hidden = false;
        for (QTreeWidgetItem *i = *it; i; i = i->parent())
            hidden = hidden || i->isHidden();
        if (((*it)->flags() & Qt::ItemIsUserCheckable) && !hidden)
            got.append((*it)->text(0));
        if ((*it)->text(0) == kept)
            QCOMPARE((*it)->checkState(0), Qt::Checked);
    }
    QCOMPARE(got, shown);
    const QString said = dialog.findChild<QLabel *>(u"CaseBatchFullTextNote"_s)->text();
    QVERIFY2(said.contains(note), qPrintable(said));
    if (built)
        return;
    // Once the window's index is there, the query typed narrows the list.
    service.start();
    QVERIFY(ready.wait(60000));
    QVERIFY2(!dialog.findChild<QLabel *>(u"CaseBatchFullTextNote"_s)->text().contains(note), "the note stayed");
}

QTEST_MAIN(CaseBatchDialogTest)
#include "tst_casebatchdialog.moc"
