// SPDX-License-Identifier: GPL-3.0-or-later
// The fill panel with a case sheet open: the blanks the case knows hold its
// values, marked as coming from it, until the user types over them.
#include "caseui/caseui.h"
#include "caseui/casesheetdialog.h"
#include "documentui/fillpanel.h"

#include "samplecase.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

using namespace Juanzong;
using namespace Qt::StringLiterals;

class CaseUiTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void panel_data();
    void panel();
    void typedOver_markGoes();

private:
    QWidget m_window;
    FillIn m_fillIn;
};

void CaseUiTest::initTestCase()
{
    CaseUi::install(&m_window, nullptr, [] { return QString(); });
    m_window.findChild<QAction *>(u"CaseSheetAction"_s)->trigger();
    auto *sheet = m_window.findChild<CaseSheetDialog *>();
    QVERIFY(sheet);
    sheet->setSheet(Testing::twoPlaintiffsCase());
    ModelDocument document;
    document.paragraphs = {{Paragraph::Role::Court, u"××××人民法院"_s, {}},
                           {Paragraph::Role::Body, u"原告×××与被告×××……（写明案由）一案，×××辩称。"_s, {}},
                           {Paragraph::Role::Sign, u"审判长　×××"_s, {}}};
    m_fillIn = FillIn(document);
}

void CaseUiTest::panel_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("value"); // empty: left to the user, unmarked
    QTest::newRow("court") << u"××××"_s << u"北京市海淀区"_s;
    QTest::newRow("plaintiffs") << u"原告 ×××"_s << u"张三、王芳"_s;
    QTest::newRow("cause") << u"……（写明案由）"_s << u"买卖合同纠纷"_s;
    QTest::newRow("presiding judge") << u"审判长 ×××"_s << u"赵六"_s;
    QTest::newRow("name without a role") << u"×××"_s << QString();
}

void CaseUiTest::panel()
{
    QFETCH(QString, label);
    QFETCH(QString, value);
    FillPanel panel;
    panel.setFillIn(m_fillIn);
    int group = -1;
    for (int g = 0; g < m_fillIn.groups().size(); ++g)
        if (m_fillIn.groups().at(g).label == label)
            group = g;
    QVERIFY2(group >= 0, qPrintable(label));
    const QString name = u"FillGroup"_s + QString::number(group);
    QCOMPARE(panel.findChild<QLineEdit *>(name)->text(), value);
    QCOMPARE(panel.fillIn().groupValue(group), value);
    const auto *mark = panel.findChild<QLabel *>(name + u"FromCase");
    QCOMPARE(mark != nullptr, !value.isEmpty());
    if (mark)
        QCOMPARE(mark->text(), u"来自案件信息"_s);
}

void CaseUiTest::typedOver_markGoes()
{
    FillPanel panel;
    panel.setFillIn(m_fillIn);
    auto *court = panel.findChild<QLineEdit *>(u"FillGroup0"_s);
    const auto *mark = panel.findChild<QLabel *>(u"FillGroup0FromCase"_s);
    QVERIFY(court && mark);
    QVERIFY(!mark->isHidden());
    QTest::keyClick(court, Qt::Key_Backspace);
    QVERIFY(mark->isHidden());
    QCOMPARE(panel.fillIn().groupValue(0), u"北京市海淀"_s);
}

QTEST_MAIN(CaseUiTest)
#include "tst_caseui.moc"
