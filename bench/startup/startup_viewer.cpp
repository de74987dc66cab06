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
    const QString shot = app.arguments().value(2); // a picture of the first paint, when named
    Juanzong::Viewer viewer([programDir] { return programDir; });
    Juanzong::MainWindow &window = viewer.window();
    window.show();
    QWidget *tree = window.findChild<QWidget *>(QStringLiteral("TreeView1"));
    new StartupProbe::FirstPaint(&window, tree->geometry(), [&] {
        if (!shot.isEmpty())
            window.screen()->grabWindow(window.winId()).save(shot);
        // Painted without the engine: the benchmark holds it to that.
        StartupProbe::report("engine_at_paint", viewer.html().hasView() ? 1 : 0);
    });

    QTimer indexed;
    indexed.setInterval(5);
    QObject::connect(&indexed, &QTimer::timeout, &app, [&] {
        if (!window.fullText()->isIndexReady())
            return;
        indexed.stop();
        StartupProbe::report("indexed", StartupProbe::nowMs());
        StartupProbe::report("peak_indexed", double(StartupProbe::peakKiB()));
        QCoreApplication::exit(0);
    });
    QObject::connect(&viewer.html(), &Juanzong::HtmlView::ready, &app, [&] {
        StartupProbe::report("loaded", StartupProbe::nowMs());
        StartupProbe::report("peak", double(StartupProbe::peakKiB()));
        indexed.start();
    });
    return QApplication::exec();
}
