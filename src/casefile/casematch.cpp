// SPDX-License-Identifier: GPL-3.0-or-later
#include "casefile/casematch.h"

#include <QHash>
#include <QRegularExpression>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace Juanzong {

namespace {

// Where a paragraph stands in the document: a party's own paragraph
// ("原告：×××，男/女，…"), a line of its organisation's representative or of
// its agent below it, a signature line of the panel, or anything else.
enum class Where { Any, Body, Party, Representative, Agent, Sign };

enum class Field {
    None, Court, CaseYear, CaseCourtCode, CaseSerial, Cause, CauseStem, Filed, Hearing, Pronounced, Clerk,
    PanelName, RoleNames, PartyName, Sex, BirthDate, Ethnicity, EthnicityStem, Occupation, Address,
    RepresentativeName, RepresentativeTitle, AgentName, AgentDescription,
};

struct Rule
{
    Where where;
    // The text the blank follows, separators ("：", spaces) aside; "^" alone:
    // nothing. {称谓} is the paragraph's own label ("原告（反诉被告）："),
    // {当事人} {审判人员} {代表人} {书记员} a word of that kind.
    QStringView before;
    // "×" a run of crosses, "日" a date to the day, "…" dots alone, else the
    // writing hint the blank ends with.
    QStringView blank;
    // The text the blank is followed by; "…$" that and nothing more. {类型}
    // is the case number's type code, so that "……民初……号" is this case's
    // number and "……执……号" another's.
    QStringView after;
    Field field;
};

// The first row whose context fits decides, even when the sheet has no value
// for it: a blank that is a plaintiff's birth date is never anything else.
constexpr Rule Rules[] = {
    // Whom a party asks to step down is theirs to name.
    {Where::Any, u"{审判人员}", u"×", u"回避", Field::None},
    {Where::Any, u"{书记员}", u"×", u"回避", Field::None},
    {Where::Any, u"{审判人员}", u"×", u"不再参与", Field::None},
    // A 审判员 by rank who presides is the sheet's 审判长, not one of its 审判员.
    {Where::Any, u"{审判人员}", u"×", u"担任审判长", Field::None},
    {Where::Any, u"^", u"×", u"人民法院$", Field::Court},
    {Where::Any, u"地点：", u"×", u"人民法院", Field::Court},
    {Where::Any, u"（", u"×", u"）……{类型}……号", Field::CaseYear},
    {Where::Any, u"（××××）", u"…", u"{类型}……号", Field::CaseCourtCode},
    {Where::Any, u"（××××）……{类型}", u"…", u"号", Field::CaseSerial},
    {Where::Any, u"", u"（写明案由）", u"", Field::Cause},
    {Where::Any, u"案由：", u"…", u"", Field::Cause},
    {Where::Any, u"", u"…", u"纠纷一案", Field::CauseStem},
    {Where::Any, u"", u"日", u"立案", Field::Filed},
    {Where::Any, u"", u"日", u"开庭", Field::Hearing},
    {Where::Any, u"", u"日", u"公开开庭", Field::Hearing},
    {Where::Any, u"", u"日", u"宣判", Field::Pronounced},
    {Where::Any, u"", u"日", u"公开宣判", Field::Pronounced},
    {Where::Any, u"{书记员}", u"×", u"", Field::Clerk},
    {Where::Sign, u"{审判人员}", u"×", u"$", Field::PanelName},
    {Where::Body, u"{审判人员}", u"×", u"", Field::PanelName},
    {Where::Body, u"{当事人}", u"×", u"", Field::RoleNames},
    {Where::Party, u"{称谓}", u"×", u"", Field::PartyName},
    {Where::Party, u"", u"日", u"出生", Field::BirthDate},
    {Where::Party, u"性别：", u"…", u"", Field::Sex},
    {Where::Party, u"出生日期：", u"…", u"", Field::BirthDate},
    {Where::Party, u"民族：", u"…", u"", Field::Ethnicity},
    {Where::Party, u"住所：", u"…", u"", Field::Address},
    {Where::Party, u"", u"×", u"族", Field::EthnicityStem},
    {Where::Party, u"", u"（写明工作单位和职务或者职业）", u"", Field::Occupation},
    {Where::Party, u"住", u"…", u"", Field::Address},
    {Where::Party, u"住所地", u"…", u"", Field::Address},
    {Where::Party, u"{代表人}", u"×", u"", Field::RepresentativeName},
    {Where::Party, u"", u"（写明职务）", u"", Field::RepresentativeTitle},
    {Where::Representative, u"{称谓}", u"×", u"", Field::RepresentativeName},
    {Where::Representative, u"", u"（写明职务）", u"", Field::RepresentativeTitle},
    {Where::Agent, u"{称谓}", u"×", u"", Field::AgentName},
    {Where::Agent, u"×，", u"（写明工作单位及职务）", u"", Field::AgentDescription},
    {Where::Agent, u"×，", u"…", u"。", Field::AgentDescription},
};

constexpr QStringView Separators = u"：:　 \t\n\r";
constexpr QChar Cross = u'×';
constexpr QChar Dot = u'…';

const QStringList RepresentativeWords = {u"法定代表人"_s, u"主要负责人"_s, u"机关负责人"_s, u"负责人"_s};
const QStringList AgentWords = {u"委托诉讼代理人"_s, u"委托代理人"_s, u"诉讼代理人"_s};
// Lines below a party that belong to it without being filled from the sheet.
const QStringList OtherDependents = {u"法定代理人"_s, u"指定代理人"_s, u"监护人"_s};
// Roles of the templates that the sheet's roles end with but are others'.
const QStringList OtherRoles = {
    u"复议申请人"_s, u"被申诉人"_s, u"申诉人"_s, u"被异议人"_s, u"异议人"_s, u"答辩人"_s, u"赔偿请求人"_s,
    u"代理审判员"_s, u"被罚款人"_s, u"被拘留人"_s, u"被训诫人"_s, u"具状人"_s, u"受送达人"_s,
};
// "反诉原告", "原审被告", "被起诉人": a word after one of these is part of a longer role.
constexpr QStringView CompoundPrefixes[] = {u"反诉", u"本诉", u"原审", u"一审", u"二审", u"原案", u"复议", u"代理", u"被"};

bool isSeparator(QChar c)
{
    return Separators.contains(c);
}

// "××××人民法院：" addresses a court, often another one; only white space is
// no text around a blank that stands alone.
QStringView trimmedSpace(QStringView text)
{
    auto space = [](QChar c) { return QStringView(u"　 \t\n\r").contains(c); };
    while (!text.isEmpty() && space(text.front()))
        text = text.mid(1);
    while (!text.isEmpty() && space(text.back()))
        text.chop(1);
    return text;
}

QStringView trimmedEnd(QStringView text)
{
    while (!text.isEmpty() && isSeparator(text.back()))
        text.chop(1);
    return text;
}

QStringView trimmedStart(QStringView text)
{
    while (!text.isEmpty() && isSeparator(text.front()))
        text = text.mid(1);
    return text;
}

bool allOf(QStringView text, QChar c)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [c](QChar x) { return x == c; });
}

