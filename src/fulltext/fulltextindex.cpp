// SPDX-License-Identifier: GPL-3.0-or-later
#include "fulltext/fulltextindex.h"

#include "fulltext/logging.h"
#include "fulltext/textfold.h"
#include "fulltext/textscan.h"

#include <QElapsedTimer>

#include <sqlite3.h>

#include <algorithm>
#include <vector>

using namespace Qt::StringLiterals;

namespace Juanzong {

namespace {

// The trigram tokenizer finds nothing in a query of fewer characters than this.
constexpr qsizetype TrigramLength = 3;
constexpr qsizetype MaxQueryLength = 256;
// Weights of bm25() for the title and body columns: a word in the heading says
// more about a document than the same word in its text.
constexpr double TitleWeight = 10.0;
constexpr double BodyWeight = 1.0;

// A phrase whose rarest character stands in the texts more often than one in
// this many documents is searched by the scan: the index would walk position
// lists nearly as long as the texts, and the scan reads them once in any case.
constexpr qint64 CommonShare = 16;

// bm25 of a single term for the short queries ranked without the index, with
// bm25's usual parameters: n occurrences in a text of the given length, as a
// share of the average.
double bm25(qsizetype n, double length)
{
    constexpr double K1 = 1.2;
    constexpr double B = 0.75;
    return -(double(n) * (K1 + 1)) / (double(n) + K1 * (1 - B + B * length));
}

QByteArray matchExpression(const QString &folded)
{
    QString phrase = folded;
    phrase.replace(u'"', u"\"\""_s);
    return (u'"' + phrase + u'"').toUtf8();
}

qsizetype codePoints(QStringView text)
{
    qsizetype n = 0;
    for (QChar c : text)
        n += c.isLowSurrogate() ? 0 : 1;
    return n;
}

} // namespace

FullTextIndex::FullTextIndex()
{
    if (sqlite3_open_v2(":memory:", &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr)
        != SQLITE_OK) {
        qCWarning(lcFullText, "SQLite: %s", sqlite3_errmsg(m_db));
        return;
    }
    // Both sides are folded before they reach the tokenizer, which therefore
    // compares exactly; contentless, because the texts are kept here anyway.
    if (!execute("CREATE VIRTUAL TABLE doc USING fts5(title, body, content='', "
                 "tokenize='trigram case_sensitive 1')")
        || !execute("BEGIN"))
        return;

    fts5_api *api = nullptr;
    sqlite3_stmt *get = nullptr;
    if (sqlite3_prepare_v2(m_db, "SELECT fts5(?1)", -1, &get, nullptr) == SQLITE_OK) {
        sqlite3_bind_pointer(get, 1, &api, "fts5_api_ptr", nullptr);
        sqlite3_step(get);
    }
    sqlite3_finalize(get);
    if (!api) {
        qCWarning(lcFullText, "this SQLite has no FTS5: full-text search finds nothing");
        return;
    }
    if (sqlite3_prepare_v2(m_db, "INSERT INTO doc(rowid, title, body) VALUES(?1, ?2, ?3)", -1, &m_insert, nullptr)
        != SQLITE_OK)
        qCWarning(lcFullText, "SQLite: %s", sqlite3_errmsg(m_db));
}

FullTextIndex::~FullTextIndex()
{
    sqlite3_finalize(m_insert);
    sqlite3_finalize(m_match);
    sqlite3_close(m_db);
}

bool FullTextIndex::execute(const char *sql)
{
    char *message = nullptr;
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, &message) == SQLITE_OK)
        return true;
    qCWarning(lcFullText, "SQLite: %s", message ? message : sqlite3_errmsg(m_db));
    sqlite3_free(message);
    return false;
}

