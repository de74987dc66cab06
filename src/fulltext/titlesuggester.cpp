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

} // namespace

TitleSuggester::Entry TitleSuggester::makeEntry(const Suggestion &suggestion, bool leaf,
                                                std::vector<uint16_t> &readings)
{
    Entry entry;
    entry.suggestion = suggestion;
    entry.folded = TextFold::fold(suggestion.title);
    entry.leaf = leaf;
    entry.readingStart.reserve(entry.folded.size() + 1);
    for (qsizetype i = 0; i < entry.folded.size(); ++i) {
        entry.readingStart.push_back(uint32_t(readings.size()));
        const QChar c = entry.folded.at(i);
        // The low half of a surrogate pair was read with the high half.
        if (c.isLowSurrogate())
            continue;
        char32_t code = c.unicode();
        if (c.isHighSurrogate() && i + 1 < entry.folded.size())
            code = QChar::surrogateToUcs4(c, entry.folded.at(i + 1));
        for (uint16_t id : readingsOf(code)) {
            readings.push_back(id);
            entry.letters |= letterBit(PinyinTable::syllables()[id][0]);
        }
        if (c.unicode() < 0x80)
            entry.letters |= letterBit(char(c.unicode()));
    }
    entry.readingStart.push_back(uint32_t(readings.size()));
    return entry;
}

void TitleSuggester::add(const Suggestion &suggestion, bool catalogueLeaf)
{
    m_entries.push_back(makeEntry(suggestion, catalogueLeaf, m_readings));
}

bool TitleSuggester::matchFrom(const Entry &entry, const std::vector<uint16_t> &readings, QStringView typed,
                               qsizetype typedPos, qsizetype charPos, std::vector<uint8_t> &failed)
{
    if (typedPos == typed.size())
        return true;
    if (charPos >= entry.folded.size())
        return false;
    uint8_t &known = failed[size_t(typedPos * entry.folded.size() + charPos)];
    if (known)
        return false;

    const uint32_t first = entry.readingStart[size_t(charPos)];
    const uint32_t last = entry.readingStart[size_t(charPos) + 1];
    const QChar c = entry.folded.at(charPos);
    const qsizetype width = c.isHighSurrogate() ? 2 : 1;
    if (first == last) {
        // No reading: the character stands for itself.
        if (c == typed.at(typedPos) && matchFrom(entry, readings, typed, typedPos + 1, charPos + width, failed))
            return true;
    } else {
        for (uint32_t r = first; r < last; ++r) {
            const char *syllable = PinyinTable::syllables()[readings[r]];
            const qsizetype length = qsizetype(std::strlen(syllable));
            qsizetype common = 0;
            while (common < length && typedPos + common < typed.size()
                   && typed.at(typedPos + common) == QLatin1Char(syllable[common]))
                ++common;
            // The whole syllable, or any start of it, stands for the character.
            for (qsizetype used = common; used >= 1; --used)
                if (matchFrom(entry, readings, typed, typedPos + used, charPos + width, failed))
                    return true;
        }
    }
    known = 1;
    return false;
}

bool TitleSuggester::pinyinMatch(const Entry &entry, const std::vector<uint16_t> &readings, QStringView typed)
{
    if (!(entry.letters & letterBit(char(typed.front().unicode()))))
        return false;
    std::vector<uint8_t> failed(size_t(typed.size() * entry.folded.size()), 0);
    for (qsizetype start = 0; start < entry.folded.size(); ++start)
        if (!entry.folded.at(start).isLowSurrogate() && matchFrom(entry, readings, typed, 0, start, failed))
            return true;
    return false;
}

bool TitleSuggester::matchesPinyin(QStringView title, QStringView typed)
{
    if (!isPinyinTyping(typed))
        return false;
    std::vector<uint16_t> readings;
    const Entry entry = makeEntry({title.toString(), {}, {}, {}}, false, readings);
    return pinyinMatch(entry, readings, typed);
}

QList<Suggestion> TitleSuggester::suggest(const QString &typed, qsizetype limit) const
{
    const QString folded = TextFold::fold(typed.simplified());
    if (folded.isEmpty() || limit <= 0)
        return {};
    const bool pinyin = isPinyinTyping(folded);

    struct Found
    {
        int rank;
        qsizetype length;
        size_t index;
    };
    std::vector<Found> found;
    for (size_t i = 0; i < m_entries.size(); ++i) {
        const Entry &entry = m_entries[i];
        const qsizetype at = entry.folded.indexOf(folded);
        int rank = -1;
        if (at == 0)
            rank = 0;
        else if (at > 0)
            rank = 1;
        else if (pinyin && pinyinMatch(entry, m_readings, folded))
            rank = 2;
        if (rank < 0)
            continue;
        // Leaves of the catalogue before the documents inside the templates.
        found.push_back({rank + (entry.leaf ? 0 : 3), entry.folded.size(), i});
    }
    std::stable_sort(found.begin(), found.end(), [](const Found &a, const Found &b) {
        return a.rank != b.rank ? a.rank < b.rank : a.length < b.length;
    });

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
