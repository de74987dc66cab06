// SPDX-License-Identifier: GPL-3.0-or-later
// The viewer's entry point: no arguments, no configuration, one window.
#include "app/chinese.h"
#include "app/viewer.h"

#include "core/contentpaths.h"
#include "core/version.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char *argv[])
{
    Juanzong::Viewer::prepare();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("juanzong"));
    // No display name: Qt would append it to every title the desktop shows.
    QApplication::setApplicationVersion(QStringLiteral(JUANZONG_VERSION));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/juanzong/juanzong-200.png")));
    Juanzong::loadChineseTranslations(app);

    Juanzong::Viewer viewer(&Juanzong::ContentPaths::programDirectory);
    viewer.window().show();
    return QApplication::exec();
}
