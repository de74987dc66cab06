// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/placeholders.h"

#include <QHash>

#include <algorithm>

namespace Juanzong {

namespace {

constexpr QChar Cross = u'×';
constexpr QChar Ellipsis = u'…';

// Parties and offices a name blank follows in the court templates. A longer
// name is tried before the shorter one it ends with (被上诉人 before 上诉人).
constexpr QStringView Parties[] = {
    u"委托诉讼代理人", u"再审申请人", u"申请执行人", u"赔偿请求人", u"人民陪审员", u"法定代理人",
    u"法定代表人", u"被申请人", u"被上诉人", u"被执行人", u"申请人", u"上诉人", u"第三人",
    u"审判长", u"审判员", u"书记员", u"执行员", u"起诉人", u"案外人", u"异议人", u"负责人",
    u"原告", u"被告",
};

// A bracket is a writing hint when it tells the writer what to put there.
constexpr QStringView HintOpenings[] = {
    u"写明", u"以上写明", u"简要写明", u"概述", u"记明", u"列明", u"载明", u"注明", u"简述",
};

// A bracket that offers other wording in place of what stands before it:
// "（或者写明……）", and the official set's "【如……，则写为：……】".
constexpr QStringView AlternativeOpenings[] = {u"或", u"如"};

constexpr QChar Ideographic = u'\u3000';
// What the fill panel shows for a gap of spaces, which shows nothing itself.
constexpr QStringView GapLabel = u"＿＿";

bool isDateUnit(QChar c)
{
    return c == u'年' || c == u'月' || c == u'日' || c == u'时' || c == u'分';
}

bool isHint(QStringView inner)
{
    return std::any_of(std::begin(HintOpenings), std::end(HintOpenings),
                       [inner](QStringView opening) { return inner.startsWith(opening); });
}

bool isAlternative(QStringView inner)
{
    return std::any_of(std::begin(AlternativeOpenings), std::end(AlternativeOpenings),
                       [inner](QStringView opening) { return inner.startsWith(opening); });
}

bool isGap(const QString &text)
{
    return !text.isEmpty() && std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c == Ideographic; });
}

QString partyBefore(const QString &text, int start)
{
    int end = start;
    while (end > 0 && QStringView(u"：:　 ").contains(text.at(end - 1)))
        --end;
    const QStringView before = QStringView(text).left(end);
    for (QStringView party : Parties)
        if (before.endsWith(party))
            return party.toString();
    return {};
}

int skipCrosses(const QString &text, int i)
{
    while (i < text.size() && text.at(i) == Cross)
        ++i;
    return i;
}

// Reads one paragraph's blanks; each read takes the blank that may start at i
// and returns where reading goes on.
struct BlankReader
{
    const QString &text;
    int paragraph;
    QList<Placeholder> found;

    int size() const { return int(text.size()); }

    void add(int start, int end)
    {
        found.append({paragraph, start, end - start, text.mid(start, end - start), {}});
    }

    // Where the mark closing the opening at i stands, if it follows without
    // another opening before it; -1 otherwise.
    int closingOf(int i, QChar open, QChar close) const
    {
        const int at = int(text.indexOf(close, i + 1));
        return at > 0 && !QStringView(text).mid(i + 1, at - i - 1).contains(open) ? at : -1;
    }

    int readBracketNote(int i)
    {
        const int close = closingOf(i, u'【', u'】');
        if (close < 0)
            return i + 1;
        const QStringView inner = QStringView(text).mid(i + 1, close - i - 1);
        if (!isAlternative(inner) && !isHint(inner))
            return i + 1;
        add(i, close + 1);
        return close + 1;
    }

    // Two full-width spaces or more between words leave room to write in
    // ("鉴定费　　元"); one is spacing ("审判长　×××"), and a gap at a
    // blank's side only sets it apart.
    int readGap(int i)
    {
        const int n = size();
        int end = i;
        while (end < n && text.at(end) == Ideographic)
            ++end;
        const auto isWord = [](QChar w) { return !w.isSpace() && w != Cross && w != Ellipsis; };
        if (end - i >= 2 && i > 0 && end < n && isWord(text.at(i - 1)) && isWord(text.at(end)))
            add(i, end);
        return end;
    }

    int readParenthesisHint(int i)
    {
        const int close = closingOf(i, u'（', u'）');
        if (close < 0)
            return i + 1;
        const QStringView inner = QStringView(text).mid(i + 1, close - i - 1);
        if (!isHint(inner) && !inner.startsWith(u"或"))
            return i + 1;
        // "……（写明案由）" is one blank: the dots mark where the hint's answer goes.
        if (!found.isEmpty() && found.last().start + found.last().length == i
            && found.last().text.front() == Ellipsis) {
            Placeholder &dots = found.last();
            dots.length = close + 1 - dots.start;
            dots.text = text.mid(dots.start, dots.length);
        } else {
            add(i, close + 1);
        }
        return close + 1;
    }

