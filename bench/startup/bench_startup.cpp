// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up time and peak memory of the viewer next to a bare web view on the same page,
// measured in the same run: process start -> start page loaded (catalogue built before).
#include <QDir>
#include <QElapsedTimer>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <vector>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char **environ;

namespace {

struct Sample
{
    double ms = 0;
    long peakKiB = 0;
    bool ok = false;
};

Sample runOnce(const char *program, const QByteArray &argument)
{
    QElapsedTimer timer;
    timer.start();
    pid_t pid = 0;
    char *argv[] = {const_cast<char *>(program), const_cast<char *>(argument.constData()), nullptr};
    if (posix_spawn(&pid, program, nullptr, nullptr, argv, environ) != 0)
        return {};
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid)
        return {};
    Sample s;
    s.ms = timer.nsecsElapsed() / 1e6;
    s.peakKiB = usage.ru_maxrss;
    s.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return s;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace

int main(int argc, char *argv[])
{
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 7;
    const QByteArray appDir = QByteArray(JUANZONG_APP_DIR);
    const QByteArray startPage = QDir(QString::fromUtf8(appDir)).filePath(QStringLiteral("ws/wszzgf.html")).toUtf8();

    std::vector<double> viewerMs, bareMs;
    long viewerPeak = 0, barePeak = 0;
    // One warm-up of each, so that both find the libraries in the page cache.
    runOnce(STARTUP_VIEWER, appDir);
    runOnce(STARTUP_BARE, startPage);
    for (int i = 0; i < runs; ++i) {
        const Sample v = runOnce(STARTUP_VIEWER, appDir);
        const Sample b = runOnce(STARTUP_BARE, startPage);
        if (!v.ok || !b.ok) {
            std::fprintf(stderr, "a start-up run failed (viewer ok=%d, bare ok=%d)\n", v.ok, b.ok);
            return 1;
        }
        viewerMs.push_back(v.ms);
        bareMs.push_back(b.ms);
        viewerPeak = std::max(viewerPeak, v.peakKiB);
        barePeak = std::max(barePeak, b.peakKiB);
    }
    const double v = median(viewerMs), b = median(bareMs);
    std::printf("start-up to start page loaded, median of %d runs\n", runs);
    std::printf("  viewer (window, skin, catalogue, start page): %8.1f ms   peak RSS %7ld KiB\n", v, viewerPeak);
    std::printf("  baseline: bare QWebEngineView, same page:     %8.1f ms   peak RSS %7ld KiB\n", b, barePeak);
    std::printf("  ratio viewer / baseline: time %.2f x (target <= 1.25 x), memory %.2f x\n", v / b,
                double(viewerPeak) / double(barePeak));
    return 0;
}