// The words a name blank may follow, each tried longest first.
class Words
{
public:
    explicit Words(const CaseSheet &sheet)
    {
        m_parties = PartyRoles;
        for (const Party &party : sheet.parties)
            if (!m_parties.contains(party.role))
                m_parties.append(party.role);
        for (const QStringList *list : std::initializer_list<const QStringList *>{&m_parties, &PanelRoles, &RepresentativeWords, &AgentWords, &OtherDependents,
                                        &OtherRoles})
            m_all.append(*list);
        m_all.append(u"书记员"_s);
        std::stable_sort(m_all.begin(), m_all.end(), [](const QString &a, const QString &b) { return a.size() > b.size(); });
    }

    // The role word right before offset start, or empty.
    QString before(QStringView text, qsizetype start) const
    {
        const QStringView head = trimmedEnd(text.left(start));
        for (const QString &word : m_all) {
            if (!head.endsWith(word))
                continue;
            const QStringView rest = head.chopped(word.size());
            for (QStringView prefix : CompoundPrefixes)
                if (rest.endsWith(prefix) && !word.startsWith(prefix))
                    return {};
            return word;
        }
        return {};
    }
    bool isPartyRole(const QString &word) const { return m_parties.contains(word); }

private:
    QStringList m_parties;
    QStringList m_all;
};