void FullTextIndex::addPage(const QString &fileName, const QString &title, const QString &place, const PageText &page,
                            bool cut)
{
    const int pageIndex = int(m_pages.size());
    m_pages.append({fileName, title, place, cut});
    m_pageOfFile.insert(fileName, pageIndex);
    for (const PageDocument &d : page.documents) {
        const QString textFolded = TextFold::fold(d.text);
        const QString foldedTitle = TextFold::fold(QString(title + u'\n' + d.heading));
        Document document{pageIndex, d.anchor, d.heading, d.text, m_foldedTexts.size(), m_foldedTitles.size(),
                          foldedTitle.size(), d.pageTextBefore};
        m_textStarts.push_back(m_foldedTexts.size());
        m_titleStarts.push_back(m_foldedTitles.size());
        m_foldedTexts += textFolded + u'\n';
        m_foldedTitles += foldedTitle + u'\n';
        m_textLength += document.text.size();
        if (m_insert) {
            const QByteArray titleUtf8 = foldedTitle.toUtf8();
            const QByteArray bodyUtf8 = textFolded.toUtf8();
            sqlite3_bind_int64(m_insert, 1, m_documents.size() + 1);
            sqlite3_bind_text(m_insert, 2, titleUtf8.constData(), int(titleUtf8.size()), SQLITE_STATIC);
            sqlite3_bind_text(m_insert, 3, bodyUtf8.constData(), int(bodyUtf8.size()), SQLITE_STATIC);
            if (sqlite3_step(m_insert) != SQLITE_DONE)
                qCWarning(lcFullText, "SQLite: %s", sqlite3_errmsg(m_db));
            sqlite3_reset(m_insert);
        }
        // The page's own text is offered under the template's title already.
        if (!d.anchor.isEmpty() && !d.heading.isEmpty())
            m_titles.add({d.heading, title, fileName, d.anchor}, false);
        m_documents.append(std::move(document));
    }
}

void FullTextIndex::finish()
{
    if (!m_insert)
        return;
    sqlite3_finalize(m_insert);
    m_insert = nullptr;
    // One segment answers a query faster than many small ones.
    if (!execute("INSERT INTO doc(doc) VALUES('optimize')") || !execute("COMMIT"))
        return;
    m_foldedTexts.squeeze();
    m_foldedTitles.squeeze();
    m_characterCounts.assign(0x10000, 0);
    for (QChar c : std::as_const(m_foldedTexts))
        ++m_characterCounts[c.unicode()];
    if (sqlite3_prepare_v3(m_db, "SELECT rowid, bm25(doc, ?2, ?3) FROM doc WHERE doc MATCH ?1",
                           -1, SQLITE_PREPARE_PERSISTENT, &m_match, nullptr)
        != SQLITE_OK) {
        qCWarning(lcFullText, "SQLite: %s", sqlite3_errmsg(m_db));
        m_match = nullptr;
    }
}

QString FullTextIndex::normalisedQuery(const QString &query)
{
    return query.simplified().left(MaxQueryLength);
}

QList<TextRange> FullTextIndex::occurrences(QStringView haystack, QStringView needle, qsizetype limit)
{
    QList<TextRange> out;
    if (needle.isEmpty())
        return out;
    for (qsizetype at = haystack.indexOf(needle); at >= 0 && (limit < 0 || out.size() < limit);
         at = haystack.indexOf(needle, at + needle.size()))
        out.append({at, needle.size()});
    return out;
}

class FullTextIndex::Ranking
{
public:
    explicit Ranking(qsizetype keep)
        : m_keep(std::max<qsizetype>(0, keep))
    {
        m_best.reserve(size_t(std::min<qsizetype>(m_keep, MaxHits)));
    }

    // Title hits first, then by score, then in the texts' order.
    static bool better(const Candidate &a, const Candidate &b)
    {
        if (a.titleHit != b.titleHit)
            return a.titleHit;
        if (a.score != b.score)
            return a.score < b.score;
        return a.document < b.document;
    }

    // A heap whose top is the worst kept: a common query offers tens of
    // thousands, of which a page lists a few hundred.
    void offer(const Candidate &c)
    {
        ++documents;
        occurrences += c.occurrences;
        if (qsizetype(m_best.size()) < m_keep) {
            m_best.push_back(c);
            std::push_heap(m_best.begin(), m_best.end(), better);
        } else if (m_keep > 0 && better(c, m_best.front())) {
            std::pop_heap(m_best.begin(), m_best.end(), better);
            m_best.back() = c;
            std::push_heap(m_best.begin(), m_best.end(), better);
        }
    }

