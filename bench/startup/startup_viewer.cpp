// SPDX-License-Identifier: GPL-3.0-or-later
// Starts the whole viewer on a program directory and reports its first paint,
// its start page loaded and, after that, the full-text index built; then quits.
#include "startupprobe.h"

#include "app/viewer.h"
#include "fulltextui/fulltextcontroller.h"

#include <QApplication>
#include <QTreeWidget>

int main(int argc, char *argv[])
{
    Juanzong::Viewer::prepare();
    QApplication app(argc, argv);
    const QString programDir = app.arguments().value(1);
    // When named: pictures of the window at its first paint and with its start page.
    const QString shots = app.arguments().value(2);
    Juanzong::Viewer viewer([programDir] { return programDir; });
    Juanzong::MainWindow &window = viewer.window();
    window.show();
    QWidget *tree = window.findChild<QWidget *>(QStringLiteral("TreeView1"));
    new StartupProbe::FirstPaint(&window, tree->geometry(), [&] {
        if (!shots.isEmpty())
            window.screen()->grabWindow(window.winId()).save(shots + QStringLiteral("-first-paint.png"));
        // Painted without the engine: the benchmark holds it to that.
        StartupProbe::report("engine_at_paint", viewer.html().hasView() ? 1 : 0);
    });

    QTimer indexed;
    indexed.setInterval(5);
    QObject::connect(&indexed, &QTimer::timeout, &app, [&] {
        // The index is built once its titles are there for the type-ahead.
        const auto *fullText = window.findChild<Juanzong::FullTextController *>();
        if (!fullText || !fullText->indexedTitles())
            return;
        indexed.stop();
        StartupProbe::report("indexed", StartupProbe::nowMs());
        StartupProbe::report("peak_indexed", double(StartupProbe::peakKiB()));
        QCoreApplication::exit(0);
    });
    QObject::connect(&viewer.html(), &Juanzong::HtmlView::ready, &app, [&] {
        StartupProbe::report("loaded", StartupProbe::nowMs());
        StartupProbe::report("peak", double(StartupProbe::peakKiB()));
        if (!shots.isEmpty())
            QTimer::singleShot(300, &window, [&] {
                window.screen()->grabWindow(window.winId()).save(shots + QStringLiteral("-start-page.png"));
            });
        indexed.start();
    });
    return QApplication::exec();
}
