// SPDX-License-Identifier: GPL-3.0-or-later
// Finding the blanks of a model document, grouping them, and filling them in.
#include "document/placeholders.h"

#include <QTest>

using namespace Juanzong;
using namespace Qt::StringLiterals;

namespace {

// "text@party" for every blank of a paragraph, in order.
QStringList blanksOf(const QString &text)
{
    QStringList out;
    for (const Placeholder &p : findPlaceholders(text)) {
        if (text.mid(p.start, p.length) != p.text)
            return {u"offsets do not match the text"_s};
        out.append(p.party.isEmpty() ? p.text : p.text + u'@' + p.party);
    }
    return out;
}

ModelDocument judgment()
{
    ModelDocument doc;
    doc.heading = u"民事判决书"_s;
    doc.paragraphs = {
        {Paragraph::Role::Court, u"××××人民法院"_s, {}},
        {Paragraph::Role::Body, u"原告：×××，男/女，××××年××月××日出生。"_s, {}},
        {Paragraph::Role::Body, u"被告：×××，住……。"_s, {}},
        {Paragraph::Role::Body, u"原告×××与被告×××……（写明案由）一案，原告×××撤诉。"_s, {}},
        {Paragraph::Role::Sign, u"审判长　×××"_s, {}},
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
    QTest::newRow("no blank_nothing") << u"本院认为，应予准许。"_s << QStringList();
    QTest::newRow("cross run_oneBlank") << u"第××条"_s << QStringList{u"××"_s};
    QTest::newRow("date_oneBlankWithItsUnits") << u"于××××年××月××日立案"_s << QStringList{u"××××年××月××日"_s};
    QTest::newRow("court date_keepsTheCentury") << u"二〇××年××月××日"_s << QStringList{u"二〇××年××月××日"_s};
    QTest::newRow("time range_twoBlanks") << u"××时××分至××时××分"_s << QStringList{u"××时××分"_s, u"××时××分"_s};
    QTest::newRow("count before unit_unitStaysOut") << u"××年以上"_s << QStringList{u"××"_s};
    QTest::newRow("ellipsis with hint_oneBlank") << u"被告……（写明案由）一案"_s << QStringList{u"……（写明案由）"_s};
    QTest::newRow("hint with dots inside_oneBlank") << u"（写明……）"_s << QStringList{u"（写明……）"_s};
    QTest::newRow("bracket that is no hint_onlyItsCrosses") << u"（××××）……民初……号"_s
                                                          << QStringList{u"××××"_s, u"……"_s, u"……"_s};
    QTest::newRow("seal_noBlank") << u"（院印）"_s << QStringList();
    QTest::newRow("party before name_belongsToIt") << u"原告×××与被告×××"_s
                                                  << QStringList{u"×××@原告"_s, u"×××@被告"_s};
    QTest::newRow("colon and full-width space_stillTheParty") << u"原告：×××；审判长　×××"_s
                                                             << QStringList{u"×××@原告"_s, u"×××@审判长"_s};
    QTest::newRow("longer party first_appelleeNotAppellant") << u"被上诉人×××"_s << QStringList{u"×××@被上诉人"_s};
    QTest::newRow("date after party_noParty") << u"原告××××年××月××日"_s << QStringList{u"××××年××月××日"_s};
    QTest::newRow("unclosed bracket_skipped") << u"（写明×"_s << QStringList{u"×"_s};
    QTest::newRow("alternative wording in brackets_oneBlank")
        << u"判决如下（或者写明：裁定如下）："_s << QStringList{u"（或者写明：裁定如下）"_s};
    QTest::newRow("official alternative_wholeBracket")
        << u"住……【如系法人，则写为：住所地……】。"_s << QStringList{u"……"_s, u"【如系法人，则写为：住所地……】"_s};
    QTest::newRow("square bracket that is no hint_onlyItsDots") << u"【注意】……"_s << QStringList{u"……"_s};
    QTest::newRow("gaps of full-width spaces between words")
        << u"鉴定费　　元，由　　　负担"_s << QStringList{u"　　"_s, u"　　　"_s};
    QTest::newRow("one space, or spaces beside a blank or at the end_noGap")
        << u"审判长　张三；审判员　　×××；完　　"_s << QStringList{u"×××@审判员"_s};
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
        groups.append(g.label + u'=' + QString::number(g.occurrences.size()) + (g.placeByPlace ? u" apart"_s : QString()));
    QCOMPARE(groups, (QStringList{u"××××=1"_s, u"原告 ×××=3"_s, u"××××年××月××日=1"_s, u"被告 ×××=2"_s,
                                  u"……=1 apart"_s, u"……（写明案由）=1"_s, u"审判长 ×××=1"_s}));
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
    const QString p1 = u"原告：×××，男/女，××××年××月××日出生。"_s;
    const QString p2 = u"被告：×××，住……。"_s;
    QTest::newRow("nothing filled_templateUnchanged")
        << u""_s << QStringList{u"××××人民法院"_s, p1, p2, u"原告×××与被告×××……（写明案由）一案，原告×××撤诉。"_s};
    QTest::newRow("group filled_everyOccurrence")
        << u"group 1 张三"_s
        << QStringList{u"××××人民法院"_s, u"原告：张三，男/女，××××年××月××日出生。"_s, p2,
                       u"原告张三与被告×××……（写明案由）一案，原告张三撤诉。"_s};
    QTest::newRow("one occurrence_onlyThatOne")
        << u"blank 2 张三"_s
        << QStringList{u"××××人民法院"_s, p1, p2, u"原告×××与被告×××……（写明案由）一案，原告张三撤诉。"_s};
    QTest::newRow("two blanks in one paragraph_offsetsHold")
        << u"group 3 李四;group 5 借款合同纠纷"_s
        << QStringList{u"××××人民法院"_s, p1, u"被告：李四，住……。"_s, u"原告×××与被告李四借款合同纠纷一案，原告×××撤诉。"_s};
    QTest::newRow("markup typed_keptAsText")
        << u"group 0 <i>&\"x\""_s
        << QStringList{u"<i>&\"x\"人民法院"_s, p1, p2, u"原告×××与被告×××……（写明案由）一案，原告×××撤诉。"_s};
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
    QCOMPARE(fill.context(plaintiff.at(0)), u"原告：〔×××〕，男/女，×××…"_s);
    QCOMPARE(fill.context(plaintiff.at(2)), u"…案由）一案，原告〔×××〕撤诉。"_s);
    fill.setValue(plaintiff.at(0), u"张三"_s);
    QCOMPARE(fill.groupValue(1), QString());
    fill.setGroupValue(1, u"张三"_s);
    QCOMPARE(fill.groupValue(1), u"张三"_s);
    // Told what is still empty, the reader sees the sentence as it was filled.
    const int after = plaintiff.at(0) + 1;
    QCOMPARE(fill.context(after), u"…×××，男/女，〔××××年××月××日〕出生。"_s);
    QCOMPARE(fill.context(after, FillIn::Values::Shown), u"…：张三，男/女，〔××××年××月××日〕出生。"_s);
    fill.setValue(after, u"1980年1月2日"_s);
    QCOMPARE(fill.context(plaintiff.at(0), FillIn::Values::Shown), u"原告：〔×××〕，男/女，198…"_s);
}

QTEST_APPLESS_MAIN(PlaceholdersTest)
#include "tst_placeholders.moc"
