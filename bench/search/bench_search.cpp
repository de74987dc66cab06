// SPDX-License-Identifier: GPL-3.0-or-later
// The keyword search on a large generated index, timed beside grep doing the same scan.
#include "search/keywordsearch.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <utility>
#include <vector>

using namespace Juanzong;
using namespace Qt::StringLiterals;

namespace {
constexpr int Lines = 1'000'000;
constexpr int Runs = 5;
// Appears in a handful of titles only.
constexpr QStringView RareKeyword = u"海事赔偿责任限制基金";
constexpr int RareLines = 7;
// Every target ends in ".html#ws…".
constexpr QStringView CommonKeyword = u"html";

constexpr QStringView Courts[] = {u"", u"最高人民法院", u"高级人民法院", u"中级人民法院", u"基层人民法院", u"人民法庭"};
constexpr QStringView Documents[] = {
    u"民事裁定书", u"民事判决书", u"民事调解书", u"决定书", u"通知书", u"传票", u"民事起诉状", u"民事答辩状",
    u"民事上诉状", u"申请书", u"庭审笔录", u"公告", u"支付令", u"执行裁定书", u"行政判决书", u"国家赔偿决定书",
    u"询问笔录", u"送达回证", u"受理案件通知书", u"举证通知书", u"应诉通知书", u"民事再审申请书"};
constexpr QStringView Purposes[] = {
    u"准许或者不准许撤诉用", u"驳回起诉用", u"对管辖权提出异议用", u"诉讼财产保全用", u"先予执行用",
    u"终结诉讼用", u"中止诉讼用", u"补正裁判文书中的笔误用", u"第一审普通程序用", u"二审维持原判或者改判用",
    u"依照审判监督程序再审用", u"申请执行人用", u"公示催告程序用", u"诉前证据保全用", u"追加当事人用",
    u"不予受理起诉用", u"小额诉讼程序用", u"简易程序转为普通程序用", u"撤销仲裁裁决用", u"确认调解协议用"};
constexpr QStringView Notes[] = {u"样式", u"格式说明", u"制作要点", u"附：相关法条", u"填写示例", u"范本"};

template<typename T, size_t N>
const T &pick(const T (&list)[N], QRandomGenerator &random)
{
    return list[random.bounded(int(N))];
}

QByteArray generateIndex(QStringEncoder &gbk)
{
    QRandomGenerator random(20240611);
    QByteArray index;
    index.reserve(Lines * 110);
    std::vector<int> rare;
    for (int i = 0; i < RareLines; ++i)
        rare.push_back(random.bounded(Lines));
    for (int i = 0; i < Lines; ++i) {
        QString title = pick(Courts, random) + pick(Documents, random) + u"（" + pick(Purposes, random) + u"）"
            + pick(Notes, random) + u"第" + QString::number(random.bounded(1, 300)) + u"号·参见"
            + pick(Documents, random);
        if (std::find(rare.begin(), rare.end(), i) != rare.end())
            title += u"（申请设立" + RareKeyword + u"用）";
        const QString line = u"juanzongfanben-" + QString::number(random.bounded(1, 103)) + u".html#ws"
            + QString::number(random.bounded(1, 60)) + u"\">" + title + u"\r\n";
        index.append(gbk.encode(line));
    }
    return index;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double timeMs(const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e6;
}

// Peak resident memory in KiB; writing 5 to clear_refs starts a new peak.
long peakKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

void resetPeak()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly))
        refs.write("5");
}

void runGrep(const QStringList &arguments, const QString &outputFile)
{
    QProcess grep;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    grep.setProcessEnvironment(env);
    // Never /dev/null: grep notices it and stops at the first match.
    grep.setStandardOutputFile(outputFile);
    grep.start(QStringLiteral("grep"), arguments);
    if (!grep.waitForFinished(-1) || grep.exitStatus() != QProcess::NormalExit || grep.exitCode() > 1)
        qFatal("grep failed: %s", qPrintable(grep.errorString()));
}

struct Row
{
    double search;
    double grep;
};

