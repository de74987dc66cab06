// SPDX-License-Identifier: GPL-3.0-or-later
// Finding the blanks of a model document, grouping them, and filling them in.
#include "document/placeholders.h"

#include <QTest>

using namespace Juanzong;

namespace {

// "text@party" for every blank of a paragraph, in order.
QStringList blanksOf(const QString &text)
{
    QStringList out;
    for (const Placeholder &p : findPlaceholders(text)) {
        if (text.mid(p.start, p.length) != p.text)
            return {u"offsets do not match the text"_qs};
        out.append(p.party.isEmpty() ? p.text : p.text + u'@' + p.party);
    }
    return out;
}

ModelDocument judgment()
{
    ModelDocument doc;
    doc.heading = u"民事判决书"_qs;
    doc.paragraphs = {
        {Paragraph::Role::Court, u"××××人民法院"_qs, {}},
        {Paragraph::Role::Body, u"原告：×××，男/女，××××年××月××日出生。"_qs, {}},
        {Paragraph::Role::Body, u"被告：×××，住……。"_qs, {}},
        {Paragraph::Role::Body, u"原告×××与被告×××……（写明案由）一案，原告×××撤诉。"_qs, {}},
        {Paragraph::Role::Sign, u"审判长　×××"_qs, {}},
    };
    return doc;
}

} // namespace

class PlaceholdersTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void find_data();
    void find();
    void groups_namesByPartyOthersByText();
    void fill_data();
    void fill();
    void context_marksTheBlankInItsSentence();
};

void PlaceholdersTest::find_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("blanks");
    QTest::newRow("no blank_nothing") << u"本院认为，应予准许。"_qs << QStringList();
    QTest::newRow("cross run_oneBlank") << u"第××条"_qs << QStringList{u"××"_qs};
    QTest::newRow("date_oneBlankWithItsUnits") << u"于××××年××月××日立案"_qs << QStringList{u"××××年××月××日"_qs};
    QTest::newRow("court date_keepsTheCentury") << u"二〇××年××月××日"_qs << QStringList{u"二〇××年××月××日"_qs};
    QTest::newRow("time range_twoBlanks") << u"××时××分至××时××分"_qs << QStringList{u"××时××分"_qs, u"××时××分"_qs};
    QTest::newRow("count before unit_unitStaysOut") << u"××年以上"_qs << QStringList{u"××"_qs};
    QTest::newRow("ellipsis_oneBlank") << u"住……。"_qs << QStringList{u"……"_qs};
    QTest::newRow("ellipsis with hint_oneBlank") << u"被告……（写明案由）一案"_qs << QStringList{u"……（写明案由）"_qs};
    QTest::newRow("hint alone_oneBlank") << u"（以上写明当事人的基本信息）"_qs
                                       << QStringList{u"（以上写明当事人的基本信息）"_qs};
    QTest::newRow("hint with dots inside_oneBlank") << u"（写明……）"_qs << QStringList{u"（写明……）"_qs};
    QTest::newRow("bracket that is no hint_onlyItsCrosses") << u"（××××）……民初……号"_qs
                                                          << QStringList{u"××××"_qs, u"……"_qs, u"……"_qs};
    QTest::newRow("seal_noBlank") << u"（院印）"_qs << QStringList();
    QTest::newRow("party before name_belongsToIt") << u"原告×××与被告×××"_qs
                                                  << QStringList{u"×××@原告"_qs, u"×××@被告"_qs};
    QTest::newRow("colon and full-width space_stillTheParty") << u"原告：×××；审判长　×××"_qs
                                                             << QStringList{u"×××@原告"_qs, u"×××@审判长"_qs};
    QTest::newRow("longer party first_appelleeNotAppellant") << u"被上诉人×××"_qs << QStringList{u"×××@被上诉人"_qs};
    QTest::newRow("date after party_noParty") << u"原告××××年××月××日"_qs << QStringList{u"××××年××月××日"_qs};
    QTest::newRow("unclosed bracket_skipped") << u"（写明×"_qs << QStringList{u"×"_qs};
}

void PlaceholdersTest::find()
{
    QFETCH(QString, text);
    QFETCH(QStringList, blanks);
    QCOMPARE(blanksOf(text), blanks);
}