struct Kind
{
    Where where = Where::Body;
    int labelEnd = -1; // where the text after the label's "：" starts
    QString role;      // the label's role, or a signature line's
    int party = -1;    // index into the sheet's parties, or for a signature its panel
    int agent = -1;    // index into the party's agents
    bool dependent = false;
};

// "原告（反诉被告）：×××，…" is labelled 原告; the label must be followed by a name blank.
bool parseLabel(const QString &text, QString *role, int *end)
{
    const qsizetype colon = text.indexOf(u'：');
    if (colon <= 0 || colon > 30)
        return false;
    QStringView label = QStringView(text).left(colon).trimmed();
    if (label.isEmpty() || std::any_of(label.begin(), label.end(), [](QChar c) { return QStringView(u"，。；、").contains(c); }))
        return false;
    if (const qsizetype bracket = label.indexOf(u'（'); bracket > 0) {
        if (!label.endsWith(u'）'))
            return false;
        // "申请人（本案被告）": the case knows the party by the role in brackets.
        const QStringView inside = label.sliced(bracket + 1, label.size() - bracket - 2);
        label = inside.startsWith(u"本案") && inside.size() > 2 ? inside.sliced(2) : label.left(bracket);
    }
    qsizetype i = colon + 1;
    while (i < text.size() && isSeparator(text.at(i)))
        ++i;
    if (i >= text.size() || text.at(i) != Cross)
        return false;
    *role = label.toString();
    *end = int(i);
    return true;
}

bool allWordsOf(const QString &role, const QStringList &words)
{
    const QStringList parts = role.split(u'/');
    return std::all_of(parts.begin(), parts.end(), [&words](const QString &part) { return words.contains(part); });
}

// "审判员　×××" alone on its line.
bool parseSign(const QString &text, QString *role)
{
    const QStringView line = trimmedEnd(trimmedStart(text));
    for (const QString &panelRole : PanelRoles) {
        if (!line.startsWith(panelRole))
            continue;
        const QStringView rest = trimmedStart(line.mid(panelRole.size()));
        if (allOf(rest, Cross)) {
            *role = panelRole;
            return true;
        }
    }
    return false;
}

int nthIndex(const CaseSheet &sheet, const QString &role, int n, bool panel)
{
    const qsizetype count = panel ? sheet.panel.size() : sheet.parties.size();
    for (int i = 0; i < count; ++i)
        if ((panel ? sheet.panel.at(i).role : sheet.parties.at(i).role) == role && n-- == 0)
            return i;
    return -1;
}

// Paragraphs of the document as it is: the n-th party paragraph of a role is
// the sheet's n-th party of it, and lines below it are its own.
QList<Kind> classify(const ModelDocument &document, const CaseSheet &sheet, const Words &words)
{
    QList<Kind> kinds(document.paragraphs.size());
    QHash<QString, int> seen;
    int party = -1;
    int agent = 0;
    bool inBlock = false;
    for (qsizetype p = 0; p < document.paragraphs.size(); ++p) {
        const Paragraph &paragraph = document.paragraphs.at(p);
        Kind &kind = kinds[p];
        QString role;
        int end = 0;
        if (paragraph.role != Paragraph::Role::Table && parseLabel(paragraph.text, &role, &end)) {
            kind.role = role;
            kind.labelEnd = end;
            if (words.isPartyRole(role)) {
                kind.where = Where::Party;
                kind.party = party = nthIndex(sheet, role, seen[role]++, false);
                agent = 0;
                inBlock = true;
                continue;
            }
            if (inBlock && allWordsOf(role, RepresentativeWords)) {
                kind = {Where::Representative, end, role, party, -1, true};
                continue;
            }
            if (inBlock && AgentWords.contains(role)) {
                kind = {Where::Agent, end, role, party, agent++, true};
                continue;
            }
            if (inBlock && OtherDependents.contains(role)) {
                kind = {Where::Body, end, role, party, -1, true};
                continue;
            }
        }
        inBlock = false;
        party = -1;
        kind = {};
        if (parseSign(paragraph.text, &role))
            kind = {Where::Sign, -1, role, nthIndex(sheet, role, seen[u'\n' + role]++, true), -1, false};
    }
    return kinds;
}

