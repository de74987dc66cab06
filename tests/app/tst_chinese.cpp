// SPDX-License-Identifier: GPL-3.0-or-later
// Qt's own dialogs and menus speak Chinese whatever the system's language.
#include "app/chinese.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QWebEnginePage>

#include <memory>
#include <unistd.h>

using namespace Qt::StringLiterals;

class ChineseTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void qtTexts_data();
    void qtTexts();
};

void ChineseTest::initTestCase()
{
    // The system's language as on an English desktop.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QVERIFY(Juanzong::loadChineseTranslations(*qApp));
}

void ChineseTest::qtTexts_data()
{
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("expected");
    QFileDialog dialog(nullptr, u"另存为PDF"_s);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    auto *buttons = dialog.findChild<QDialogButtonBox *>();
    QVERIFY(buttons);
    const auto label = [&](const char *name) {
        const auto *l = dialog.findChild<QLabel *>(QLatin1StringView(name));
        return l ? l->text() : u"(none)"_s;
    };
    QTest::newRow("save dialog, where") << label("lookInLabel") << u"查找范围："_s;
    QTest::newRow("save dialog, file name") << label("fileNameLabel") << u"文件名称(&N)："_s;
    QTest::newRow("save dialog, save") << buttons->button(QDialogButtonBox::Save)->text() << u"保存(&S)"_s;
    QTest::newRow("save dialog, cancel") << buttons->button(QDialogButtonBox::Cancel)->text() << u"取消"_s;
    QLineEdit edit;
    std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    QStringList entries;
    for (const QAction *action : menu->actions())
        if (!action->isSeparator())
            entries << action->text().section(u'\t', 0, 0);
    QTest::newRow("search box's menu") << entries.join(u'|') << u"撤消(&U)|重做(&R)|剪切(&T)|复制(&C)|粘贴(&P)|删除|全选"_s;
    QWebEnginePage page;
    QTest::newRow("page's copy") << page.action(QWebEnginePage::Copy)->text() << u"复制"_s;
    QTest::newRow("page's select all") << page.action(QWebEnginePage::SelectAll)->text() << u"全选"_s;
}

void ChineseTest::qtTexts()
{
    QFETCH(QString, shown);
    QFETCH(QString, expected);
    QCOMPARE(shown, expected);
}

int main(int argc, char *argv[])
{
    if (::geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication app(argc, argv);
    ChineseTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_chinese.moc"