    // Best first; once.
    const std::vector<Candidate> &ranked()
    {
        std::sort_heap(m_best.begin(), m_best.end(), better);
        return m_best;
    }

    qsizetype documents = 0;
    qsizetype occurrences = 0;

private:
    qsizetype m_keep;
    std::vector<Candidate> m_best;
};

qsizetype FullTextIndex::textLength(qsizetype document) const
{
    const qsizetype end = document + 1 < qsizetype(m_textStarts.size()) ? m_textStarts[size_t(document) + 1]
                                                                        : m_foldedTexts.size();
    return end - m_textStarts[size_t(document)] - 1;
}

void FullTextIndex::matchIndexed(const QString &folded, Ranking &ranking) const
{
    if (!m_match)
        return;
    const qsizetype rare = anchorOf(folded);
    const qsizetype alsoRare = anchorOf(folded, rare);
    const QByteArray expression = matchExpression(folded);
    sqlite3_bind_text(m_match, 1, expression.constData(), int(expression.size()), SQLITE_STATIC);
    sqlite3_bind_double(m_match, 2, TitleWeight);
    sqlite3_bind_double(m_match, 3, BodyWeight);
    while (sqlite3_step(m_match) == SQLITE_ROW) {
        const qsizetype document = qsizetype(sqlite3_column_int64(m_match, 0)) - 1;
        if (document < 0 || document >= m_documents.size())
            continue;
        Candidate c;
        c.document = document;
        c.score = sqlite3_column_double(m_match, 1);
        // Counted in the text rather than taken from the index, whose phrase
        // instances overlap ("aa" twice in "aaa"): the find bar counts as the scan does.
        TextScan::findAll(foldedText(m_documents[document]), folded, rare, alsoRare, [&c](qsizetype) {
            ++c.occurrences;
        });
        c.titleHit = foldedTitle(m_documents[document]).contains(folded);
        ranking.offer(c);
    }
    sqlite3_reset(m_match);
    sqlite3_clear_bindings(m_match);
}

bool FullTextIndex::isCommon(QStringView folded) const
{
    return !m_characterCounts.empty()
        && m_characterCounts[folded.at(anchorOf(folded)).unicode()] * CommonShare >= m_documents.size();
}

qsizetype FullTextIndex::anchorOf(QStringView folded, qsizetype besides) const
{
    qsizetype anchor = -1;
    auto count = [&](qsizetype i) { return m_characterCounts.empty() ? 0 : m_characterCounts[folded.at(i).unicode()]; };
    for (qsizetype i = 0; i < folded.size(); ++i)
        if (i != besides && (anchor < 0 || count(i) < count(anchor)))
            anchor = i;
    return anchor < 0 ? besides : anchor;
}

void FullTextIndex::matchScanned(const QString &folded, Ranking &ranking) const
{
    const qsizetype rare = anchorOf(folded);
    const qsizetype alsoRare = anchorOf(folded, rare);
    const qsizetype count = m_documents.size();
    // Both buffers hold the documents in order: the document of a place only
    // ever moves forward.
    std::vector<bool> titleHits(size_t(count), false);
    qsizetype document = 0;
    TextScan::findAll(m_foldedTitles, folded, rare, alsoRare, [&](qsizetype at) {
        while (document + 1 < count && m_titleStarts[size_t(document) + 1] <= at)
            ++document;
        titleHits[size_t(document)] = true;
    });

    const double averageLength = count == 0 ? 1.0 : std::max(1.0, double(m_textLength) / double(count));
    auto offer = [&](qsizetype d, qsizetype n) {
        if (n == 0 && !titleHits[size_t(d)])
            return;
        // bm25 of a single term, without the factor its rarity gives every
        // document alike: the order is the one FTS5 would give.
        const double length = double(textLength(d)) / averageLength;
        ranking.offer({d, n, titleHits[size_t(d)], bm25(n, length)});
    };
    // Counted first and ranked afterwards, which keeps the scan's loop small
    // enough for the registers.
    std::vector<uint32_t> counts(size_t(count), 0);
    document = 0;
    qsizetype nextStart = count > 1 ? m_textStarts[1] : m_foldedTexts.size();
    TextScan::findAll(m_foldedTexts, folded, rare, alsoRare, [&](qsizetype at) {
        while (at >= nextStart) {
            ++document;
            nextStart = document + 1 < count ? m_textStarts[size_t(document) + 1] : m_foldedTexts.size();
        }
        ++counts[size_t(document)];
    });
    for (document = 0; document < count; ++document)
        offer(document, counts[size_t(document)]);
}

