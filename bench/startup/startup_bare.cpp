// SPDX-License-Identifier: GPL-3.0-or-later
// The baseline for the page: a bare web view that loads one local file and quits once it has loaded.
#include "startupprobe.h"

#include <QApplication>
#include <QUrl>
#include <QWebEngineView>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWebEngineView view;
    view.resize(833, 713);
    QObject::connect(&view, &QWebEngineView::loadFinished, &app, [](bool ok) {
        StartupProbe::report("loaded", StartupProbe::nowMs());
        StartupProbe::report("peak", double(StartupProbe::peakKiB()));
        QCoreApplication::exit(ok ? 0 : 1);
    });
    view.load(QUrl::fromLocalFile(app.arguments().value(1)));
    view.show();
    return QApplication::exec();
}