void print(const char *what, const Row &row, double target)
{
    std::printf("%-44s %9.1f ms   grep %9.1f ms   ratio %5.2f x   (target <= %.1f x)\n", what, row.search,
                row.grep, row.search / row.grep, target);
}
// The search's files, all in one folder.
SearchFiles filesIn(const QTemporaryDir &dir)
{
    return {dir.filePath(u"alllist.txt"_s), dir.filePath(u"searchmoban.txt"_s), dir.filePath(u"search.txt"_s),
            dir.filePath(u"search.html"_s)};
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid())
        qFatal("no temporary folder");
    const SearchFiles files = filesIn(dir);
    const QString &indexPath = files.index;

    QStringEncoder gbk("GBK");
    std::printf("generating %d index lines ...\n", Lines);
    {
        const QByteArray index = generateIndex(gbk);
        QFile file(indexPath);
        if (!file.open(QIODevice::WriteOnly) || file.write(index) != index.size())
            qFatal("cannot write the index");
        QFile templ(files.searchTemplate);
        if (!templ.open(QIODevice::WriteOnly))
            qFatal("cannot write the template");
    }
    const qint64 indexBytes = QFileInfo(indexPath).size();
    std::printf("index: %.1f MB in %s\n\n", double(indexBytes) / 1e6, qPrintable(indexPath));

    auto keywordFile = [&](QStringView keyword) {
        const QString path = dir.filePath(u"keyword-" + QString::number(keyword.size()));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(gbk.encode(keyword)) < 0)
            qFatal("cannot write the keyword file");
        return path;
    };
    const QString rareFile = keywordFile(RareKeyword);
    const QString commonFile = keywordFile(CommonKeyword);
    const QString grepOut = dir.filePath(QStringLiteral("grep-out.txt"));

    auto measure = [&](QStringView keyword, const QStringList &grepArguments, const QString &grepOutput,
                       qsizetype *hits) {
        std::vector<double> searches, greps;
        for (int run = 0; run < Runs + 1; ++run) { // the first run warms the page cache
            const double g = timeMs([&] { runGrep(grepArguments, grepOutput); });
            SearchOutcome outcome;
            const double s = timeMs([&] { outcome = runSearch(keyword.toString(), files); });
            if (outcome.kind != SearchOutcome::Kind::Saved)
                qFatal("search did not save: %s", qPrintable(outcome.message));
            *hits = outcome.hits;
            if (run > 0) {
                greps.push_back(g);
                searches.push_back(s);
            }
        }
        return Row{median(searches), median(greps)};
    };

    qsizetype rareHits = 0, commonHits = 0;
    const Row rare =
        measure(RareKeyword, {u"-F"_s, u"-c"_s, u"-f"_s, rareFile, indexPath}, dir.filePath(u"grep-count.txt"_s), &rareHits);
    const Row common = measure(CommonKeyword, {u"-F"_s, u"-f"_s, commonFile, indexPath}, grepOut, &commonHits);
    const qint64 pageBytes = QFileInfo(files.page).size();

    std::printf("median of %d runs; search = whole runSearch (scan, page, both files written)\n", Runs);
    std::printf("(a) rare keyword, %lld hits, vs grep -F -c\n", qlonglong(rareHits));
    print("    search", rare, 1.0);
    std::printf("(b) keyword on every line, %lld hits, page %.1f MB, vs grep -F > file\n", qlonglong(commonHits),
                double(pageBytes) / 1e6);
    print("    search", common, 3.0);

    // Peak memory: what a search adds above what the process held before it.
    const long before = peakKiB();
    resetPeak();
    const long idle = peakKiB();
    runSearch(RareKeyword.toString(), files);
    const long rarePeak = peakKiB();
    resetPeak();
    runSearch(CommonKeyword.toString(), files);
    const long commonPeak = peakKiB();
    std::printf("(c) peak memory added by one search (index %.1f MB; process peak so far %.1f MB)\n",
                double(indexBytes) / 1e6, double(before) / 1024);
    std::printf("    rare keyword:   %8.1f MB\n", double(rarePeak - idle) / 1024);
    std::printf("    every line:     %8.1f MB   (page %.1f MB)\n", double(commonPeak - idle) / 1024,
                double(pageBytes) / 1e6);

    // One long line whose every "A" is the second byte of a character: each is
    // a false hit, and the time must grow with the line, not with its square.
    QTemporaryDir longDir;
    const SearchFiles longFiles = filesIn(longDir);
    const QString &longIndex = longFiles.index;
    const QString aFile = longDir.filePath(u"keyword-a"_s);
    {
        QFile file(aFile);
        if (!file.open(QIODevice::WriteOnly) || file.write("A") != 1)
            qFatal("cannot write the keyword file");
    }
    auto falseHits = [&](qsizetype lineBytes) {
        QFile file(longIndex);
        const QByteArray line = "x\">" + QByteArray("\x81\x41").repeated(lineBytes / 2) + "\r\n";
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(line) != line.size())
            qFatal("cannot write the index");
        std::vector<double> searches, greps;
        for (int run = 0; run < Runs + 1; ++run) {
            const double g = timeMs([&] { runGrep({u"-F"_s, u"-c"_s, u"-f"_s, aFile, longIndex}, grepOut); });
            SearchOutcome outcome;
            const double t = timeMs([&] { outcome = runSearch(u"A"_s, longFiles); });
            if (outcome.kind != SearchOutcome::Kind::NothingFound)
                qFatal("a trail byte was taken for the keyword");
            if (run > 0) {
                greps.push_back(g);
                searches.push_back(t);
            }
        }
        return Row{median(searches), median(greps)};
    };
    const Row shorter = falseHits(400 * 1024);
    const Row longer = falseHits(800 * 1024);
    std::printf("(d) one line of false hits (\"x\\\">\" then 81 41 repeated), keyword \"A\", no hit\n");
    for (const auto &[what, row] : {std::pair{"400 KB line", shorter}, std::pair{"800 KB line", longer}})
        std::printf("    %-40s %9.2f ms   grep %9.2f ms\n", what, row.search, row.grep);
    std::printf("    800 KB / 400 KB: %.2f x   (target <= 2.2 x; grep %.2f x)\n", longer.search / shorter.search,
                longer.grep / shorter.grep);
    return 0;
}