QList<Snippet> FullTextIndex::snippetsOf(const Document &document, const QString &folded) const
{
    QList<Snippet> out;
    const QString &text = document.text;
    qsizetype from = 0;
    while (out.size() < MaxSnippets) {
        const qsizetype at = foldedText(document).indexOf(folded, from);
        if (at < 0)
            break;
        // Within the line it stands in, a little context on either side.
        const qsizetype lineStart = text.lastIndexOf(u'\n', at) + 1;
        qsizetype lineEnd = text.indexOf(u'\n', at + folded.size());
        if (lineEnd < 0)
            lineEnd = text.size();
        const qsizetype start = std::max(lineStart, at - ContextBefore);
        const qsizetype end = std::min(lineEnd, at + folded.size() + ContextAfter);
        Snippet s;
        s.text = text.mid(start, end - start);
        s.cutBefore = start > lineStart;
        s.cutAfter = end < lineEnd;
        for (const TextRange &r : occurrences(foldedText(document).sliced(start, end - start), folded))
            s.marks.append(r);
        out.append(s);
        from = end;
    }
    return out;
}

FullTextResult FullTextIndex::search(const QString &query, qsizetype maxHits, Plan plan) const
{
    QElapsedTimer timer;
    timer.start();
    FullTextResult result;
    result.query = normalisedQuery(query);
    const QString folded = TextFold::fold(result.query);
    if (folded.isEmpty())
        return result;

    const bool indexed = codePoints(folded) >= TrigramLength
        && (plan == Plan::Index || (plan == Plan::Auto && !isCommon(folded)));
    // Only the rows the page lists are ranked in full and given snippets; the
    // rest are only counted.
    Ranking ranking(maxHits);
    if (indexed)
        matchIndexed(folded, ranking);
    else
        matchScanned(folded, ranking);
    result.documents = ranking.documents;
    result.occurrences = ranking.occurrences;
    for (const Candidate &c : ranking.ranked()) {
        const Document &d = m_documents[c.document];
        const Page &p = m_pages[d.page];
        result.hits.append({p.fileName, p.title, p.place, d.anchor, d.heading, c.occurrences, c.titleHit,
                            snippetsOf(d, folded), p.cut});
    }
    result.milliseconds = timer.nsecsElapsed() / 1e6;
    return result;
}

qsizetype FullTextIndex::occurrencesBefore(const QString &fileName, const QString &anchor, const QString &query) const
{
    const auto page = m_pageOfFile.constFind(fileName);
    const QString folded = TextFold::fold(normalisedQuery(query));
    if (page == m_pageOfFile.cend() || folded.isEmpty())
        return -1;
    const auto first = std::find_if(m_documents.cbegin(), m_documents.cend(),
                                    [&](const Document &d) { return d.page == *page; });
    qsizetype before = 0;
    const Document *pageOwn = nullptr;
    for (auto d = first; d != m_documents.cend() && d->page == *page; ++d) {
        if (d->anchor.isEmpty()) {
            pageOwn = &*d;
            continue;
        }
        if (d->anchor == anchor) {
            if (pageOwn)
                before += occurrences(foldedText(*pageOwn).first(std::min(d->pageTextBefore, pageOwn->text.size())),
                                      folded)
                              .size();
            return before;
        }
        before += occurrences(foldedText(*d), folded).size();
    }
    return -1;
}

qint64 FullTextIndex::sqliteBytes() const
{
    return sqlite3_memory_used();
}

qint64 FullTextIndex::textBytes() const
{
    qint64 bytes = 0;
    for (const Document &d : m_documents)
        bytes += (d.text.size() + d.heading.size() + d.anchor.size()) * qint64(sizeof(QChar)) + qint64(sizeof(Document));
    return bytes + (m_foldedTexts.capacity() + m_foldedTitles.capacity()) * qint64(sizeof(QChar));
}

} // namespace Juanzong
