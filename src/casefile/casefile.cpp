// SPDX-License-Identifier: GPL-3.0-or-later
#include "casefile/casefile.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <cmath>

using namespace Qt::StringLiterals;

namespace Juanzong {

namespace {

const QString FormatName = u"juanzong-case"_s;

// Reading stops at the first member of the wrong type and names it.
class Reader
{
public:
    QString text(const QJsonObject &object, const QString &key, const QString &where)
    {
        const QJsonValue value = object.value(key);
        if (value.isUndefined() || value.isNull())
            return {};
        if (!value.isString())
            fail(where + key);
        return value.toString();
    }
    QJsonObject object(const QJsonObject &object, const QString &key, const QString &where)
    {
        const QJsonValue value = object.value(key);
        if (!value.isUndefined() && !value.isNull() && !value.isObject())
            fail(where + key);
        return value.toObject();
    }
    QJsonArray array(const QJsonObject &object, const QString &key, const QString &where)
    {
        const QJsonValue value = object.value(key);
        if (!value.isUndefined() && !value.isNull() && !value.isArray())
            fail(where + key);
        return value.toArray();
    }
    QJsonObject element(const QJsonValue &value, const QString &where)
    {
        if (!value.isObject())
            fail(where);
        return value.toObject();
    }
    void fail(const QString &field)
    {
        if (m_wrongField.isEmpty())
            m_wrongField = field;
    }
    QString wrongField() const { return m_wrongField; }

private:
    QString m_wrongField;
};

QJsonObject partyJson(const Party &party)
{
    QJsonObject o{{u"role"_s, party.role},
                  {u"kind"_s, party.kind == Party::Kind::Person ? u"person"_s : u"organisation"_s},
                  {u"name"_s, party.name},
                  {u"address"_s, party.address}};
    if (party.kind == Party::Kind::Person) {
        o.insert(u"sex"_s, party.sex);
        o.insert(u"birthDate"_s, party.birthDate);
        o.insert(u"ethnicity"_s, party.ethnicity);
        o.insert(u"occupation"_s, party.occupation);
    } else {
        o.insert(u"representativeRole"_s, party.representativeRole);
        o.insert(u"representative"_s, party.representative);
        o.insert(u"representativeTitle"_s, party.representativeTitle);
    }
    QJsonArray agents;
    for (const Agent &agent : party.agents)
        agents.append(QJsonObject{{u"name"_s, agent.name}, {u"description"_s, agent.description}});
    o.insert(u"agents"_s, agents);
    return o;
}

Party readParty(Reader &r, const QJsonObject &o, const QString &at)
{
    Party party;
    if (const QString role = r.text(o, u"role"_s, at); !role.isEmpty())
        party.role = role;
    const QString kind = r.text(o, u"kind"_s, at);
    if (kind == u"organisation")
        party.kind = Party::Kind::Organisation;
    else if (!kind.isEmpty() && kind != u"person")
        r.fail(at + u"kind");
    party.name = r.text(o, u"name"_s, at);
    party.sex = r.text(o, u"sex"_s, at);
    party.birthDate = r.text(o, u"birthDate"_s, at);
    party.ethnicity = r.text(o, u"ethnicity"_s, at);
    party.occupation = r.text(o, u"occupation"_s, at);
    party.address = r.text(o, u"address"_s, at);
    if (const QString role = r.text(o, u"representativeRole"_s, at); !role.isEmpty())
        party.representativeRole = role;
    party.representative = r.text(o, u"representative"_s, at);
    party.representativeTitle = r.text(o, u"representativeTitle"_s, at);
    const QJsonArray agents = r.array(o, u"agents"_s, at);
    for (qsizetype i = 0; i < agents.size(); ++i) {
        const QString where = at + u"agents." + QString::number(i) + u'.';
        const QJsonObject a = r.element(agents.at(i), where.chopped(1));
        party.agents.append({r.text(a, u"name"_s, where), r.text(a, u"description"_s, where)});
    }
    return party;
}

} // namespace

QByteArray caseSheetJson(const CaseSheet &sheet)
{
    QJsonArray parties;
    for (const Party &party : sheet.parties)
        parties.append(partyJson(party));
    QJsonArray panel;
    for (const PanelMember &member : sheet.panel)
        panel.append(QJsonObject{{u"role"_s, member.role}, {u"name"_s, member.name}});
    const CaseNumber &n = sheet.caseNumber;
    const QJsonObject root{
        {u"format"_s, FormatName},
        {u"version"_s, CaseFileVersion},
        {u"court"_s, sheet.court},
        {u"caseNumber"_s,
         QJsonObject{{u"year"_s, n.year}, {u"courtCode"_s, n.courtCode}, {u"typeCode"_s, n.typeCode}, {u"number"_s, n.number}}},
        {u"cause"_s, sheet.cause},
        {u"parties"_s, parties},
        {u"panel"_s, panel},
        {u"clerk"_s, sheet.clerk},
        {u"dates"_s,
         QJsonObject{{u"filed"_s, sheet.filed}, {u"hearing"_s, sheet.hearing}, {u"pronounced"_s, sheet.pronounced}}},
    };
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

std::optional<CaseSheet> readCaseSheet(const QByteArray &json, QString *error)
{
    auto refuse = [error](const QString &why) -> std::optional<CaseSheet> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    if (json.size() > CaseFileMaxBytes)
        return refuse(u"文件过大（超过 1 MB），不是案件信息文件。"_s);
    QJsonParseError parse;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parse);
    if (parse.error != QJsonParseError::NoError) {
        // A parser that runs out of text is looking at a file cut short.
        const bool cut = parse.offset >= json.trimmed().size() && json.trimmed().startsWith('{');
        return refuse(cut ? u"文件不完整（可能未保存完或已损坏），无法打开。"_s : u"此文件不是案件信息文件。"_s);
    }
    const QJsonObject root = document.object();
    if (!document.isObject() || root.value(u"format").toString() != FormatName)
        return refuse(u"此文件不是案件信息文件。"_s);
    const QJsonValue version = root.value(u"version");
    if (!version.isDouble() || version.toDouble() < 1 || version.toDouble() != std::floor(version.toDouble()))
        return refuse(u"此文件不是案件信息文件：版本号缺失或有误。"_s);
    if (version.toDouble() > CaseFileVersion)
        return refuse(u"此案件信息文件由较新版本的程序保存（格式版本 %1），本程序只能打开版本 %2。"_s.arg(
            version.toInteger()).arg(CaseFileVersion));

    Reader r;
    CaseSheet sheet;
    sheet.court = r.text(root, u"court"_s, {});
    const QJsonObject number = r.object(root, u"caseNumber"_s, {});
    sheet.caseNumber = {r.text(number, u"year"_s, u"caseNumber."_s), r.text(number, u"courtCode"_s, u"caseNumber."_s),
                        r.text(number, u"typeCode"_s, u"caseNumber."_s), r.text(number, u"number"_s, u"caseNumber."_s)};
    sheet.cause = r.text(root, u"cause"_s, {});
    const QJsonArray parties = r.array(root, u"parties"_s, {});
    for (qsizetype i = 0; i < parties.size(); ++i) {
        const QString at = u"parties."_s + QString::number(i) + u'.';
        sheet.parties.append(readParty(r, r.element(parties.at(i), at.chopped(1)), at));
    }
    const QJsonArray panel = r.array(root, u"panel"_s, {});
    for (qsizetype i = 0; i < panel.size(); ++i) {
        const QString at = u"panel."_s + QString::number(i) + u'.';
        const QJsonObject o = r.element(panel.at(i), at.chopped(1));
        PanelMember member;
        if (const QString role = r.text(o, u"role"_s, at); !role.isEmpty())
            member.role = role;
        member.name = r.text(o, u"name"_s, at);
        sheet.panel.append(member);
    }
    sheet.clerk = r.text(root, u"clerk"_s, {});
    const QJsonObject dates = r.object(root, u"dates"_s, {});
    sheet.filed = r.text(dates, u"filed"_s, u"dates."_s);
    sheet.hearing = r.text(dates, u"hearing"_s, u"dates."_s);
    sheet.pronounced = r.text(dates, u"pronounced"_s, u"dates."_s);
    if (!r.wrongField().isEmpty())
        return refuse(u"案件信息文件有误：“%1”的类型不对。"_s.arg(r.wrongField()));
    return sheet;
}

std::optional<CaseSheet> readCaseFile(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = u"无法打开文件：%1"_s.arg(file.errorString());
        return std::nullopt;
    }
    // One byte more than allowed is enough to know it is too much.
    return readCaseSheet(file.read(CaseFileMaxBytes + 1), error);
}

bool writeCaseFile(const QString &path, const CaseSheet &sheet, QString *error)
{
    const QByteArray bytes = caseSheetJson(sheet);
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    if (error)
        *error = u"无法保存案件信息：%1"_s.arg(file.errorString());
    return false;
}

} // namespace Juanzong
