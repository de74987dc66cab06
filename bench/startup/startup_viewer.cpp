// SPDX-License-Identifier: GPL-3.0-or-later
// Starts the whole viewer on a program directory and quits once the start page has loaded.
#include "app/viewer.h"

#include <QApplication>
#include <QWebEngineView>

int main(int argc, char *argv[])
{
    Juanzong::Viewer::prepare();
    QApplication app(argc, argv);
    const QString programDir = app.arguments().value(1);
    Juanzong::Viewer viewer([programDir] { return programDir; });
    viewer.window().show();
    QObject::connect(viewer.webView(), &QWebEngineView::loadFinished, &app,
                     [](bool ok) { QCoreApplication::exit(ok ? 0 : 1); });
    return QApplication::exec();
}
