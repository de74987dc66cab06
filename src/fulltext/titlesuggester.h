// SPDX-License-Identifier: GPL-3.0-or-later
// Offers for the type-ahead: titles that match what is typed by substring, by
// pinyin initials or by full pinyin, a polyphone under each of its readings.
#pragma once

#include <QHash>
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
    // One distinct title, matched once however many entries carry it.
    struct Title
    {
        QString folded;
        uint32_t letters = 0;               // which letters a match may start with
        std::vector<uint32_t> readingStart; // per character of folded, into m_readings; size()+1 entries
    };
    struct Entry
    {
        Suggestion suggestion;
        uint32_t title = 0;
        bool leaf = false;
    };

    // Each title's rank for the folded text, -1 where it does not match.
    std::vector<int8_t> rankTitles(const QString &folded) const;
    static Title makeTitle(const QString &folded, std::vector<uint16_t> &readings);
    static bool matchFrom(const Title &title, const std::vector<uint16_t> &readings, QStringView typed,
                          qsizetype typedPos, qsizetype charPos, std::vector<uint8_t> &failed);
    static bool pinyinMatch(const Title &title, const std::vector<uint16_t> &readings, QStringView typed,
                            std::vector<uint8_t> &failed);

    std::vector<Entry> m_entries;
    std::vector<Title> m_titles;
    QHash<QString, uint32_t> m_titleIds;
    std::vector<uint16_t> m_readings; // syllable ids, the readings of every title's characters

    // What the last call typed and which titles matched it: typing on narrows
    // that set, since whatever matches a longer text matches its start.
    mutable QString m_lastTyped;
    mutable std::vector<uint32_t> m_lastMatches;
    mutable std::vector<uint8_t> m_scratch;
};

} // namespace Juanzong
