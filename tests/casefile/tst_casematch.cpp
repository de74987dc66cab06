// SPDX-License-Identifier: GPL-3.0-or-later
// Which blanks of the sample's model documents one case fills, and the
// documents written from it. Every match is listed: one too many fails as
// surely as one missing.
#include "casefile/casematch.h"
#include "casefile/templatedocuments.h"
#include "casefile/samplecase.h"

#include <QTest>

using namespace Juanzong;
using namespace Qt::StringLiterals;

namespace {

ModelDocument sampleDocument(const QString &page, const QString &anchor)
{
    for (const TemplateDocument &t : templateDocumentsOfFile(QStringLiteral(JUANZONG_CONTENT_DIR "/") + page))
        if (t.anchor == anchor)
            return t.document;
    return {};
}

// "context → field = value" for every matched blank, in reading order.
QStringList matched(const FillIn &fillIn, const QList<CaseMatch> &matches)
{
    QStringList out;
    for (int i = 0; i < matches.size(); ++i)
        if (!matches.at(i).field.isEmpty())
            out.append(fillIn.context(i) + u" → " + matches.at(i).field + u" = " + matches.at(i).value);
    return out;
}

QStringList texts(const ModelDocument &document)
{
    QStringList out;
    for (const Paragraph &p : document.paragraphs)
        out.append(p.text);
    return out;
}

Paragraph body(const QString &text)
{
    return {Paragraph::Role::Body, text, {}};
}

// A plaintiff's line of the form complaint, caption by caption, as matched.
QStringList personFields(int party, const QStringList &values)
{
    static const std::pair<QStringView, QStringView> fields[] = {
        {u"原告：〔×××〕　性别：……　出…", u"name"},
        {u"…：×××　性别：〔……〕　出生日期：………", u"sex"},
        {u"………　出生日期：〔……〕　民族：……　住…", u"birthDate"},
        {u"…期：……　民族：〔……〕　住所：……　联…", u"ethnicity"},
        {u"…族：……　住所：〔……〕　联系电话：……", u"address"},
    };
    QStringList out;
    for (qsizetype i = 0; i < values.size(); ++i)
        out.append(fields[i].first + u" → parties." + QString::number(party) + u'.' + fields[i].second + u" = "
                   + values.at(i));
    return out;
}

} // namespace

class CaseMatchTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void sample_data();
    void sample();
    void fill_data();
    void fill();
    void matchCase_takesTheDocumentAsItIs();
};