bool blankFits(QStringView pattern, QStringView blank)
{
    if (pattern == u"×")
        return allOf(blank, Cross);
    if (pattern == u"…")
        return allOf(blank, Dot);
    if (pattern == u"日")
        return blank.endsWith(u'日') && blank.contains(u'年') && !blank.startsWith(u"二〇");
    return blank.endsWith(pattern);
}

QString withTypeCode(QStringView pattern, const CaseSheet &sheet, bool *ok)
{
    QString out = pattern.toString();
    if (out.contains(u"{类型}")) {
        *ok = !sheet.caseNumber.typeCode.isEmpty();
        out.replace(u"{类型}"_s, sheet.caseNumber.typeCode);
    }
    return out;
}

bool beforeFits(const Rule &rule, QStringView head, qsizetype start, const Kind &kind, const Words &words,
                const CaseSheet &sheet, QString *role)
{
    const QStringView text = head;
    if (rule.before.isEmpty())
        return true;
    if (rule.before == u"^")
        return trimmedSpace(text.left(start)).isEmpty();
    if (rule.before == u"{称谓}") {
        *role = kind.role;
        return start == kind.labelEnd;
    }
    if (rule.before.startsWith(u'{')) {
        const QString word = words.before(text, start);
        *role = word;
        if (word.isEmpty())
            return false;
        if (rule.before == u"{当事人}")
            return words.isPartyRole(word);
        if (rule.before == u"{审判人员}")
            return PanelRoles.contains(word);
        if (rule.before == u"{代表人}")
            return RepresentativeWords.contains(word);
        return word == u"书记员";
    }
    bool ok = true;
    const QString literal = withTypeCode(rule.before, sheet, &ok);
    return ok && trimmedEnd(text.left(start)).endsWith(trimmedEnd(literal));
}

bool afterFits(const Rule &rule, QStringView tail, const CaseSheet &sheet)
{
    bool ok = true;
    QString literal = withTypeCode(rule.after, sheet, &ok);
    if (!ok)
        return false;
    if (literal.endsWith(u'$')) {
        literal.chop(1);
        return trimmedSpace(tail) == literal;
    }
    return tail.startsWith(literal);
}

QString dateValue(const QString &text)
{
    return parseDate(text).isValid() ? chineseDate(text) : QString();
}

