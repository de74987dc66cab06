// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up of the viewer beside its baselines, run in turn in the same run:
//   first paint of the window with its catalogue   vs  a bare widget window with a 102-row tree
//   start page loaded                               vs  a bare web view on the same page
//   peak memory at the start page, and after the full-text index is built, vs the bare web view.
// Times run from the process's spawn; the runs report their moments on stdout.
#include <QByteArray>
#include <QDir>
#include <QList>
#include <QMap>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

double nowMs()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// What one run reported; times made relative to its spawn. Empty when it failed.
QMap<QByteArray, double> runOnce(const QList<QByteArray> &command)
{
    int out[2];
    if (pipe(out) != 0)
        return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::vector<char *> argv;
    for (const QByteArray &a : command)
        argv.push_back(const_cast<char *>(a.constData()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    const double start = nowMs();
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    QByteArray text;
    char buffer[4096];
    for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, n);
    close(out[0]);
    int status = 0;
    if (spawned != 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return {};
    QMap<QByteArray, double> figures;
    for (const QByteArray &line : text.split('\n')) {
        const QList<QByteArray> parts = line.trimmed().split(' ');
        if (parts.size() == 2)
            figures.insert(parts[0], parts[1].toDouble());
    }
    for (const char *moment : {"painted", "loaded", "indexed"})
        if (figures.contains(moment))
            figures[moment] -= start;
    return figures;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n == 0 ? 0 : n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace

int main(int argc, char *argv[])
{
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 7;
    const QByteArray appDir = QByteArray(JUANZONG_APP_DIR);
    const QByteArray startPage = QDir(QString::fromUtf8(appDir)).filePath(QStringLiteral("ws/wszzgf.html")).toUtf8();
    const QList<QByteArray> viewer{STARTUP_VIEWER, appDir}, bare{STARTUP_BARE, startPage}, widgets{STARTUP_WIDGETS};

    std::map<QByteArray, std::vector<double>> v, b, w; // figure -> one value a run
    // One warm-up of each, so that all find their libraries in the page cache.
    runOnce(viewer);
    runOnce(bare);
    runOnce(widgets);
    for (int i = 0; i < runs; ++i) {
        const auto fw = runOnce(widgets);
        const auto fv = runOnce(viewer);
        const auto fb = runOnce(bare);
        if (!fw.contains("painted") || !fv.contains("indexed") || !fb.contains("loaded")) {
            std::fprintf(stderr, "a start-up run failed (widgets %d, viewer %d, bare view %d)\n",
                         int(fw.contains("painted")), int(fv.contains("indexed")), int(fb.contains("loaded")));
            return 1;
        }
        if (fv.value("engine_at_paint") != 0) {
            std::fprintf(stderr, "the viewer's first paint waited for the web engine\n");
            return 1;
        }
        for (const auto &[all, one] : {std::pair{&w, &fw}, {&v, &fv}, {&b, &fb}})
            for (auto it = one->cbegin(); it != one->cend(); ++it)
                (*all)[it.key()].push_back(it.value());
    }
    const auto m = [](std::map<QByteArray, std::vector<double>> &figures, const char *name) {
        return median(figures[name]);
    };
    const double paint = m(v, "painted"), barePaint = m(w, "painted");
    const double loaded = m(v, "loaded"), bareLoaded = m(b, "loaded");
    const double peak = m(v, "peak") / 1024, barePeak = m(b, "peak") / 1024, indexed = m(v, "peak_indexed") / 1024;
    std::printf("start-up, medians of %d runs, each beside its baseline run in turn with it\n", runs);
    std::printf("  first paint with the catalogue   %7.1f ms   bare widget window, 102-row tree %7.1f ms   %.2f x (target <= 1.20 x)\n",
                paint, barePaint, paint / barePaint);
    std::printf("  start page loaded                %7.1f ms   bare QWebEngineView, same page   %7.1f ms   %.2f x (target <= 1.05 x)\n",
                loaded, bareLoaded, loaded / bareLoaded);
    std::printf("  peak memory at the start page    %7.1f MB   bare QWebEngineView              %7.1f MB   %.2f x (target <= 1.10 x)\n",
                peak, barePeak, peak / barePeak);
    std::printf("  peak memory, full-text index built %5.1f MB   (%+.1f MB over the start page, target <= 10 MB; built at %.0f ms)\n",
                indexed, indexed - peak, m(v, "indexed"));
    return 0;
}
