// SPDX-License-Identifier: GPL-3.0-or-later
// One case as a clerk writes it down once: court, case number, cause, parties,
// judges, clerk and dates, the values every document of the case repeats.
//
// Everything is kept as the user typed it, so that a sheet with a half-typed
// date still saves and opens; validate() says what is wrong, per field.
#pragma once

#include <QDate>
#include <QList>
#include <QString>

namespace Juanzong {

// "（2026）京0108民初1234号": year, court code (代字), type code (类型代字), number.
struct CaseNumber
{
    QString year;
    QString courtCode;
    QString typeCode;
    QString number;

    // Empty while any part is; the parts as typed otherwise.
    QString text() const;
    bool isEmpty() const { return year.isEmpty() && courtCode.isEmpty() && typeCode.isEmpty() && number.isEmpty(); }
    bool operator==(const CaseNumber &) const = default;
};

struct Agent
{
    QString name;
    QString description; // what follows the name: "北京市某律师事务所律师"
    bool operator==(const Agent &) const = default;
};

struct Party
{
    enum class Kind { Person, Organisation };

    QString role = QStringLiteral("原告"); // 原告, 被告, 第三人, 上诉人, …
    Kind kind = Kind::Person;
    QString name;
    // A person.
    QString sex; // 男 or 女
    QString birthDate;
    QString ethnicity;  // "汉族" or "汉"
    QString occupation; // employer and post, or occupation
    // Both: a person's domicile, an organisation's seat.
    QString address;
    // An organisation: who speaks for it, and as what.
    QString representativeRole = QStringLiteral("法定代表人"); // or 主要负责人
    QString representative;
    QString representativeTitle;
    QList<Agent> agents;

    bool operator==(const Party &) const = default;
};

struct PanelMember
{
    QString role = QStringLiteral("审判员"); // 审判长, 审判员, 人民陪审员
    QString name;
    bool operator==(const PanelMember &) const = default;
};

struct CaseSheet
{
    QString court; // "北京市海淀区人民法院"
    CaseNumber caseNumber;
    QString cause; // 案由
    QList<Party> parties;
    QList<PanelMember> panel;
    QString clerk;
    QString filed;      // 立案
    QString hearing;    // 开庭
    QString pronounced; // 宣判

    bool operator==(const CaseSheet &) const = default;
    // The parties of one role, in the sheet's order.
    QList<Party> partiesOf(const QString &role) const;
    // The names of the panel members of one role, in order.
    QStringList panelNames(const QString &role) const;
};

// Roles offered for a party; a file may hold others.
extern const QStringList PartyRoles;
extern const QStringList PanelRoles;

// A message about one field. Fields are named as in the case file:
// "caseNumber.year", "filed", "parties.2.birthDate", "panel.0.name".
struct FieldMessage
{
    QString field;
    QString message;
    bool operator==(const FieldMessage &) const = default;
};

// Checks what has a known form; empty fields are never wrong.
QList<FieldMessage> validate(const CaseSheet &sheet);

// "2026-03-05", "2026/3/5", "2026.3.5" or "2026年3月5日"; invalid otherwise.
QDate parseDate(const QString &text);
// "2026年3月5日"; the text as typed when it is no date.
QString chineseDate(const QString &text);

} // namespace Juanzong