CaseMatch valueOf(Field field, const Kind &kind, const QString &role, int mention, const CaseSheet &sheet)
{
    const QString partyPath = u"parties."_s + QString::number(kind.party) + u'.';
    const Party *party = kind.party >= 0 && kind.where != Where::Sign ? &sheet.parties.at(kind.party) : nullptr;
    const bool person = party && party->kind == Party::Kind::Person;
    const bool organisation = party && party->kind == Party::Kind::Organisation;
    const CaseNumber &number = sheet.caseNumber;
    const bool complete = !number.text().isEmpty();
    switch (field) {
    case Field::None:
        return {};
    case Field::Court:
        if (sheet.court.endsWith(u"人民法院") && sheet.court.size() > 4)
            return {u"court"_s, sheet.court.chopped(4)};
        return {};
    case Field::CaseYear:
        return complete ? CaseMatch{u"caseNumber.year"_s, number.year} : CaseMatch{};
    case Field::CaseCourtCode:
        return complete ? CaseMatch{u"caseNumber.courtCode"_s, number.courtCode} : CaseMatch{};
    case Field::CaseSerial:
        return complete ? CaseMatch{u"caseNumber.number"_s, number.number} : CaseMatch{};
    case Field::Cause:
        return {u"cause"_s, sheet.cause};
    case Field::CauseStem:
        if (sheet.cause.endsWith(u"纠纷") && sheet.cause.size() > 2)
            return {u"cause"_s, sheet.cause.chopped(2)};
        return {};
    case Field::Filed:
        return {u"filed"_s, dateValue(sheet.filed)};
    case Field::Hearing:
        return {u"hearing"_s, dateValue(sheet.hearing)};
    case Field::Pronounced:
        return {u"pronounced"_s, dateValue(sheet.pronounced)};
    case Field::Clerk:
        return {u"clerk"_s, sheet.clerk};
    case Field::PanelName: {
        // "审判长×××、审判员×××、审判员×××": the second 审判员 named in a
        // paragraph is the sheet's second one, or no one.
        const int member = kind.where == Where::Sign ? kind.party : nthIndex(sheet, role, mention, true);
        if (member < 0)
            return {};
        return {u"panel."_s + QString::number(member) + u".name", sheet.panel.at(member).name};
    }
    case Field::RoleNames: {
        QStringList names;
        for (const Party &p : sheet.parties)
            if (p.role == role && !p.name.isEmpty())
                names.append(p.name);
        return {u"parties."_s + role + u".names", names.join(u'、')};
    }
    case Field::PartyName:
        return party ? CaseMatch{partyPath + u"name", party->name} : CaseMatch{};
    case Field::Sex:
        return person ? CaseMatch{partyPath + u"sex", party->sex} : CaseMatch{};
    case Field::BirthDate:
        return person ? CaseMatch{partyPath + u"birthDate", dateValue(party->birthDate)} : CaseMatch{};
    case Field::Ethnicity:
    case Field::EthnicityStem: {
        // "×族" wants "汉", "民族：……" wants "汉族", whichever the user typed.
        if (!person || party->ethnicity.isEmpty())
            return {};
        QString ethnicity = party->ethnicity;
        if (ethnicity.endsWith(u'族'))
            ethnicity.chop(1);
        return {partyPath + u"ethnicity", field == Field::Ethnicity ? ethnicity + u'族' : ethnicity};
    }
    case Field::Occupation:
        return person ? CaseMatch{partyPath + u"occupation", party->occupation} : CaseMatch{};
    case Field::Address:
        return party ? CaseMatch{partyPath + u"address", party->address} : CaseMatch{};
    case Field::RepresentativeName:
        return organisation ? CaseMatch{partyPath + u"representative", party->representative} : CaseMatch{};
    case Field::RepresentativeTitle:
        return organisation ? CaseMatch{partyPath + u"representativeTitle", party->representativeTitle} : CaseMatch{};
    case Field::AgentName:
    case Field::AgentDescription: {
        if (!party || kind.agent < 0 || kind.agent >= party->agents.size())
            return {};
        const Agent &agent = party->agents.at(kind.agent);
        const bool name = field == Field::AgentName;
        return {partyPath + u"agents." + QString::number(kind.agent) + (name ? u".name" : u".description"),
                name ? agent.name : agent.description};
    }
    }
    return {};
}

// A document numbered as another kind of case ("……民终……号" for a sheet of
// "……民初……号") is written in that case: by another court, or by another
// panel on other dates. Of this case it can only name the parties, the cause
// and this case's number.
bool isOtherCase(const ModelDocument &document, const CaseSheet &sheet)
{
    static const QRegularExpression ownNumber(u"^（×+）……(\\p{Han}+)……号$"_s);
    if (sheet.caseNumber.typeCode.isEmpty())
        return false;
    for (const Paragraph &paragraph : document.paragraphs.mid(0, 6)) {
        const QRegularExpressionMatch m = ownNumber.match(trimmedSpace(paragraph.text));
        if (m.hasMatch())
            return m.captured(1) != sheet.caseNumber.typeCode;
    }
    return false;
}

bool belongsToTheCourt(Field field)
{
    return field == Field::Court || field == Field::Filed || field == Field::Hearing || field == Field::Pronounced
        || field == Field::PanelName || field == Field::Clerk;
}

QList<CaseMatch> matchAll(const FillIn &fillIn, const QList<Kind> &kinds, const CaseSheet &sheet, const Words &words)
{
    const bool otherCase = isOtherCase(fillIn.document(), sheet);
    QList<CaseMatch> out;
    out.reserve(fillIn.placeholders().size());
    QHash<QString, int> mentions; // of each office, in the paragraph so far
    int paragraph = -1;
    for (const Placeholder &blank : fillIn.placeholders()) {
        if (std::exchange(paragraph, blank.paragraph) != blank.paragraph)
            mentions.clear();
        const QString &text = fillIn.document().paragraphs.at(blank.paragraph).text;
        const Kind &kind = kinds.at(blank.paragraph);
        const QStringView tail = QStringView(text).mid(blank.start + blank.length);
        CaseMatch match;
        for (const Rule &rule : Rules) {
            if (rule.where != Where::Any && rule.where != kind.where)
                continue;
            QString role;
            if (!blankFits(rule.blank, blank.text) || !afterFits(rule, tail, sheet)
                || !beforeFits(rule, text, blank.start, kind, words, sheet, &role))
                continue;
            const int mention = rule.field == Field::PanelName ? mentions[role]++ : 0;
            if (!otherCase || !belongsToTheCourt(rule.field))
                match = valueOf(rule.field, kind, role, mention, sheet);
            break;
        }
        if (match.value.isEmpty())
            match = {};
        out.append(match);
    }
    return out;
}

