// SPDX-License-Identifier: GPL-3.0-or-later
#include "fulltext/fulltextindex.h"

#include "fulltext/textfold.h"

#include <QElapsedTimer>

#include <sqlite3.h>

#include <algorithm>

namespace Juanzong {

namespace {

// The trigram tokenizer finds nothing in a query of fewer characters than this.
constexpr qsizetype TrigramLength = 3;
constexpr qsizetype MaxQueryLength = 256;
// Weights of bm25() for the title and body columns: a word in the heading says
// more about a document than the same word in its text.
constexpr double TitleWeight = 10.0;
constexpr double BodyWeight = 1.0;
// bm25's usual parameters, for the short queries ranked without the index.
constexpr double K1 = 1.2;
constexpr double B = 0.75;

constexpr int BodyColumn = 1;
// A phrase each of whose trigrams stands in more than one document in this many
// is searched by the scan.
constexpr qint64 CommonShare = 16;

// occurrences(doc): how often the query's phrase stands in the body of the row.
void occurrencesFunction(const Fts5ExtensionApi *api, Fts5Context *fts, sqlite3_context *result, int, sqlite3_value **)
{
    int instances = 0;
    if (api->xInstCount(fts, &instances) != SQLITE_OK) {
        sqlite3_result_error_code(result, SQLITE_ERROR);
        return;
    }
    sqlite3_int64 body = 0;
    for (int i = 0; i < instances; ++i) {
        int phrase = 0, column = 0, offset = 0;
        if (api->xInst(fts, i, &phrase, &column, &offset) == SQLITE_OK && column == BodyColumn)
            ++body;
    }
    sqlite3_result_int64(result, body);
}

QByteArray matchExpression(const QString &folded)
{
    QString phrase = folded;
    phrase.replace(u'"', u"\"\""_qs);
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
        m_error = QString::fromUtf8(sqlite3_errmsg(m_db));
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
    if (!api || api->xCreateFunction(api, "occurrences", nullptr, &occurrencesFunction, nullptr) != SQLITE_OK) {
        m_error = QStringLiteral("SQLite FTS5 API unavailable");
        return;
    }
    if (sqlite3_prepare_v2(m_db, "INSERT INTO doc(rowid, title, body) VALUES(?1, ?2, ?3)", -1, &m_insert, nullptr)
        != SQLITE_OK)
        m_error = QString::fromUtf8(sqlite3_errmsg(m_db));
}

FullTextIndex::~FullTextIndex()
{
    sqlite3_finalize(m_documentFrequency);
    sqlite3_finalize(m_insert);
    sqlite3_finalize(m_match);
    sqlite3_close(m_db);
}

bool FullTextIndex::execute(const char *sql)
{
    char *message = nullptr;
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, &message) == SQLITE_OK)
        return true;
    m_error = QString::fromUtf8(message ? message : sqlite3_errmsg(m_db));
    sqlite3_free(message);
    return false;
}