void PlaceholdersTest::groups_namesByPartyOthersByText()
{
    const FillIn fill(judgment());
    QStringList groups;
    for (const PlaceholderGroup &g : fill.groups())
        groups.append(g.label + u'=' + QString::number(g.occurrences.size()) + (g.placeByPlace ? u" apart"_qs : QString()));
    QCOMPARE(groups, (QStringList{u"××××=1"_qs, u"原告 ×××=3"_qs, u"××××年××月××日=1"_qs, u"被告 ×××=2"_qs,
                                  u"……=1 apart"_qs, u"……（写明案由）=1"_qs, u"审判长 ×××=1"_qs}));
    // Occurrences are in reading order and point at their paragraphs.
    const QList<int> plaintiff = fill.groups().at(1).occurrences;
    QCOMPARE(fill.placeholders().at(plaintiff.at(0)).paragraph, 1);
    QCOMPARE(fill.placeholders().at(plaintiff.at(2)).paragraph, 3);
    QVERIFY(fill.placeholders().at(plaintiff.at(1)).start < fill.placeholders().at(plaintiff.at(2)).start);
}

void PlaceholdersTest::fill_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QStringList>("texts");
    const QString p1 = u"原告：×××，男/女，××××年××月××日出生。"_qs;
    const QString p2 = u"被告：×××，住……。"_qs;
    QTest::newRow("nothing filled_templateUnchanged")
        << u""_qs << QStringList{u"××××人民法院"_qs, p1, p2, u"原告×××与被告×××……（写明案由）一案，原告×××撤诉。"_qs};
    QTest::newRow("group filled_everyOccurrence")
        << u"group 1 张三"_qs
        << QStringList{u"××××人民法院"_qs, u"原告：张三，男/女，××××年××月××日出生。"_qs, p2,
                       u"原告张三与被告×××……（写明案由）一案，原告张三撤诉。"_qs};
    QTest::newRow("one occurrence_onlyThatOne")
        << u"blank 2 张三"_qs
        << QStringList{u"××××人民法院"_qs, p1, p2, u"原告×××与被告×××……（写明案由）一案，原告张三撤诉。"_qs};
    QTest::newRow("two blanks in one paragraph_offsetsHold")
        << u"group 3 李四;group 5 借款合同纠纷"_qs
        << QStringList{u"××××人民法院"_qs, p1, u"被告：李四，住……。"_qs, u"原告×××与被告李四借款合同纠纷一案，原告×××撤诉。"_qs};
    QTest::newRow("markup typed_keptAsText")
        << u"group 0 <i>&\"x\""_qs
        << QStringList{u"<i>&\"x\"人民法院"_qs, p1, p2, u"原告×××与被告×××……（写明案由）一案，原告×××撤诉。"_qs};
}

void PlaceholdersTest::fill()
{
    QFETCH(QString, how);
    QFETCH(QStringList, texts);
    FillIn fill(judgment());
    for (const QString &step : how.split(u';', Qt::SkipEmptyParts)) {
        const QStringList parts = step.split(u' ');
        if (parts.at(0) == u"group")
            fill.setGroupValue(parts.at(1).toInt(), parts.at(2));
        else
            fill.setValue(fill.groups().at(1).occurrences.at(parts.at(1).toInt()), parts.at(2));
    }
    const ModelDocument filled = fill.filled();
    QStringList out;
    for (qsizetype i = 0; i < texts.size(); ++i)
        out.append(filled.paragraphs.at(i).text);
    QCOMPARE(out, texts);
    QCOMPARE(fill.isEmpty(), how.isEmpty());
    // The template itself is never changed by filling.
    QCOMPARE(fill.document().paragraphs, judgment().paragraphs);
}

void PlaceholdersTest::context_marksTheBlankInItsSentence()
{
    FillIn fill(judgment());
    const QList<int> plaintiff = fill.groups().at(1).occurrences;
    QCOMPARE(fill.context(plaintiff.at(0)), u"原告：〔×××〕，男/女，×××…"_qs);
    QCOMPARE(fill.context(plaintiff.at(2)), u"…案由）一案，原告〔×××〕撤诉。"_qs);
    fill.setValue(plaintiff.at(0), u"张三"_qs);
    QCOMPARE(fill.groupValue(1), QString());
    fill.setGroupValue(1, u"张三"_qs);
    QCOMPARE(fill.groupValue(1), u"张三"_qs);
}

QTEST_APPLESS_MAIN(PlaceholdersTest)
#include "tst_placeholders.moc"
