// SPDX-License-Identifier: GPL-3.0-or-later
// The case sheet as the user types it: messages beside the fields, the file
// saved and opened again, and a bad file that leaves the sheet as it was.
#include "caseui/casesheetdialog.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace Juanzong;
using namespace Qt::StringLiterals;

namespace {

// Chinese arrives through an input method, committed as a whole: as edited text.
void type(QLineEdit *edit, const QString &text)
{
    edit->setText(edit->text() + text);
    Q_EMIT edit->textEdited(edit->text());
}

} // namespace

class CaseSheetDialogTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void message_data();
    void message();
    void saveAndOpen_keepsWhatWasTyped();
    void openRefused_sheetShownStays();
};

void CaseSheetDialogTest::message_data()
{
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("label");
    QTest::addColumn<bool>("shown");
    QTest::newRow("year of two digits") << u"CaseYear"_s << u"26"_s << u"caseNumber.year"_s << true;
    QTest::newRow("year of four_noMessage") << u"CaseYear"_s << u"2026"_s << u"caseNumber.year"_s << false;
    QTest::newRow("court code in latin") << u"CaseCourtCode"_s << u"BJ0108"_s << u"caseNumber.courtCode"_s << true;
    QTest::newRow("filed 30 February") << u"CaseFiled"_s << u"2026-02-30"_s << u"filed"_s << true;
    QTest::newRow("party's birth in month 13") << u"CasePartyBirth"_s << u"1980-13-01"_s << u"party.birthDate"_s << true;
    QTest::newRow("party's birth_ok") << u"CasePartyBirth"_s << u"1980年1月2日"_s << u"party.birthDate"_s << false;
}

void CaseSheetDialogTest::message()
{
    QFETCH(QString, edit);
    QFETCH(QString, typed);
    QFETCH(QString, label);
    QFETCH(bool, shown);
    CaseSheetDialog dialog;
    dialog.show();
    dialog.findChild<QPushButton *>(u"CasePartyAdd"_s)->click();
    auto *field = dialog.findChild<QLineEdit *>(edit);
    QVERIFY(field);
    type(field, typed);
    const auto *message = dialog.findChild<QLabel *>(u"CaseMessage:"_s + label);
    QVERIFY(message);
    QCOMPARE(message->isVisible(), shown);
    QCOMPARE(message->text().isEmpty(), !shown);
}

void CaseSheetDialogTest::saveAndOpen_keepsWhatWasTyped()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"案件.json"_s);
    CaseSheetDialog typing;
    typing.show();
    type(typing.findChild<QLineEdit *>(u"CaseCourt"_s), u"北京市海淀区人民法院"_s);
    for (auto [name, text] : {std::pair{"CaseYear", u"2026"_s}, std::pair{"CaseCourtCode", u"京0108"_s},
                              std::pair{"CaseTypeCode", u"民初"_s}, std::pair{"CaseSerial", u"1234"_s}})
        type(typing.findChild<QLineEdit *>(QLatin1StringView(name)), text);
    auto *add = typing.findChild<QPushButton *>(u"CasePartyAdd"_s);
    add->click();
    type(typing.findChild<QLineEdit *>(u"CasePartyName"_s), u"张三"_s);
    add->click(); // the second party defaults to the other side
    type(typing.findChild<QLineEdit *>(u"CasePartyName"_s), u"李四"_s);
    QCOMPARE(typing.findChild<QLabel *>(u"CaseNumberShown"_s)->text(), u"显示为：（2026）京0108民初1234号"_s);
    QVERIFY(typing.saveFile(path));

    CaseSheetDialog reading;
    QVERIFY(reading.openFile(path));
    QCOMPARE(reading.sheet(), typing.sheet());
    QCOMPARE(reading.sheet().parties.size(), 2);
    QCOMPARE(reading.sheet().parties.at(1).role, u"被告"_s);
    QCOMPARE(reading.findChild<QListWidget *>(u"CaseParties"_s)->item(1)->text(), u"被告　李四"_s);
}

void CaseSheetDialogTest::openRefused_sheetShownStays()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"旧版本.json"_s);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(R"({"format": "juanzong-case", "version": 9, "court": "另一法院"})");
    file.close();
    CaseSheet shown;
    shown.court = u"北京市海淀区人民法院"_s;
    CaseSheetDialog dialog;
    dialog.setSheet(shown);
    QVERIFY(!dialog.openFile(path));
    QCOMPARE(dialog.sheet(), shown);
    QCOMPARE(dialog.findChild<QLineEdit *>(u"CaseCourt"_s)->text(), shown.court);
    QVERIFY2(dialog.findChild<QLabel *>(u"CaseStatus"_s)->text().contains(u"较新版本"_s),
             qPrintable(dialog.findChild<QLabel *>(u"CaseStatus"_s)->text()));
}

QTEST_MAIN(CaseSheetDialogTest)
#include "tst_casesheetdialog.moc"
