// SPDX-License-Identifier: GPL-3.0-or-later
// The blanks of a model document and the user's values for them.
//
// A blank is a run of "×" (with the 年/月/日/时/分 between runs of a date, and a
// leading "二〇"), a run of "……", a bracketed writing hint such as
// "（写明案由）", a bracket offering other wording ("（或者……）",
// "【如……，则写为：……】"), or a gap of two full-width spaces or more between
// words ("鉴定费　　元"); "……" directly before a hint is one blank with it. A name
// blank right after a party or office ("原告×××", "审判长　×××") belongs to
// that party: such blanks group by party and text, all others by text alone.
#pragma once

#include "document/modeldocument.h"

#include <QList>
#include <QString>

namespace Juanzong {

struct Placeholder
{
    int paragraph = 0; // index into ModelDocument::paragraphs
    int start = 0;     // offset into that paragraph's text
    int length = 0;
    QString text;
    QString party;     // "原告" for the name blank in "原告×××"; empty otherwise

    bool operator==(const Placeholder &) const = default;
};

// The blanks of one paragraph's text, in order, none overlapping.
QList<Placeholder> findPlaceholders(const QString &text, int paragraph = 0);

struct PlaceholderGroup
{
    QString label;          // what the user is shown: "原告 ×××", "（写明案由）"
    QList<int> occurrences; // indices into FillIn::placeholders(), in reading order
    // Places of a bare "……" or "×" stand for different things ("住……",
    // "计……元", "×族"): they are offered one by one from the start.
    bool placeByPlace = false;
};

// The blanks of a document, their groups and the values typed so far. Values
// belong to single blanks; filling a group fills each of its blanks.
class FillIn
{
public:
    FillIn() = default;
    explicit FillIn(ModelDocument document);

    const ModelDocument &document() const { return m_document; }
    const QList<Placeholder> &placeholders() const { return m_placeholders; }
    const QList<PlaceholderGroup> &groups() const { return m_groups; }

    void setGroupValue(int group, const QString &value);
    void setValue(int placeholder, const QString &value);
    QString value(int placeholder) const { return m_values.value(placeholder); }
    // The group's value when all its blanks hold the same, else empty.
    QString groupValue(int group) const;
    void clear();
    bool isEmpty() const;

    // Some text around a blank, to tell its occurrences apart. With
    // Values::Shown the other blanks around it show what was filled in,
    // as the document that leaves the program has them.
    enum class Values { Template, Shown };
    QString context(int placeholder, Values values = Values::Template) const;

    // The document with every filled blank replaced by its value; blanks
    // without a value stay as the template has them.
    ModelDocument filled() const;

private:
    ModelDocument m_document;
    QList<Placeholder> m_placeholders;
    QList<PlaceholderGroup> m_groups;
    QStringList m_values;
};

} // namespace Juanzong