void CaseMatchTest::sample_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("anchor");
    QTest::addColumn<QStringList>("expected");
    const QStringList number = {
        u"（〔××××〕）……民初……号 → caseNumber.year = 2026"_s,
        u"（××××）〔……〕民初……号 → caseNumber.courtCode = 京0108"_s,
        u"…×××）……民初〔……〕号 → caseNumber.number = 1234"_s,
    };
    QTest::newRow("notice_courtNumberCause_notTheAddressee")
        << u"juanzongfanben-13.html"_s << u"ws1"_s
        << QStringList{u"〔××××〕人民法院 → court = 北京市海淀区"_s}
                + number + QStringList{u"…（单位）诉×××〔……（写明案由）〕一案，本院已经受… → cause = 买卖合同纠纷"_s};
    QTest::newRow("record_placeOfHearing_presidingJudgeAndClerk")
        << u"juanzongfanben-12.html"_s << u"ws3"_s
        << number + QStringList{u"地点：〔××××〕人民法院第××法… → court = 北京市海淀区"_s,
                                u"审判长：〔×××〕　书记员：××× → panel.0.name = 赵六"_s,
                                u"…×××　书记员：〔×××〕 → clerk = 钱七"_s};
    // 决定书 below names whom a party wants to step down: never filled from the panel.
    QTest::newRow("recusal record_judgeWhoPresidesIsNoneOfTheJudges")
        << u"juanzongfanben-6.html"_s << u"ws3"_s
        << number + QStringList{u"地点：〔××××〕人民法院第××法… → court = 北京市海淀区"_s,
                                u"告知人：审判员〔×××〕　记录人：书记员… → panel.1.name = 周九"_s,
                                u"…　记录人：书记员〔×××〕 → clerk = 钱七"_s,
                                u"…审判长，与审判员〔×××〕、人民陪审员××… → panel.1.name = 周九"_s,
                                u"…××、人民陪审员〔×××〕组成合议庭，书记… → panel.2.name = 孙八"_s,
                                u"…成合议庭，书记员〔×××〕担任记录。当事人… → clerk = 钱七"_s};
    QTest::newRow("recusal decision_nameOfTheJudgeLeftOpen")
        << u"juanzongfanben-6.html"_s << u"ws1"_s
        << QStringList{u"〔××××〕人民法院 → court = 北京市海淀区"_s} + number
               + QStringList{u"本院在审理原告〔×××〕与被告×××……… → parties.原告.names = 张三、王芳"_s,
                             u"…原告×××与被告〔×××〕……（写明案由）… → parties.被告.names = 北京某贸易有限公司"_s,
                             u"…××与被告×××〔……（写明案由）〕一案中，申请人×… → cause = 买卖合同纠纷"_s};
    // An appeal is another case: its court, dates and panel are not the sheet's.
    QTest::newRow("appeal judgment_onlyCauseAndFirstInstanceNumber")
        << u"juanzongfanben-20.html"_s << u"ws1"_s
        << QStringList{u"…与被上诉人×××〔……（写明案由）〕一案，不服×××… → cause = 买卖合同纠纷"_s,
                       u"…×××人民法院（〔××××〕）……民初……号… → caseNumber.year = 2026"_s,
                       u"…法院（××××）〔……〕民初……号民事判… → caseNumber.courtCode = 京0108"_s,
                       u"…×××）……民初〔……〕号民事判决，向本… → caseNumber.number = 1234"_s};
    QTest::newRow("form complaint_fieldsByTheirCaptions")
        << u"juanzongfanben-77.html"_s << u"ws1"_s
        << personFields(0, {u"张三"_s, u"男"_s, u"1980年1月2日"_s, u"汉族"_s, u"北京市海淀区某路1号"_s})
               + personFields(1, {u"王芳"_s, u"女"_s, u"1985年6月7日"_s, u"回族"_s, u"北京市海淀区某路3号"_s})
               + QStringList{u"被告：〔××××〕，住所地……。 → parties.2.name = 北京某贸易有限公司"_s,
                       u"…××××，住所地〔……〕。 → parties.2.address = 北京市朝阳区某街2号"_s,
                       u"法定代表人：〔×××〕，……（写明职务… → parties.2.representative = 王五"_s,
                       u"…代表人：×××，〔……（写明职务）〕。 → parties.2.representativeTitle = 董事长"_s};
}

void CaseMatchTest::sample()
{
    QFETCH(QString, page);
    QFETCH(QString, anchor);
    QFETCH(QStringList, expected);
    const ModelDocument document = sampleDocument(page, anchor);
    QVERIFY2(!document.paragraphs.isEmpty(), "the sample document is gone");
    const CaseFill fill = fillFromCase(document, Testing::twoPlaintiffsCase());
    QCOMPARE(matched(fill.fillIn, fill.matches), expected);
}

