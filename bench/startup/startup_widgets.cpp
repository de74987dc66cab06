// SPDX-License-Identifier: GPL-3.0-or-later
// The baseline for the first paint, the least any Qt window can do: a bare
// window of the viewer's size with a tree of 102 rows where the viewer has its
// catalogue; quits once that is on the screen.
#include "startupprobe.h"

#include <QApplication>
#include <QTreeWidget>

int main(int argc, char *argv[])
{
    StartupProbe::report("t_main", StartupProbe::nowMs());
    QApplication app(argc, argv);
    StartupProbe::report("t_app", StartupProbe::nowMs());
    QWidget window;
    window.resize(1151, 783);
    auto *tree = new QTreeWidget(&window);
    tree->setHeaderHidden(true);
    tree->setGeometry(24, 56, 249, 713);
    QList<QTreeWidgetItem *> rows;
    for (int i = 1; i <= 102; ++i)
        rows.append(new QTreeWidgetItem({QStringLiteral("民事诉讼文书样式 %1").arg(i)}));
    tree->addTopLevelItems(rows);
    StartupProbe::report("t_viewer", StartupProbe::nowMs());
    window.show();
    StartupProbe::report("t_shown", StartupProbe::nowMs());
    new StartupProbe::FirstPaint(&window, tree->geometry(), [] { QTimer::singleShot(0, qApp, &QCoreApplication::quit); });
    return QApplication::exec();
}
