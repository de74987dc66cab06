// SPDX-License-Identifier: GPL-3.0-or-later
#include "fulltext/titlesuggester.h"

#include "fulltext/pinyintable.h"
#include "fulltext/textfold.h"

#include <QSet>

#include <algorithm>
#include <cstring>

namespace Juanzong {

namespace {

constexpr qsizetype MaxTypedLength = 64;

std::span<const uint16_t> readingsOf(char32_t c)
{
    const auto entries = PinyinTable::entries();
    const auto it = std::lower_bound(entries.begin(), entries.end(), c,
                                     [](const PinyinTable::Entry &e, char32_t code) { return e.code < code; });
    if (it == entries.end() || it->code != c)
        return {};
    return PinyinTable::readings().subspan(it->first, it->count);
}

bool isPinyinTyping(QStringView typed)
{
    if (typed.isEmpty() || typed.size() > MaxTypedLength)
        return false;
    return std::all_of(typed.begin(), typed.end(), [](QChar c) { return c >= u'a' && c <= u'z'; });
}

uint32_t letterBit(char c)
{
    return c >= 'a' && c <= 'z' ? 1u << (c - 'a') : 0;
}

const std::vector<uint8_t> &syllableLengths()
{
    static const std::vector<uint8_t> lengths = [] {
        std::vector<uint8_t> out;
        for (const char *syllable : PinyinTable::syllables())
            out.push_back(uint8_t(std::strlen(syllable)));
        return out;
    }();
    return lengths;
}

// An entry that matched, in the order it is offered.
struct Found
{
    int rank;
    qsizetype length;
    size_t index;
    bool operator<(const Found &o) const
    {
        return rank != o.rank ? rank < o.rank : length != o.length ? length < o.length : index < o.index;
    }
};

} // namespace

TitleSuggester::Title TitleSuggester::makeTitle(const QString &folded, std::vector<uint16_t> &readings)
{
    Title title;
    title.folded = folded;
    title.readingStart.reserve(size_t(folded.size()) + 1);
    for (qsizetype i = 0; i < folded.size(); ++i) {
        title.readingStart.push_back(uint32_t(readings.size()));
        const QChar c = folded.at(i);
        // The low half of a surrogate pair was read with the high half.
        if (c.isLowSurrogate())
            continue;
        char32_t code = c.unicode();
        if (c.isHighSurrogate() && i + 1 < folded.size())
            code = QChar::surrogateToUcs4(c, folded.at(i + 1));
        for (uint16_t id : readingsOf(code)) {
            readings.push_back(id);
            title.letters |= letterBit(PinyinTable::syllables()[id][0]);
        }
        if (c.unicode() < 0x80)
            title.letters |= letterBit(char(c.unicode()));
    }
    title.readingStart.push_back(uint32_t(readings.size()));
    return title;
}

void TitleSuggester::add(const Suggestion &suggestion, bool catalogueLeaf)
{
    const QString folded = TextFold::fold(suggestion.title);
    auto id = m_titleIds.constFind(folded);
    if (id == m_titleIds.cend()) {
        id = m_titleIds.insert(folded, uint32_t(m_titles.size()));
        m_titles.push_back(makeTitle(folded, m_readings));
    }
    m_entries.push_back({suggestion, *id, catalogueLeaf});
    m_lastTyped.clear();
}

bool TitleSuggester::matchFrom(const Title &title, const std::vector<uint16_t> &readings, QStringView typed,
                               qsizetype typedPos, qsizetype charPos, std::vector<uint8_t> &failed)
{
    if (typedPos == typed.size())
        return true;
    if (charPos >= title.folded.size())
        return false;
    uint8_t &known = failed[size_t(typedPos * title.folded.size() + charPos)];
    if (known)
        return false;

    const uint32_t first = title.readingStart[size_t(charPos)];
    const uint32_t last = title.readingStart[size_t(charPos) + 1];
    const QChar c = title.folded.at(charPos);
    const qsizetype width = c.isHighSurrogate() ? 2 : 1;
    if (first == last) {
        // No reading: the character stands for itself.
        if (c == typed.at(typedPos) && matchFrom(title, readings, typed, typedPos + 1, charPos + width, failed))
            return true;
    } else {
        const auto &lengths = syllableLengths();
        for (uint32_t r = first; r < last; ++r) {
            const char *syllable = PinyinTable::syllables()[readings[r]];
            const qsizetype length = lengths[readings[r]];
            qsizetype common = 0;
            while (common < length && typedPos + common < typed.size()
                   && typed.at(typedPos + common) == QLatin1Char(syllable[common]))
                ++common;
            // The whole syllable, or any start of it, stands for the character.
            for (qsizetype used = common; used >= 1; --used)
                if (matchFrom(title, readings, typed, typedPos + used, charPos + width, failed))
                    return true;
        }
    }
    known = 1;
    return false;
}

bool TitleSuggester::pinyinMatch(const Title &title, const std::vector<uint16_t> &readings, QStringView typed,
                                 std::vector<uint8_t> &failed)
{
    if (!(title.letters & letterBit(char(typed.front().unicode()))))
        return false;
    // One letter: any character whose reading starts with it, the test above.
    if (typed.size() == 1)
        return true;
    failed.assign(size_t(typed.size() * title.folded.size()), 0);
    for (qsizetype start = 0; start < title.folded.size(); ++start)
        if (!title.folded.at(start).isLowSurrogate() && matchFrom(title, readings, typed, 0, start, failed))
            return true;
    return false;
}

bool TitleSuggester::matchesPinyin(QStringView title, QStringView typed)
{
    if (!isPinyinTyping(typed))
        return false;
    std::vector<uint16_t> readings;
    std::vector<uint8_t> failed;
    return pinyinMatch(makeTitle(TextFold::fold(title), readings), readings, typed, failed);
}

std::vector<int8_t> TitleSuggester::rankTitles(const QString &folded) const
{
    const bool pinyin = isPinyinTyping(folded);
    // rank per title: 0 starts with the text, 1 holds it, 2 spells it in pinyin.
    std::vector<int8_t> rank(m_titles.size(), -1);
    std::vector<uint32_t> matches;
    auto test = [&](uint32_t id) {
        const Title &title = m_titles[id];
        const qsizetype at = title.folded.indexOf(folded);
        int8_t r = -1;
        if (at == 0)
            r = 0;
        else if (at > 0)
            r = 1;
        else if (pinyin && pinyinMatch(title, m_readings, folded, m_scratch))
            r = 2;
        if (r >= 0) {
            rank[id] = r;
            matches.push_back(id);
        }
    };
    // Typing on only narrows: what the longer text matches, the shorter did.
    if (!m_lastTyped.isEmpty() && folded.startsWith(m_lastTyped)) {
        for (uint32_t id : m_lastMatches)
            test(id);
    } else {
        for (uint32_t id = 0; id < m_titles.size(); ++id)
            test(id);
    }
    m_lastTyped = folded;
    m_lastMatches = matches;
    return rank;
}

QList<Suggestion> TitleSuggester::suggest(const QString &typed, qsizetype limit) const
{
    const QString folded = TextFold::fold(typed.simplified());
    if (folded.isEmpty() || limit <= 0)
        return {};
    const std::vector<int8_t> rank = rankTitles(folded);

    std::vector<Found> found;
    for (size_t i = 0; i < m_entries.size(); ++i) {
        const Entry &entry = m_entries[i];
        if (rank[entry.title] < 0)
            continue;
        // Leaves of the catalogue before the documents inside the templates.
        found.push_back({rank[entry.title] + (entry.leaf ? 0 : 3), m_titles[entry.title].folded.size(), i});
    }
    // Only the best few are shown, and duplicates among them are rare.
    const size_t keep = std::min(found.size(), size_t(limit) * 4);
    std::partial_sort(found.begin(), found.begin() + keep, found.end());
    found.resize(keep);

    QList<Suggestion> out;
    QSet<QString> seen;
    for (const Found &f : found) {
        const Suggestion &s = m_entries[f.index].suggestion;
        const QString key = s.title + u'\n' + s.fileName + u'#' + s.anchor;
        if (seen.contains(key))
            continue;
        seen.insert(key);
        out.append(s);
        if (out.size() >= limit)
            break;
    }
    return out;
}

} // namespace Juanzong
