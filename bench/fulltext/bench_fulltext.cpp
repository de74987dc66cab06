// SPDX-License-Identifier: GPL-3.0-or-later
// Full-text search at scale: 10,000 generated GBK template pages built from the
// sample content's own paragraphs. Prints the index build, query latencies beside
// a naive scan (decode every page's text, QString::indexOf) in the same run, each
// against its target, and the type-ahead's latency per keystroke. Exits non-zero
// when the index and the naive scan disagree on what they found.
#include "fulltext/fulltextindex.h"
#include "fulltext/indexbuilder.h"
#include "fulltext/pagetext.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace Juanzong;

namespace {

constexpr int Pages = 10000;
constexpr int DocumentsPerPage = 3;
// A phrase found in only a few pages, for the rare queries.
const QString RarePhrase = QStringLiteral("申请人提出海事请求保全扣押船舶，并对鲸鱼号提供担保。");
constexpr int RareEvery = 1000;

struct Pool
{
    QStringList paragraphs;
    QStringList headings;
    QStringList titles;
};

Pool samplePool()
{
    Pool pool;
    const QDir dir(QStringLiteral(JUANZONG_CONTENT_DIR));
    for (const QString &name : dir.entryList({QStringLiteral("juanzongfanben-*.html")}, QDir::Files)) {
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const PageText page = extractPageText(file.readAll());
        pool.titles.append(page.title);
        for (const PageDocument &d : page.documents) {
            if (!d.anchor.isEmpty())
                pool.headings.append(d.heading.section(u'　', 1));
            // Labels stay out of the paragraphs: a label among them would start one
            // more model document in the page.
            for (const QString &line : d.text.split(u'\n'))
                if (line.size() >= 8 && line != d.heading)
                    pool.paragraphs.append(line);
        }
    }
    return pool;
}

QByteArray makePage(const Pool &pool, int n, QRandomGenerator &random)
{
    auto pick = [&random](const QStringList &list) { return list.at(random.bounded(int(list.size()))); };
    const QString title = pick(pool.titles) + u"（" + QString::number(n) + u"）";
    QString html = u"<html>\n<head>\n<meta http-equiv=\"Content-Type\" content=\"text/html\">\n<title>" + title
        + u" - 卷宗范本</title>\n<link rel=\"stylesheet\" type=\"text/css\" href=\"css.css\">\n</head>\n"
          u"<body class=\"fb\"><a name=\"top\" id=\"top\"></a>\n<div class=\"sheet\">\n<div class=\"crumb\">民事卷宗范本 "
          u"&gt; 人民法院制作民事卷宗范本</div>\n<h1 class=\"proc\">"
        + title + u"</h1>\n<p class=\"intro\">" + pick(pool.paragraphs) + u"</p>\n";
    for (int d = 1; d <= DocumentsPerPage; ++d) {
        const QString id = u"ws" + QString::number(d);
        html += u"<div class=\"ws\" id=\"" + id + u"\"><a name=\"" + id + u"\"></a>\n<div class=\"ws-label\">范本"
            + QString::number(d) + u"　" + pick(pool.headings) + u"</div>\n<p class=\"caseno\">（"
            + QString::number(2000 + random.bounded(25)) + u"）民初" + QString::number(random.bounded(10000))
            + u"号</p>\n<div class=\"text\">\n";
        const int paragraphs = 9 + random.bounded(5);
        for (int p = 0; p < paragraphs; ++p)
            html += u"<p>" + pick(pool.paragraphs).toHtmlEscaped() + u"</p>\n";
        if (d == 2 && n % RareEvery == 17)
            html += u"<p>" + RarePhrase + u"</p>\n";
        html += u"</div>\n<p class=\"totop\"><a href=\"#top\">返回本页目录</a></p>\n</div>\n";
    }
    html += u"</div>\n</body>\n</html>\n";
    QStringEncoder gbk("GBK");
    return gbk.encode(html);
}

struct Figures
{
    double median = 0;
    double p95 = 0;
};

Figures figuresOf(std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    const size_t n = ms.size();
    return {n % 2 ? ms[n / 2] : (ms[n / 2 - 1] + ms[n / 2]) / 2, ms[std::min(n - 1, size_t(double(n) * 0.95))]};
}

long residentKiB()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLong() * 4 : 0;
}