    int readCrosses(int start, bool century)
    {
        const int n = size();
        int i = skipCrosses(text, century ? start + 2 : start);
        int units = 0;
        while (i + 1 < n && isDateUnit(text.at(i)) && text.at(i + 1) == Cross) {
            i = skipCrosses(text, i + 1);
            ++units;
        }
        // "××××年××月××日" ends in its last unit; a lone "××" before "年" is a count.
        if ((units > 0 || century) && i < n && isDateUnit(text.at(i)))
            ++i;
        add(start, i);
        if (units == 0 && !century)
            found.last().party = partyBefore(text, start);
        return i;
    }

    int readEllipsis(int start)
    {
        int i = start;
        while (i < size() && text.at(i) == Ellipsis)
            ++i;
        add(start, i);
        return i;
    }
};

} // namespace

QList<Placeholder> findPlaceholders(const QString &text, int paragraph)
{
    BlankReader reader{text, paragraph, {}};
    const int n = int(text.size());
    int i = 0;
    while (i < n) {
        const QChar c = text.at(i);
        const bool century = c == u'二' && i + 2 < n && text.at(i + 1) == u'〇' && text.at(i + 2) == Cross;
        if (c == u'【')
            i = reader.readBracketNote(i);
        else if (c == Ideographic)
            i = reader.readGap(i);
        else if (c == u'（')
            i = reader.readParenthesisHint(i);
        else if (c == Cross || century)
            i = reader.readCrosses(i, century);
        else if (c == Ellipsis)
            i = reader.readEllipsis(i);
        else
            ++i;
    }
    return reader.found;
}

FillIn::FillIn(ModelDocument document)
    : m_document(std::move(document))
{
    QHash<QString, int> groupOf;
    for (int p = 0; p < m_document.paragraphs.size(); ++p) {
        const Paragraph &paragraph = m_document.paragraphs.at(p);
        if (paragraph.role == Paragraph::Role::Table)
            continue;
        for (const Placeholder &blank : findPlaceholders(paragraph.text, p)) {
            const QString key = blank.party + u'\n' + blank.text;
            auto it = groupOf.constFind(key);
            if (it == groupOf.cend()) {
                it = groupOf.insert(key, int(m_groups.size()));
                const bool gap = isGap(blank.text);
                const bool bare = blank.party.isEmpty()
                    && (blank.text == u"×" || gap
                        || std::all_of(blank.text.cbegin(), blank.text.cend(), [](QChar c) { return c == Ellipsis; }));
                const QString label = gap ? GapLabel.toString()
                    : blank.party.isEmpty() ? blank.text
                                            : blank.party + u' ' + blank.text;
                m_groups.append({label, {}, bare});
            }
            m_groups[*it].occurrences.append(int(m_placeholders.size()));
            m_placeholders.append(blank);
        }
    }
    m_values.resize(m_placeholders.size());
}

void FillIn::setGroupValue(int group, const QString &value)
{
    if (group < 0 || group >= m_groups.size())
        return;
    for (int blank : std::as_const(m_groups[group].occurrences))
        m_values[blank] = value;
}

void FillIn::setValue(int placeholder, const QString &value)
{
    if (placeholder >= 0 && placeholder < m_values.size())
        m_values[placeholder] = value;
}

QString FillIn::groupValue(int group) const
{
    if (group < 0 || group >= m_groups.size())
        return {};
    const QList<int> &blanks = m_groups.at(group).occurrences;
    const QString first = m_values.at(blanks.constFirst());
    for (int blank : blanks)
        if (m_values.at(blank) != first)
            return {};
    return first;
}

void FillIn::clear()
{
    for (QString &value : m_values)
        value.clear();
}

bool FillIn::isEmpty() const
{
    return std::all_of(m_values.cbegin(), m_values.cend(), [](const QString &v) { return v.isEmpty(); });
}

QString FillIn::context(int placeholder, Values values) const
{
    constexpr int Around = 8;
    const Placeholder &blank = m_placeholders.at(placeholder);
    QString text = m_document.paragraphs.at(blank.paragraph).text;
    int start = blank.start;
    // Backwards, as in filled(): only the blanks before this one move it.
    for (qsizetype i = m_placeholders.size() - 1; values == Values::Shown && i >= 0; --i) {
        const Placeholder &other = m_placeholders.at(i);
        if (i == placeholder || other.paragraph != blank.paragraph || m_values.at(i).isEmpty())
            continue;
        text.replace(other.start, other.length, m_values.at(i));
        if (other.start < blank.start)
            start += int(m_values.at(i).size()) - other.length;
    }
    const int from = std::max(0, start - Around);
    const int end = start + blank.length;
    QString before = text.mid(from, start - from);
    QString after = text.mid(end, Around);
    if (from > 0)
        before.prepend(Ellipsis);
    if (end + Around < text.size())
        after.append(Ellipsis);
    return foldedText(before + u'〔' + blank.text + u'〕' + after);
}

ModelDocument FillIn::filled() const
{
    ModelDocument out = m_document;
    // Backwards, so that a replacement never moves the blanks still to come.
    for (qsizetype i = m_placeholders.size() - 1; i >= 0; --i) {
        if (m_values.at(i).isEmpty())
            continue;
        const Placeholder &blank = m_placeholders.at(i);
        out.paragraphs[blank.paragraph].text.replace(blank.start, blank.length, m_values.at(i));
    }
    return out;
}

} // namespace Juanzong