void FullTextIndex::addPage(const QString &fileName, const QString &title, const QString &place, const PageText &page)
{
    const int pageIndex = int(m_pages.size());
    m_pages.append({fileName, title, place});
    m_pageOfFile.insert(fileName, pageIndex);
    for (const PageDocument &d : page.documents) {
        const QString textFolded = TextFold::fold(d.text);
        const QString foldedTitle = TextFold::fold(QString(title + u'\n' + d.heading));
        Document document{pageIndex, d.anchor, d.heading, d.text, m_foldedTexts.size(), m_foldedTitles.size(),
                          foldedTitle.size(), d.pageTextBefore};
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
                m_error = QString::fromUtf8(sqlite3_errmsg(m_db));
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
    // How many documents hold a trigram: a phrase of common trigrams is found
    // faster by the scan than through the index's long position lists.
    if (sqlite3_exec(m_db, "CREATE VIRTUAL TABLE temp.terms USING fts5vocab(main, 'doc', 'row')", nullptr, nullptr,
                     nullptr)
            != SQLITE_OK
        || sqlite3_prepare_v3(m_db, "SELECT doc FROM temp.terms WHERE term = ?1", -1, SQLITE_PREPARE_PERSISTENT,
                              &m_documentFrequency, nullptr)
            != SQLITE_OK)
        m_documentFrequency = nullptr;
    if (sqlite3_prepare_v3(m_db, "SELECT rowid, bm25(doc, ?2, ?3), occurrences(doc) FROM doc WHERE doc MATCH ?1",
                           -1, SQLITE_PREPARE_PERSISTENT, &m_match, nullptr)
        != SQLITE_OK) {
        m_error = QString::fromUtf8(sqlite3_errmsg(m_db));
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

namespace {

// The next place of needle in haystack from from on, or -1. Its character at
// anchor, the rarest one, is found with the vectorised single-character search,
// which leaves the rest a comparison now and then.
qsizetype findFrom(QStringView haystack, QStringView needle, qsizetype from, qsizetype anchor)
{
    const QChar c = needle.at(anchor);
    for (qsizetype at = haystack.indexOf(c, from + anchor); at >= 0; at = haystack.indexOf(c, at + 1)) {
        const qsizetype start = at - anchor;
        if (start + needle.size() > haystack.size())
            return -1;
        if (haystack.sliced(start, needle.size()) == needle)
            return start;
    }
    return -1;
}

} // namespace

QList<FullTextIndex::Candidate> FullTextIndex::matchIndexed(const QString &folded) const
{
    QList<Candidate> out;
    if (!m_match)
        return out;
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
        c.occurrences = qsizetype(sqlite3_column_int64(m_match, 2));
        c.titleHit = foldedTitle(m_documents[document]).contains(folded);
        out.append(c);
    }
    sqlite3_reset(m_match);
    sqlite3_clear_bindings(m_match);
    return out;
}

bool FullTextIndex::isCommon(const QString &folded) const
{
    if (!m_documentFrequency)
        return false;
    const QList<uint> points = folded.toUcs4();
    qint64 rarest = -1;
    for (qsizetype i = 0; i + TrigramLength <= points.size(); ++i) {
        const QByteArray trigram = QString::fromUcs4(reinterpret_cast<const char32_t *>(points.constData() + i),
                                                     TrigramLength)
                                       .toUtf8();
        sqlite3_bind_text(m_documentFrequency, 1, trigram.constData(), int(trigram.size()), SQLITE_TRANSIENT);
        const qint64 documents = sqlite3_step(m_documentFrequency) == SQLITE_ROW
            ? sqlite3_column_int64(m_documentFrequency, 0)
            : 0;
        sqlite3_reset(m_documentFrequency);
        if (rarest < 0 || documents < rarest)
            rarest = documents;
        if (rarest * CommonShare < m_documents.size())
            return false;
    }
    return rarest >= 0;
}

qsizetype FullTextIndex::anchorOf(QStringView folded) const
{
    qsizetype anchor = 0;
    for (qsizetype i = 1; i < folded.size() && !m_characterCounts.empty(); ++i)
        if (m_characterCounts[folded.at(i).unicode()] < m_characterCounts[folded.at(anchor).unicode()])
            anchor = i;
    return anchor;
}

QList<FullTextIndex::Candidate> FullTextIndex::matchScanned(const QString &folded) const
{
    const qsizetype anchor = anchorOf(folded);
    std::vector<qsizetype> counts(size_t(m_documents.size()), 0);
    std::vector<bool> titleHits(size_t(m_documents.size()), false);
    // Both buffers hold the documents in order: the document of a place only
    // ever moves forward.
    qsizetype document = 0;
    const QStringView texts(m_foldedTexts);
    for (qsizetype at = findFrom(texts, folded, 0, anchor); at >= 0;
         at = findFrom(texts, folded, at + folded.size(), anchor)) {
        while (document + 1 < m_documents.size() && m_documents[document + 1].textAt <= at)
            ++document;
        ++counts[size_t(document)];
    }
    document = 0;
    const QStringView titles(m_foldedTitles);
    for (qsizetype at = findFrom(titles, folded, 0, anchor); at >= 0;
         at = findFrom(titles, folded, at + folded.size(), anchor)) {
        while (document + 1 < m_documents.size() && m_documents[document + 1].titleAt <= at)
            ++document;
        titleHits[size_t(document)] = true;
    }

    QList<Candidate> out;
    const double averageLength = m_documents.isEmpty() ? 1.0 : double(m_textLength) / m_documents.size();
    for (qsizetype i = 0; i < m_documents.size(); ++i) {
        const qsizetype n = counts[size_t(i)];
        if (n == 0 && !titleHits[size_t(i)])
            continue;
        // bm25 of a single term, without the factor its rarity gives every
        // document alike: the order is the one FTS5 would give.
        const double length = double(m_documents[i].text.size()) / std::max(1.0, averageLength);
        const double score = -(n * (K1 + 1)) / (n + K1 * (1 - B + B * length));
        out.append({i, n, titleHits[size_t(i)], score});
    }
    return out;
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
    QList<Candidate> candidates = indexed ? matchIndexed(folded) : matchScanned(folded);
    result.documents = candidates.size();
    for (const Candidate &c : std::as_const(candidates))
        result.occurrences += c.occurrences;

    auto better = [](const Candidate &a, const Candidate &b) {
        if (a.titleHit != b.titleHit)
            return a.titleHit;
        if (a.score != b.score)
            return a.score < b.score;
        return a.document < b.document;
    };
    const qsizetype shown = std::min(maxHits, candidates.size());
    std::partial_sort(candidates.begin(), candidates.begin() + shown, candidates.end(), better);

    for (qsizetype i = 0; i < shown; ++i) {
        const Candidate &c = candidates[i];
        const Document &d = m_documents[c.document];
        const Page &p = m_pages[d.page];
        result.hits.append({p.fileName, p.title, p.place, d.anchor, d.heading, c.occurrences, c.titleHit,
                            snippetsOf(d, folded)});
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