// Marks between a page's parts in the naive search's text: what stands before
// EndOfTitle is a model document's title and heading, what follows its text.
constexpr char16_t EndOfTitle = u'\x1f';
constexpr char16_t EndOfDocument = u'\x1e';

// A page's text as the naive search keeps it: GBK, like the page itself.
QByteArray naiveText(const QByteArray &html)
{
    const PageText page = extractPageText(html);
    QString text;
    for (const PageDocument &d : page.documents)
        text += page.title + u'\n' + d.heading + EndOfTitle + d.text + EndOfDocument;
    QStringEncoder gbk("GBK");
    return gbk.encode(text);
}

struct Found
{
    qsizetype documents = 0;
    qsizetype occurrences = 0;
};

// The naive search: every page's text decoded afresh, then QString::indexOf. It
// counts as the index does: a document whose title, heading or text holds the
// query, and the places in its text, without overlaps.
Found naiveSearch(const std::vector<QByteArray> &texts, const QString &query)
{
    Found found;
    for (const QByteArray &bytes : texts) {
        QStringDecoder gbk("GBK");
        const QString text = gbk.decode(bytes);
        for (qsizetype start = 0, end = text.indexOf(EndOfDocument); end >= 0;
             start = end + 1, end = text.indexOf(EndOfDocument, start)) {
            const QStringView document = QStringView(text).sliced(start, end - start);
            const qsizetype body = document.indexOf(EndOfTitle) + 1;
            qsizetype places = 0;
            for (qsizetype at = document.indexOf(query, body); at >= 0; at = document.indexOf(query, at + query.size()))
                ++places;
            if (places > 0 || document.first(body).contains(query))
                ++found.documents;
            found.occurrences += places;
        }
    }
    return found;
}

} // namespace

