// SPDX-License-Identifier: GPL-3.0-or-later
#include "casefile/casesheet.h"

#include <QRegularExpression>

namespace Juanzong {

const QStringList PartyRoles = {
    QStringLiteral("原告"),   QStringLiteral("被告"),     QStringLiteral("第三人"),   QStringLiteral("上诉人"),
    QStringLiteral("被上诉人"), QStringLiteral("申请人"),   QStringLiteral("被申请人"), QStringLiteral("再审申请人"),
    QStringLiteral("申请执行人"), QStringLiteral("被执行人"), QStringLiteral("案外人"),   QStringLiteral("起诉人"),
};
const QStringList PanelRoles = {QStringLiteral("审判长"), QStringLiteral("审判员"), QStringLiteral("人民陪审员")};

QString CaseNumber::text() const
{
    if (year.isEmpty() || courtCode.isEmpty() || typeCode.isEmpty() || number.isEmpty())
        return {};
    return u'（' + year + u'）' + courtCode + typeCode + number + u'号';
}

QList<Party> CaseSheet::partiesOf(const QString &role) const
{
    QList<Party> out;
    for (const Party &party : parties)
        if (party.role == role)
            out.append(party);
    return out;
}

QStringList CaseSheet::panelNames(const QString &role) const
{
    QStringList out;
    for (const PanelMember &member : panel)
        if (member.role == role && !member.name.isEmpty())
            out.append(member.name);
    return out;
}

QDate parseDate(const QString &text)
{
    static const QRegularExpression form(
        QStringLiteral("^\\s*(\\d{4})\\s*(?:[-/.]|年)\\s*(\\d{1,2})\\s*(?:[-/.]|月)\\s*(\\d{1,2})\\s*日?\\s*$"));
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch())
        return {};
    // "2026-3-5日" and "2026年3-5" are typing slips, not dates.
    const bool chinese = text.contains(u'年');
    if (chinese != text.contains(u'月') || (!chinese && text.contains(u'日')))
        return {};
    return QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
}

QString chineseDate(const QString &text)
{
    const QDate date = parseDate(text);
    if (!date.isValid())
        return text;
    return QStringLiteral("%1年%2月%3日").arg(date.year()).arg(date.month()).arg(date.day());
}

namespace {

const QString DateForm = QStringLiteral("日期应写作 2026-03-05 或 2026年3月5日");

// The court codes of the case-number rules: a province's one-character
// abbreviation with nothing (high court), two digits (intermediate) or four
// (basic court); the Supreme People's Court writes 最高法.
bool isCourtCode(const QString &code)
{
    static const QRegularExpression form(
        QStringLiteral("^(?:[京津沪渝冀豫云辽黑湘皖鲁新苏浙赣鄂桂甘晋蒙陕吉闽贵粤青藏川宁琼兵军](?:\\d{2}){0,2}|最高法)$"));
    return form.match(code).hasMatch();
}

} // namespace

QList<FieldMessage> validate(const CaseSheet &sheet)
{
    QList<FieldMessage> out;
    auto check = [&out](const QString &field, const QString &value, bool ok, const QString &message) {
        if (!value.isEmpty() && !ok)
            out.append({field, message});
    };
    const CaseNumber &number = sheet.caseNumber;
    static const QRegularExpression year(QStringLiteral("^(?:19[4-9]\\d|20\\d\\d)$"));
    static const QRegularExpression typeCode(QStringLiteral("^\\p{Han}{1,6}$"));
    static const QRegularExpression serial(QStringLiteral("^[1-9]\\d{0,5}$"));
    check(QStringLiteral("caseNumber.year"), number.year, year.match(number.year).hasMatch(),
          QStringLiteral("年份应为四位数字，如 2026"));
    check(QStringLiteral("caseNumber.courtCode"), number.courtCode, isCourtCode(number.courtCode),
          QStringLiteral("法院代字应为省份简称加数字，如 京0108、京01、京"));
    check(QStringLiteral("caseNumber.typeCode"), number.typeCode, typeCode.match(number.typeCode).hasMatch(),
          QStringLiteral("类型代字应为汉字，如 民初、民终、执"));
    check(QStringLiteral("caseNumber.number"), number.number, serial.match(number.number).hasMatch(),
          QStringLiteral("案件编号应为不以0开头的数字，如 1234"));
    if (!number.isEmpty() && number.text().isEmpty())
        out.append({QStringLiteral("caseNumber"), QStringLiteral("案号的四个部分应全部填写")});

    struct Dated
    {
        const char *field;
        QString text;
        QDate date;
    };
    Dated dates[] = {{"filed", sheet.filed, parseDate(sheet.filed)},
                     {"hearing", sheet.hearing, parseDate(sheet.hearing)},
                     {"pronounced", sheet.pronounced, parseDate(sheet.pronounced)}};
    QDate latest;
    for (const Dated &d : dates) {
        const QString field = QLatin1StringView(d.field);
        check(field, d.text, d.date.isValid(), DateForm);
        if (!d.date.isValid())
            continue;
        if (latest.isValid() && d.date < latest)
            out.append({field, QStringLiteral("日期早于前面的立案或开庭日期")});
        latest = std::max(latest, d.date);
    }

    for (int i = 0; i < sheet.parties.size(); ++i) {
        const Party &party = sheet.parties.at(i);
        const QString prefix = QStringLiteral("parties.%1.").arg(i);
        if (party.kind != Party::Kind::Person)
            continue;
        const QDate born = parseDate(party.birthDate);
        check(prefix + u"birthDate", party.birthDate, born.isValid(), DateForm);
        if (born.isValid() && born > QDate::currentDate())
            out.append({prefix + u"birthDate", QStringLiteral("出生日期晚于今天")});
        check(prefix + u"sex", party.sex, party.sex == u"男" || party.sex == u"女", QStringLiteral("性别应为“男”或“女”"));
    }
    return out;
}

} // namespace Juanzong
