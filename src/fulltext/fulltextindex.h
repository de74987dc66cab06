// SPDX-License-Identifier: GPL-3.0-or-later
// The full-text index over the content folder's pages: SQLite FTS5 with the
// trigram tokenizer, in memory, plus a plain scan for queries too short for trigrams.
#pragma once

#include "fulltext/pagetext.h"
#include "fulltext/titlesuggester.h"

#include <QHash>
#include <QList>
#include <QString>

#include <memory>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace Juanzong {

// A place in a text: offset and length in UTF-16 units.
struct TextRange
{
    qsizetype start = 0;
    qsizetype length = 0;
    friend bool operator==(const TextRange &, const TextRange &) = default;
};

// A piece of a document's text around its first occurrences of the query.
struct Snippet
{
    QString text;
    QList<TextRange> marks; // the occurrences inside text
    bool cutBefore = false; // text goes on before / after the piece
    bool cutAfter = false;
};

struct FullTextHit
{
    QString fileName;  // the page, relative to the content folder
    QString pageTitle; // the template's title
    QString place;     // where the catalogue holds it ("民事卷宗范本 › …"), empty outside it
    QString anchor;
    QString heading;
    qsizetype occurrences = 0; // in the document's text
    bool titleHit = false;     // the query is in the template's title or the document's heading
    QList<Snippet> snippets;
    bool pageCut = false; // only the start of the page is in the index
};

struct FullTextResult
{
    QString query;             // as searched: white space collapsed
    qsizetype documents = 0;   // every document that contains it
    qsizetype occurrences = 0; // over all of them
    QList<FullTextHit> hits;   // the best ones, best first
    double milliseconds = 0;
};

class FullTextIndex final
{
    Q_DISABLE_COPY_MOVE(FullTextIndex)
public:
    // Rows beyond these are counted but not listed.
    static constexpr qsizetype MaxHits = 200;
    static constexpr qsizetype MaxSnippets = 2;
    // Characters of context on each side of an occurrence in a snippet.
    static constexpr qsizetype ContextBefore = 24;
    static constexpr qsizetype ContextAfter = 40;

    FullTextIndex();
    ~FullTextIndex();

    // False when this SQLite has no FTS5 or no trigram tokenizer.
    bool isValid() const { return m_insert != nullptr || m_match != nullptr; }

    // cut: page is only the start of the file, the rest was never read.
    void addPage(const QString &fileName, const QString &title, const QString &place, const PageText &page,
                 bool cut = false);
    // Ends the building: no page can be added afterwards.
    void finish();

    // How a query is answered: Auto asks the index for a phrase of three or more
    // characters unless even its rarest character is common, and scans otherwise.
    enum class Plan { Auto, Index, Scan };

    // Case of Latin letters and full-width / half-width forms do not matter.
    FullTextResult search(const QString &query, qsizetype maxHits = MaxHits, Plan plan = Plan::Auto) const;

    qsizetype documentCount() const { return m_documents.size(); }

    // How often query occurs in the page before its document at anchor, in the
    // page's order: what a find from the top passes before it reaches that
    // document. -1 when the index has no such page or anchor.
    qsizetype occurrencesBefore(const QString &fileName, const QString &anchor, const QString &query) const;
    // What the index holds in memory: SQLite's share and the stored texts.
    qint64 sqliteBytes() const;
    qint64 textBytes() const;

    // The templates' and model documents' titles, for the type-ahead.
    TitleSuggester &titles() { return m_titles; }
    const TitleSuggester &titles() const { return m_titles; }

    // The query as it is searched for: trimmed, runs of white space as one space.
    static QString normalisedQuery(const QString &query);
    // Where needle (folded) occurs in haystack (folded), without overlaps.
    static QList<TextRange> occurrences(QStringView haystack, QStringView needle, qsizetype limit = -1);

private:
    struct Document
    {
        int page = 0;
        QString anchor;
        QString heading;
        QString text;
        // Where its folded text and its folded titles (the template's and the
        // heading) lie in the two buffers below.
        qsizetype textAt = 0;
        qsizetype titleAt = 0;
        qsizetype titleLength = 0;
        qsizetype pageTextBefore = 0;
    };
    struct Page
    {
        QString fileName;
        QString title;
        QString place;
        bool cut = false;
    };
    struct Candidate
    {
        qsizetype document = 0;
        qsizetype occurrences = 0;
        bool titleHit = false;
        double score = 0; // lower is better, as bm25() gives it
    };
    // Counts every document offered and keeps the best of them.
    class Ranking;

    bool execute(const char *sql);
    bool isCommon(QStringView folded) const;
    // Which character of a query to look for first: the rarest in the texts
    // (but the one at besides).
    qsizetype anchorOf(QStringView folded, qsizetype besides = -1) const;
    void matchIndexed(const QString &folded, Ranking &ranking) const;
    void matchScanned(const QString &folded, Ranking &ranking) const;
    qsizetype textLength(qsizetype document) const;
    QStringView foldedText(const Document &d) const { return QStringView(m_foldedTexts).sliced(d.textAt, d.text.size()); }
    QStringView foldedTitle(const Document &d) const
    {
        return QStringView(m_foldedTitles).sliced(d.titleAt, d.titleLength);
    }
    QList<Snippet> snippetsOf(const Document &document, const QString &folded) const;

    sqlite3 *m_db = nullptr;
    sqlite3_stmt *m_insert = nullptr;
    sqlite3_stmt *m_match = nullptr;
    QList<Page> m_pages;
    QHash<QString, int> m_pageOfFile;
    QList<Document> m_documents;
    // Every document's folded text, one after the other, each followed by a line
    // break that no query holds: one long scan instead of many short ones.
    QString m_foldedTexts;
    QString m_foldedTitles;
    // Where each document starts in them, packed tight for the scan.
    std::vector<qsizetype> m_textStarts;
    std::vector<qsizetype> m_titleStarts;
    std::vector<uint32_t> m_characterCounts; // per UTF-16 unit, over m_foldedTexts
    qint64 m_textLength = 0;
    TitleSuggester m_titles;
};

} // namespace Juanzong