// Settles what the template leaves to choose once the party is known.
QString settled(QString text, const Party &party)
{
    if (party.kind == Party::Kind::Person) {
        if (!party.sex.isEmpty())
            text.replace(u"男/女"_s, party.sex);
    } else {
        if (!party.representativeRole.isEmpty())
            text.replace(u"法定代表人/主要负责人"_s, party.representativeRole);
        if (!party.name.isEmpty()) {
            text.replace(u"（写明名称）"_s, QString());
            text.replace(u"（写明行政机关名称）"_s, QString());
        }
    }
    return text;
}

} // namespace

QList<CaseMatch> matchCase(const FillIn &fillIn, const CaseSheet &sheet)
{
    const Words words(sheet);
    return matchAll(fillIn, classify(fillIn.document(), sheet, words), sheet, words);
}

namespace {

// Writes the document for the case: party blocks once per party of their role,
// the panel's lines once per member, the rest as the template has them.
class CaseWriter
{
public:
    CaseWriter(const ModelDocument &document, const CaseSheet &sheet, const Words &words)
        : m_document(document)
        , m_sheet(sheet)
        , m_kinds(classify(document, sheet, words))
        , m_otherCase(isOtherCase(document, sheet))
    {
        for (int p = 0; p < m_kinds.size(); ++p) {
            if (m_kinds.at(p).where != Where::Party)
                continue;
            int end = p + 1;
            while (end < m_kinds.size() && m_kinds.at(end).dependent)
                ++end;
            m_blocks[m_kinds.at(p).role].append({p, end});
        }
        for (int i = 0; i < sheet.panel.size(); ++i)
            if (!sheet.panel.at(i).name.isEmpty())
                m_panelMembers.append(i);
        m_out.heading = document.heading;
    }

    void run();
    const ModelDocument &written() const { return m_out; }
    const QList<Kind> &writtenKinds() const { return m_outKinds; }

private:
    // A party paragraph with the lines below it that belong to it.
    struct Block
    {
        int first = 0;
        int end = 0;
    };
    struct Entry
    {
        Paragraph paragraph;
        Kind kind;
    };

    QList<Entry> entries(const Block &block) const
    {
        QList<Entry> out;
        for (int q = block.first; q < block.end; ++q)
            out.append({m_document.paragraphs.at(q), m_kinds.at(q)});
        return out;
    }
    QList<Entry> formFor(const QList<Block> &list, const Party &party) const;
    void putParty(const QList<Block> &list, int index);
    void putParties(const Kind &kind);
    int putPanel(int p);
    void put(const Paragraph &paragraph, const Kind &kind)
    {
        m_out.paragraphs.append(paragraph);
        m_outKinds.append(kind);
    }