void CaseMatchTest::fill_data()
{
    QTest::addColumn<QList<Paragraph>>("paragraphs");
    QTest::addColumn<QStringList>("filled");
    const Paragraph person = body(u"原告：×××，男/女，××××年××月××日出生，×族，……（写明工作单位和职务或者职业），住……。"_s);
    const Paragraph agent = body(u"委托诉讼代理人：×××，……。"_s);
    const Paragraph defendant = body(u"被告：×××，男/女，××××年××月××日出生，×族，……（写明工作单位和职务或者职业），住……。"_s);
    const QString plaintiffs[] = {u"原告：张三，男，1980年1月2日出生，汉族，无业，住北京市海淀区某路1号。"_s,
                                  u"委托诉讼代理人：李四，北京市某律师事务所律师。"_s,
                                  u"原告：王芳，女，1985年6月7日出生，回族，某公司职员，住北京市海淀区某路3号。"_s};
    QTest::newRow("person form for a company_companyFormWritten")
        << QList<Paragraph>{person, agent, defendant, agent, body(u"原告×××与被告×××……（写明案由）一案。"_s)}
        << QStringList{plaintiffs[0], plaintiffs[1], plaintiffs[2], u"被告：北京某贸易有限公司，住所地北京市朝阳区某街2号。"_s,
                       u"法定代表人：王五，董事长。"_s, u"原告张三、王芳与被告北京某贸易有限公司买卖合同纠纷一案。"_s};
    QTest::newRow("company form kept_representativeSettled")
        << QList<Paragraph>{person, body(u"被告：××××（写明名称），住所地……。法定代表人/主要负责人：×××，……（写明职务）。"_s)}
        << QStringList{plaintiffs[0], plaintiffs[2],
                       u"被告：北京某贸易有限公司，住所地北京市朝阳区某街2号。法定代表人：王五，董事长。"_s};
    // The party paragraph of a role the sheet lacks stays for the writer.
    QTest::newRow("third party not in the sheet_left as it is")
        << QList<Paragraph>{body(u"第三人：×××，……。"_s), body(u"第三人×××述称，……。"_s)}
        << QStringList{u"第三人：×××，……。"_s, u"第三人×××述称，……。"_s};
    QTest::newRow("two judges' lines_thePanelOfTheSheet")
        << QList<Paragraph>{{Paragraph::Role::Sign, u"审判员　×××"_s, {}}, {Paragraph::Role::Sign, u"审判员　×××"_s, {}},
                            {Paragraph::Role::Date, u"二〇××年××月××日"_s, {}}, {Paragraph::Role::Sign, u"书记员　×××"_s, {}}}
        << QStringList{u"审判长　赵六"_s, u"审判员　周九"_s, u"人民陪审员　孙八"_s, u"二〇××年××月××日"_s, u"书记员　钱七"_s};
    QTest::newRow("a role of this paper with the case's in brackets")
        << QList<Paragraph>{body(u"申请人（本案被告）：××××（写明名称），住所地……。"_s),
                            body(u"被申请人（本案原告）：×××，……。"_s)}
        << QStringList{u"申请人（本案被告）：北京某贸易有限公司，住所地北京市朝阳区某街2号。"_s,
                       u"被申请人（本案原告）：张三，……。"_s, u"被申请人（本案原告）：王芳，……。"_s};
    QTest::newRow("dates by what follows them")
        << QList<Paragraph>{body(u"本院于××××年××月××日立案后，于××××年××月××日公开开庭，定于××××年××月××日宣判，××××年××月××日送达。"_s)}
        << QStringList{u"本院于2026年3月5日立案后，于2026年4月10日公开开庭，定于2026年5月20日宣判，××××年××月××日送达。"_s};
    QTest::newRow("court alone on its line_notAsAddressee")
        << QList<Paragraph>{{Paragraph::Role::Court, u"××××人民法院"_s, {}}, body(u"××××人民法院："_s),
                            body(u"上诉于××××人民法院。"_s)}
        << QStringList{u"北京市海淀区人民法院"_s, u"××××人民法院："_s, u"上诉于××××人民法院。"_s};
    QTest::newRow("another kind's number_notThisCase")
        << QList<Paragraph>{body(u"（××××）……民初……号"_s), body(u"（××××）……执……号"_s), body(u"反诉原告×××、原审被告×××"_s)}
        << QStringList{u"（2026）京0108民初1234号"_s, u"（××××）……执……号"_s, u"反诉原告×××、原审被告×××"_s};
}

void CaseMatchTest::fill()
{
    QFETCH(QList<Paragraph>, paragraphs);
    QFETCH(QStringList, filled);
    ModelDocument document;
    document.heading = u"民事判决书"_s;
    document.paragraphs = paragraphs;
    QCOMPARE(texts(fillFromCase(document, Testing::twoPlaintiffsCase()).fillIn.filled()), filled);
}

// The fill panel's road: no paragraph repeated, a third plaintiff's paragraph
// with no third plaintiff in the sheet left open.
void CaseMatchTest::matchCase_takesTheDocumentAsItIs()
{
    ModelDocument document;
    document.paragraphs = {body(u"原告：×××，男/女，住……。"_s), body(u"委托诉讼代理人：×××，……。"_s),
                           body(u"原告：×××，男/女，住……。"_s), body(u"原告：×××，男/女，住……。"_s)};
    const FillIn fillIn(document);
    const QList<CaseMatch> matches = matchCase(fillIn, Testing::twoPlaintiffsCase());
    QCOMPARE(matches.size(), fillIn.placeholders().size());
    QCOMPARE(matched(fillIn, matches),
             (QStringList{u"原告：〔×××〕，男/女，住……… → parties.0.name = 张三"_s,
                          u"…××，男/女，住〔……〕。 → parties.0.address = 北京市海淀区某路1号"_s,
                          u"委托诉讼代理人：〔×××〕，……。 → parties.0.agents.0.name = 李四"_s,
                          u"…代理人：×××，〔……〕。 → parties.0.agents.0.description = 北京市某律师事务所律师"_s,
                          u"原告：〔×××〕，男/女，住……… → parties.1.name = 王芳"_s,
                          u"…××，男/女，住〔……〕。 → parties.1.address = 北京市海淀区某路3号"_s}));
}

QTEST_GUILESS_MAIN(CaseMatchTest)
#include "tst_casematch.moc"