int main()
{
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    const Pool pool = samplePool();
    if (pool.paragraphs.isEmpty()) {
        std::fprintf(stderr, "no sample content at %s\n", JUANZONG_CONTENT_DIR);
        return 1;
    }
    QRandomGenerator random(20240601);
    std::vector<QByteArray> naiveTexts;
    qint64 totalBytes = 0;
    for (int n = 0; n < Pages; ++n) {
        QByteArray page = makePage(pool, n, random);
        QFile file(dir.filePath(QStringLiteral("page-%1.html").arg(n)));
        if (!file.open(QIODevice::WriteOnly) || file.write(page) != page.size())
            return 1;
        totalBytes += page.size();
        naiveTexts.push_back(naiveText(page));
    }
    std::printf("%d generated GBK pages, %.1f MB of HTML\n", Pages, totalBytes / 1e6);

    const long before = residentKiB();
    QElapsedTimer timer;
    timer.start();
    std::atomic_bool never = false;
    const auto index = buildIndex(dir.path(), never);
    const double buildMs = timer.nsecsElapsed() / 1e6;
    if (!index->isValid()) {
        // The cause is logged under juanzong.fulltext (QT_LOGGING_RULES="juanzong.fulltext=true").
        std::fprintf(stderr, "index unavailable\n");
        return 1;
    }
    std::printf("index build: %.0f ms, %.1f MB/s of HTML, %lld documents\n", buildMs, totalBytes / 1e3 / buildMs,
                static_cast<long long>(index->documentCount()));
    std::printf("index memory: SQLite %.1f MB + stored text %.1f MB (resident growth %.1f MB)\n\n",
                index->sqliteBytes() / 1e6, index->textBytes() / 1e6, (residentKiB() - before) / 1024.0);

    struct Query
    {
        const char *kind;
        QString text;
    };
    // Chinese only: folding changes none of them, so the naive search needs none.
    const std::vector<Query> queries = {
        {"1 char, rare", QStringLiteral("鲸")},
        {"1 char, common", QStringLiteral("院")},
        {"2 chars, rare", QStringLiteral("船舶")},
        {"2 chars, common", QStringLiteral("被告")},
        {"4 chars, rare", QStringLiteral("扣押船舶")},
        {"4 chars, common", QStringLiteral("人民法院")},
        {"8 chars, rare", QStringLiteral("海事请求保全扣押")},
        {"8 chars, common", QStringLiteral("中华人民共和国民")},
    };
    constexpr int Runs = 41;
    constexpr int NaiveRuns = 5;
    constexpr double LongestMs = 10, LongestShortMs = 40, LeastSpeedUp = 20;
    std::printf("%-16s %9s %11s %9s %9s %10s %9s   %s\n", "query", "documents", "occurrences", "median", "p95",
                "naive med", "speed-up", "target");
    bool allMet = true;
    bool agree = true;
    for (const Query &q : queries) {
        std::vector<double> ms;
        FullTextResult result;
        for (int i = 0; i < Runs; ++i) {
            timer.restart();
            result = index->search(q.text);
            ms.push_back(timer.nsecsElapsed() / 1e6);
        }
        std::vector<double> naiveMs;
        Found naive;
        for (int i = 0; i < NaiveRuns; ++i) {
            timer.restart();
            naive = naiveSearch(naiveTexts, q.text);
            naiveMs.push_back(timer.nsecsElapsed() / 1e6);
        }
        const Figures f = figuresOf(ms);
        const Figures naiveFigures = figuresOf(naiveMs);
        const double speedUp = naiveFigures.median / f.p95;
        const bool shortQuery = q.text.size() < 3;
        const bool met = shortQuery ? f.p95 <= LongestShortMs : f.p95 <= LongestMs && speedUp >= LeastSpeedUp;
        allMet = allMet && met;
        const QByteArray target = shortQuery ? QByteArray("p95 <= 40 ms") : QByteArray("p95 <= 10 ms, >= 20x");
        std::printf("%-16s %9lld %11lld %6.2f ms %6.2f ms %7.1f ms %8.0f x   %s: %s\n", q.kind,
                    static_cast<long long>(result.documents), static_cast<long long>(result.occurrences), f.median,
                    f.p95, naiveFigures.median, speedUp, target.constData(), met ? "met" : "MISSED");
        if (result.documents != naive.documents || result.occurrences != naive.occurrences) {
            agree = false;
            std::printf("!!! MISMATCH for %s: index %lld documents / %lld occurrences, naive %lld / %lld\n", q.kind,
                        static_cast<long long>(result.documents), static_cast<long long>(result.occurrences),
                        static_cast<long long>(naive.documents), static_cast<long long>(naive.occurrences));
        }
    }
    std::printf("query targets %s; index and naive search %s on every count\n\n", allMet ? "all met" : "NOT ALL MET",
                agree ? "agree" : "DISAGREE");

    // Keystrokes as a user types them, each prefix one keystroke.
    const QStringList typed = {QStringLiteral("mspjs"), QStringLiteral("minshipanjue"), QStringLiteral("tjs"),
                               QStringLiteral("zxyy"), QStringLiteral("民事判决书"), QStringLiteral("调解"),
                               QStringLiteral("qqqq")};
    std::vector<double> keyMs;
    for (int run = 0; run < 10; ++run)
        for (const QString &word : typed)
            for (qsizetype n = 1; n <= word.size(); ++n) {
                timer.restart();
                const QList<Suggestion> offers = index->titles().suggest(word.left(n));
                keyMs.push_back(timer.nsecsElapsed() / 1e6);
            }
    const Figures keys = figuresOf(keyMs);
    std::printf("type-ahead over %lld titles (catalogue and pages): keystroke to offers median %.2f ms, p95 %.2f ms "
                "(target p95 <= 5 ms: %s)\n",
                static_cast<long long>(index->titles().size()), keys.median, keys.p95, keys.p95 <= 5 ? "met" : "MISSED");
    return agree ? 0 : 2;
}
