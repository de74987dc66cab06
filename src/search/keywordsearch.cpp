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
} // namespace

SearchOutcome runSearch(const QString &keyword, const SearchFiles &files)
{
    using Kind = SearchOutcome::Kind;
    const QString &pagePath = files.page;
    if (keyword.isEmpty())
        return ending(Kind::NeedKeyword, QStringLiteral("请输入搜索内容！"), pagePath);

    const QString &indexPath = files.index;
    const GbkCodec *codec = GbkCodec::system();
    if (!codec) {
        return ending(Kind::Failed,
                      QStringLiteral("无法读取搜索索引文件 %1：系统没有 GBK（代码页 936）编码").arg(indexPath),
                      pagePath);
    }
    const KeywordMatcher matcher(*codec, keyword);
    auto readFailure = [&](const QString &reason) {
        return ending(Kind::Failed, QStringLiteral("无法读取搜索索引文件 %1：%2").arg(indexPath, reason), pagePath);
    };

    // What a search killed while writing left behind goes with the next one.
    const QString &intermediatePath = files.intermediate;
    FileStore::removeLeftovers(intermediatePath);
    FileStore::removeLeftovers(pagePath);

    // A large page goes into the new search.txt while the index is still read;
    // the new file comes into being only with the first part of the page. A
    // replacement that is never committed (a failure) leaves no trace.
    std::optional<FileStore::Replacement> intermediate;
    ResultPage page(*codec, keyword);
    bool spilled = false;
    // What went to disk so far, kept to be shown while it is small.
    QByteArray shown;
    bool shownWhole = true;
    const QString readError = scanIndex(indexPath, matcher, [&](QByteArrayView line) {
        page.addLine(line);
        if (page.pending().size() < SpillSize)
            return;
        if (!intermediate)
            intermediate.emplace(intermediatePath);
        if (!intermediate->failed()) {
            intermediate->write(page.pending());
            shownWhole = shownWhole && shown.size() + page.pending().size() <= ShownInMemory;
            if (shownWhole)
                shown += page.pending();
            else
                shown.clear();
            page.clearPending();
            spilled = true;
        }
    });
    if (!readError.isEmpty())
        return readFailure(readError);
    if (page.hits() == 0)
        return ending(Kind::NothingFound, QStringLiteral("未搜索到相关内容"), pagePath);

    // The template is never copied: the page replaces whatever it holds. It must
    // still be there, as it always had to be.
    const QString &templatePath = files.searchTemplate;
    if (const QString reason = FileStore::unreadableReason(templatePath); !reason.isEmpty())
        return ending(Kind::Failed, QStringLiteral("无法读取搜索模板文件 %1：%2").arg(templatePath, reason), pagePath);

    page.finish();
    if (!intermediate)
        intermediate.emplace(intermediatePath);
    intermediate->write(page.pending());
    QString failedPath;
    QString failure;
    if (!intermediate->commit()) {
        failedPath = intermediatePath;
        failure = intermediate->reason();
    } else if (failure = FileStore::replaceWithCopy(pagePath, intermediatePath); !failure.isEmpty()) {
        failedPath = pagePath;
    }

    SearchOutcome outcome = ending(Kind::Saved, {}, pagePath);
    outcome.hits = page.hits();
    if (failedPath.isEmpty()) {
        if (shownWhole && shown.size() + page.pending().size() <= ShownInMemory) {
            shown += page.pending();
            outcome.page = codec->decode(shown);
        }
        return outcome;
    }

    // Not saved, yet the user sees the results. Part of the page may be gone to
    // a file that was then given up: build it again, this time whole in memory.
    if (spilled) {
        page = ResultPage(*codec, keyword);
        if (const QString reason = scanIndex(indexPath, matcher, [&](QByteArrayView line) { page.addLine(line); });
            !reason.isEmpty()) {
            return readFailure(reason);
        }
        page.finish();
    }
    outcome.kind = Kind::Unsaved;
    outcome.message =
        QStringLiteral("搜索结果无法保存到 %1：%2。本次结果照常显示，但不会留存。").arg(failedPath, failure);
    outcome.page = codec->decode(page.pending());
    outcome.hits = page.hits();
    return outcome;
}

} // namespace Juanzong