    const ModelDocument &m_document;
    const CaseSheet &m_sheet;
    const QList<Kind> m_kinds;
    const bool m_otherCase;
    QHash<QString, QList<Block>> m_blocks; // by role
    QList<int> m_panelMembers;             // the sheet's members with a name
    ModelDocument m_out;
    QList<Kind> m_outKinds;
};

// The template's paragraphs for a party of this kind; where the template only
// shows the other kind, the court's usual wording for this one under the
// template's own label.
QList<CaseWriter::Entry> CaseWriter::formFor(const QList<Block> &list, const Party &party) const
{
    const bool person = party.kind == Party::Kind::Person;
    for (const Block &block : list)
        if (m_document.paragraphs.at(block.first).text.contains(person ? u"出生" : u"住所地"))
            return entries(block);
    QList<Entry> form = entries(list.constFirst());
    const QString &text = form.constFirst().paragraph.text;
    if (!text.contains(person ? u"住所地" : u"出生"))
        return form; // "上诉人：×××，……。" serves both
    const Kind &kind = form.constFirst().kind;
    const QString label = text.left(kind.labelEnd);
    QList<Entry> made;
    Paragraph paragraph = form.constFirst().paragraph;
    paragraph.text = label + (person ? u"×××，男/女，××××年××月××日出生，×族，……（写明工作单位和职务或者职业），住……。"_s
                                     : u"××××（写明名称），住所地……。"_s);
    made.append({paragraph, kind});
    if (!person) {
        paragraph.text = u"法定代表人/主要负责人：×××，……（写明职务）。"_s;
        made.append({paragraph, {Where::Representative, 12, u"法定代表人/主要负责人"_s, -1, -1, true}});
    }
    for (const Entry &entry : std::as_const(form))
        if (entry.kind.where == Where::Agent)
            made.append(entry);
    return made;
}

// One party's block: its agents' line once per agent, its representative's
// only for an organisation.
void CaseWriter::putParty(const QList<Block> &list, int index)
{
    const Party &party = m_sheet.parties.at(index);
    bool agentsDone = false;
    for (Entry entry : formFor(list, party)) {
        Kind &k = entry.kind;
        k.party = index;
        if (k.where == Where::Agent) {
            if (std::exchange(agentsDone, true))
                continue;
            for (int a = 0; a < party.agents.size(); ++a) {
                k.agent = a;
                put(entry.paragraph, k);
            }
            continue;
        }
        if (k.where == Where::Representative && party.kind == Party::Kind::Person)
            continue;
        entry.paragraph.text = settled(entry.paragraph.text, party);
        QString role;
        int end = 0;
        if (parseLabel(entry.paragraph.text, &role, &end))
            k.labelEnd = end; // "法定代表人/主要负责人：" may have become "法定代表人："
        put(entry.paragraph, k);
    }
}

// At the role's first block, every party of that role in the sheet's order.
void CaseWriter::putParties(const Kind &kind)
{
    const QList<Block> &list = m_blocks.value(kind.role);
    for (int s = 0; s < m_sheet.parties.size(); ++s)
        if (m_sheet.parties.at(s).role == kind.role)
            putParty(list, s);
}

// The panel's lines as the sheet has them, in the template's spacing; returns
// the paragraph after the template's own.
int CaseWriter::putPanel(int p)
{
    const Kind &kind = m_kinds.at(p);
    const Paragraph &paragraph = m_document.paragraphs.at(p);
    const QString line = trimmedStart(paragraph.text).toString();
    const QString gap = line.mid(kind.role.size(), line.indexOf(Cross) - kind.role.size());
    for (int member : std::as_const(m_panelMembers)) {
        Paragraph copy = paragraph;
        copy.text = m_sheet.panel.at(member).role + gap + u"×××";
        put(copy, {Where::Sign, -1, m_sheet.panel.at(member).role, member, -1, false});
    }
    while (p < m_kinds.size() && m_kinds.at(p).where == Where::Sign)
        ++p;
    return p;
}

void CaseWriter::run()
{
    for (int p = 0; p < m_kinds.size();) {
        const Kind &kind = m_kinds.at(p);
        if (kind.where == Where::Party && !m_sheet.partiesOf(kind.role).isEmpty()) {
            const QList<Block> &list = m_blocks.value(kind.role);
            if (list.constFirst().first == p)
                putParties(kind);
            p = std::find_if(list.begin(), list.end(), [p](const Block &b) { return b.first == p; })->end;
            continue;
        }
        if (kind.where == Where::Sign && !m_panelMembers.isEmpty() && !m_otherCase) {
            p = putPanel(p);
            continue;
        }
        put(m_document.paragraphs.at(p), kind);
        ++p;
    }
}

} // namespace

CaseFill fillFromCase(const ModelDocument &document, const CaseSheet &sheet)
{
    const Words words(sheet);
    CaseWriter writer(document, sheet, words);
    writer.run();
    CaseFill fill{FillIn(writer.written()), {}};
    fill.matches = matchAll(fill.fillIn, writer.writtenKinds(), sheet, words);
    for (int i = 0; i < fill.matches.size(); ++i)
        fill.fillIn.setValue(i, fill.matches.at(i).value);
    return fill;
}

} // namespace Juanzong
