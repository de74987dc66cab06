// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/keywordsearch.h"

#include "search/filestore.h"
#include "search/gbkcodec.h"
#include "search/indexscan.h"
#include "search/titleresultpage.h"

#include <optional>

namespace Juanzong {

namespace {
// How much of a page is built before it goes to disk: a page of a million
// entries is never held whole.
constexpr qsizetype SpillSize = 1 << 20;

SearchOutcome ending(SearchOutcome::Kind kind, const QString &message, const QString &pagePath)
{
    SearchOutcome outcome;
    outcome.kind = kind;
    outcome.message = message;
    outcome.pagePath = pagePath;
    return outcome;
}

// One search: what it reads and with what.
struct Search
{
    const GbkCodec &codec;
    const QString &keyword;
    const KeywordMatcher &matcher;
    const SearchFiles &files;

    SearchOutcome unreadableIndex(const QString &reason) const
    {
        return ending(SearchOutcome::Kind::Failed,
                      QStringLiteral("无法读取搜索索引文件 %1：%2").arg(files.index, reason), files.page);
    }
};

// A large page goes into the new search.txt while the index is still read;
// the new file comes into being only with the first part of the page. A
// replacement that is never committed (a failure) leaves no trace.
class Spill final
{
public:
    explicit Spill(const QString &path)
        : m_path(path)
    {
    }

    // Called after each line: a page grown large goes to disk, unless the
    // file has failed already.
    void take(ResultPage &page)
    {
        if (page.pending().size() < SpillSize)
            return;
        if (!m_file)
            m_file.emplace(m_path);
        if (m_file->failed())
            return;
        m_file->write(page.pending());
        m_shownWhole = m_shownWhole && m_shown.size() + page.pending().size() <= ShownInMemory;
        if (m_shownWhole)
            m_shown += page.pending();
        else
            m_shown.clear();
        page.clearPending();
        m_spilled = true;
    }

    // Writes the rest of the finished page and puts the file in place of the
    // page at pagePath; where that fails, the path that failed and why.
    void save(const ResultPage &page, const QString &pagePath, QString &failedPath, QString &failure)
    {
        if (!m_file)
            m_file.emplace(m_path);
        m_file->write(page.pending());
        if (!m_file->commit()) {
            failedPath = m_path;
            failure = m_file->reason();
        } else if (failure = FileStore::replaceWithCopy(pagePath, m_path); !failure.isEmpty()) {
            failedPath = pagePath;
        }
    }

    // Whether the saved page, with the finished page's rest, is small enough
    // to be shown from memory; if so it is then in shown().
    bool keepsWhole(const ResultPage &page)
    {
        if (!m_shownWhole || m_shown.size() + page.pending().size() > ShownInMemory)
            return false;
        m_shown += page.pending();
        return true;
    }

    const QByteArray &shown() const { return m_shown; }
    bool spilled() const { return m_spilled; }

private:
    QString m_path;
    std::optional<FileStore::Replacement> m_file;
    bool m_spilled = false;
    // What went to disk so far, kept to be shown while it is small.
    QByteArray m_shown;
    bool m_shownWhole = true;
};

// Not saved, yet the user sees the results. Part of the page may be gone to
// a file that was then given up: build it again, this time whole in memory.
SearchOutcome unsaved(const Search &search, ResultPage &page, bool spilled, const QString &failedPath,
                      const QString &failure)
{
    if (spilled) {
        page = ResultPage(search.codec, search.keyword);
        if (const QString reason =
                scanIndex(search.files.index, search.matcher, [&](QByteArrayView line) { page.addLine(line); });
            !reason.isEmpty()) {
            return search.unreadableIndex(reason);
        }
        page.finish();
    }
    SearchOutcome outcome = ending(
        SearchOutcome::Kind::Unsaved,
        QStringLiteral("搜索结果无法保存到 %1：%2。本次结果照常显示，但不会留存。").arg(failedPath, failure),
        search.files.page);
    outcome.page = search.codec.decode(page.pending());
    outcome.hits = page.hits();
    return outcome;
}
} // namespace

SearchOutcome runSearch(const QString &keyword, const SearchFiles &files)
{
    using Kind = SearchOutcome::Kind;
    const QString &pagePath = files.page;
    if (keyword.isEmpty())
        return ending(Kind::NeedKeyword, QStringLiteral("请输入搜索内容！"), pagePath);

    const GbkCodec *codec = GbkCodec::system();
    if (!codec) {
        return ending(Kind::Failed,
                      QStringLiteral("无法读取搜索索引文件 %1：系统没有 GBK（代码页 936）编码").arg(files.index),
                      pagePath);
    }
    const KeywordMatcher matcher(*codec, keyword);
    const Search search{*codec, keyword, matcher, files};

    // What a search killed while writing left behind goes with the next one.
    FileStore::removeLeftovers(files.intermediate);
    FileStore::removeLeftovers(pagePath);

    ResultPage page(*codec, keyword);
    Spill spill(files.intermediate);
    const QString readError = scanIndex(files.index, matcher, [&](QByteArrayView line) {
        page.addLine(line);
        spill.take(page);
    });
    if (!readError.isEmpty())
        return search.unreadableIndex(readError);
    if (page.hits() == 0)
        return ending(Kind::NothingFound, QStringLiteral("未搜索到相关内容"), pagePath);

    // The template is never copied: the page replaces whatever it holds. It must
    // still be there, as it always had to be.
    const QString &templatePath = files.searchTemplate;
    if (const QString reason = FileStore::unreadableReason(templatePath); !reason.isEmpty())
        return ending(Kind::Failed, QStringLiteral("无法读取搜索模板文件 %1：%2").arg(templatePath, reason), pagePath);

    page.finish();
    QString failedPath;
    QString failure;
    spill.save(page, pagePath, failedPath, failure);
    if (!failedPath.isEmpty())
        return unsaved(search, page, spill.spilled(), failedPath, failure);

    SearchOutcome outcome = ending(Kind::Saved, {}, pagePath);
    outcome.hits = page.hits();
    if (spill.keepsWhole(page))
        outcome.page = codec->decode(spill.shown());
    return outcome;
}

} // namespace Juanzong
