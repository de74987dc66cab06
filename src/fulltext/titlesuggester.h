// Offers for the type-ahead: titles that match what is typed by substring, by
// pinyin initials or by full pinyin, a polyphone under each of its readings.
#pragma once

#include <QList>
#include <QString>

#include <cstdint>
#include <vector>

namespace Juanzong {

struct Suggestion
{
    QString title;
    QString context;  // which template it belongs to, when that is not the title itself
    QString fileName; // the page, relative to the content folder
    QString anchor;   // empty for the page's top
};

class TitleSuggester final
{
public:
    static constexpr qsizetype MaxOffers = 12;

    // Catalogue leaves go in first: they are offered before the documents'
    // titles that match as well.
    void add(const Suggestion &suggestion, bool catalogueLeaf);
    QList<Suggestion> suggest(const QString &typed, qsizetype limit = MaxOffers) const;
    qsizetype size() const { return qsizetype(m_entries.size()); }

    // Whether typed (lower-case letters) spells a run of title's characters in
    // pinyin: each character by one of its readings in full or by the start of
    // one (initials), mixed freely; other characters stand for themselves.
    static bool matchesPinyin(QStringView title, QStringView typed);

private:
    struct Entry
    {
        Suggestion suggestion;
        QString folded;
        bool leaf = false;
        uint32_t letters = 0; // which letters a match may start with
        std::vector<uint32_t> readingStart; // per character of folded, into m_readings; size()+1 entries
    };

    static bool matchFrom(const Entry &entry, const std::vector<uint16_t> &readings, QStringView typed,
                          qsizetype typedPos, qsizetype charPos, std::vector<uint8_t> &failed);
    static Entry makeEntry(const Suggestion &suggestion, bool leaf, std::vector<uint16_t> &readings);
    static bool pinyinMatch(const Entry &entry, const std::vector<uint16_t> &readings, QStringView typed);

    std::vector<Entry> m_entries;
    std::vector<uint16_t> m_readings; // syllable ids, the readings of every entry's characters
};

} // namespace Juanzong
