// SPDX-License-Identifier: GPL-3.0-or-later
// The case sheet's checks and its file: what is written reads back, and what
// is no case sheet of ours is refused with a reason.
#include "casefile/casefile.h"
#include "samplecase.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Juanzong;
using namespace Qt::StringLiterals;

class CaseFileTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void validate_data();
    void validate();
    void roundTrip_keepsEveryField();
    void refuse_data();
    void refuse();
};

void CaseFileTest::validate_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QStringList>("wrong"); // fields with a message
    QTest::newRow("sample_noMessage") << QString() << QString() << QStringList();
    QTest::newRow("year of two digits") << u"year"_s << u"26"_s << QStringList{u"caseNumber.year"_s};
    QTest::newRow("basic court code_ok") << u"courtCode"_s << u"沪0115"_s << QStringList();
    QTest::newRow("high court code_ok") << u"courtCode"_s << u"京"_s << QStringList();
    QTest::newRow("court code of three digits") << u"courtCode"_s << u"京010"_s << QStringList{u"caseNumber.courtCode"_s};
    QTest::newRow("latin type code") << u"typeCode"_s << u"mc"_s << QStringList{u"caseNumber.typeCode"_s};
    QTest::newRow("number with a leading zero") << u"number"_s << u"0123"_s << QStringList{u"caseNumber.number"_s};
    QTest::newRow("number left out_partsIncomplete") << u"number"_s << QString() << QStringList{u"caseNumber"_s};
    QTest::newRow("filed 31 February") << u"filed"_s << u"2026-02-31"_s << QStringList{u"filed"_s};
    QTest::newRow("filed with slashes_ok") << u"filed"_s << u"2026/3/5"_s << QStringList();
    QTest::newRow("filed mixed forms") << u"filed"_s << u"2026年3-5"_s << QStringList{u"filed"_s};
    QTest::newRow("hearing before filing") << u"hearing"_s << u"2026-03-01"_s << QStringList{u"hearing"_s};
    QTest::newRow("birth in the future") << u"birthDate"_s << u"2999-01-01"_s << QStringList{u"parties.0.birthDate"_s};
    QTest::newRow("sex other than 男女") << u"sex"_s << u"M"_s << QStringList{u"parties.0.sex"_s};
}

void CaseFileTest::validate()
{
    QFETCH(QString, field);
    QFETCH(QString, value);
    QFETCH(QStringList, wrong);
    CaseSheet sheet = Testing::twoPlaintiffsCase();
    QString *target = field == u"year"       ? &sheet.caseNumber.year
                    : field == u"courtCode"  ? &sheet.caseNumber.courtCode
                    : field == u"typeCode"   ? &sheet.caseNumber.typeCode
                    : field == u"number"     ? &sheet.caseNumber.number
                    : field == u"filed"      ? &sheet.filed
                    : field == u"hearing"    ? &sheet.hearing
                    : field == u"birthDate"  ? &sheet.parties[0].birthDate
                    : field == u"sex"        ? &sheet.parties[0].sex
                                             : nullptr;
    if (target)
        *target = value;
    QStringList fields;
    for (const FieldMessage &m : Juanzong::validate(sheet)) {
        QVERIFY(!m.message.isEmpty());
        fields.append(m.field);
    }
    QCOMPARE(fields, wrong);
}

void CaseFileTest::roundTrip_keepsEveryField()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"案件.json"_s);
    CaseSheet sheet = Testing::twoPlaintiffsCase();
    sheet.parties[2].name = u"北京某\"贸易\"有限公司"_s;
    QString error;
    QVERIFY2(writeCaseFile(path, sheet, &error), qPrintable(error));
    const std::optional<CaseSheet> read = readCaseFile(path, &error);
    QVERIFY2(read, qPrintable(error));
    QCOMPARE(*read, sheet);
    QCOMPARE(read->caseNumber.text(), u"（2026）京0108民初1234号"_s);
}

void CaseFileTest::refuse_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");
    const QByteArray good = caseSheetJson(Testing::twoPlaintiffsCase());
    auto replaced = [&good](const char *from, const char *to) { return QByteArray(good).replace(from, to); };
    QTest::newRow("empty file") << QByteArray() << u"不是案件信息文件"_s;
    QTest::newRow("plain text") << QByteArray("原告张三") << u"不是案件信息文件"_s;
    QTest::newRow("other JSON") << QByteArray(R"({"name": "x", "version": 1})") << u"不是案件信息文件"_s;
    QTest::newRow("JSON array") << QByteArray("[1, 2]") << u"不是案件信息文件"_s;
    QTest::newRow("truncated") << good.left(good.size() / 2) << u"不完整"_s;
    QTest::newRow("truncated at the end") << good.chopped(3) << u"不完整"_s;
    QTest::newRow("later version") << replaced("\"version\": 1", "\"version\": 2") << u"较新版本"_s;
    QTest::newRow("version as text") << replaced("\"version\": 1", "\"version\": \"1\"") << u"版本号"_s;
    QTest::newRow("court a number") << replaced("\"court\": \"北京市海淀区人民法院\"", "\"court\": 7") << u"“court”"_s;
    QTest::newRow("parties an object") << replaced("\"parties\": [", "\"parties\": 5, \"x\": [") << u"“parties”"_s;
    QTest::newRow("party a string") << replaced("\"parties\": [", "\"parties\": [\"x\", ") << u"“parties.0”"_s;
    QTest::newRow("unknown party kind") << replaced("\"organisation\"", "\"robot\"") << u"“parties.2.kind”"_s;
    QTest::newRow("agent name a list") << replaced("\"name\": \"李四\"", "\"name\": [\"李四\"]")
                                       << u"“parties.0.agents.0.name”"_s;
    QByteArray huge = good;
    huge.insert(good.indexOf("\"court\""), "\"padding\": \"" + QByteArray(2 * 1024 * 1024, 'x') + "\", ");
    QTest::newRow("2 MB") << huge << u"过大"_s;
}

void CaseFileTest::refuse()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"bad.json"_s);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    QString error;
    QVERIFY(!readCaseFile(path, &error));
    QVERIFY2(error.contains(reason), qPrintable(error));
}

QTEST_GUILESS_MAIN(CaseFileTest)
#include "tst_casefile.moc"
