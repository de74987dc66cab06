// SPDX-License-Identifier: GPL-3.0-or-later
// Cost of one proportional-layout pass over the window's ten controls, next to the
// bare cost of moving the same ten widgets to precomputed rectangles.
#include "window/fakes.h"

#include "window/controllayout.h"
#include "window/mainwindow.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace Qt::StringLiterals;

using namespace Juanzong;
using namespace Juanzong::Testing;

namespace {

template<typename Pass>
double medianMicroseconds(Pass pass, int rounds, int perRound)
{
    std::vector<double> samples;
    for (int r = 0; r < rounds; ++r) {
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < perRound; ++i)
            pass(i);
        samples.push_back(timer.nsecsElapsed() / 1e3 / perRound);
    }
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    CallLog log;
    FakeHtmlView html{log};
    FakeTreeView tree{log};
    FakeSkin skin{log};
    FakeMessageBox messages{log};
    QWidget host;
    MainWindow window(WindowParts{new QWidget, &html, new QWidget, &tree, &skin, &messages, [] { return u"/x"_s; }},
                      &host);
    window.move(0, 0);
    host.resize(2400, 1600);
    host.show();

    // Alternate between two sizes so every pass really moves every control.
    const QSize sizes[] = {{1151, 783}, {1800, 1200}};
    std::vector<QList<QRect>> targets;
    for (const QSize size : sizes) {
        window.resize(size);
        QList<QRect> rects;
        for (const QWidget *control : window.controls())
            rects << control->geometry();
        targets.push_back(rects);
    }

    const int rounds = 15, perRound = 2000;
    const double apply = medianMicroseconds(
        [&](int i) {
            window.setGeometry(QRect(QPoint(0, 0), sizes[i % 2])); // the resize event runs ApplyLayout
        },
        rounds, perRound);
    const double bare = medianMicroseconds(
        [&](int i) {
            const QList<QRect> &rects = targets[i % 2];
            const QList<QWidget *> &controls = window.controls();
            for (qsizetype c = 0; c < controls.size(); ++c)
                controls[c]->setGeometry(rects[c]);
        },
        rounds, perRound);
    const double parseOnly = medianMicroseconds(
        [&](int) {
            std::array<double, 4> fields{};
            for (const QWidget *control : window.controls())
                LayoutRecord::parse(control->property("Tag").toString(), fields);
        },
        rounds, perRound);

    std::printf("proportional layout, ten controls, median per pass over %d rounds of %d\n", rounds, perRound);
    std::printf("  resize with ApplyLayout:                   %8.2f us (target: well under 1000 us)\n", apply);
    std::printf("  baseline: move ten widgets to known rects: %8.2f us\n", bare);
    std::printf("  of which reading the ten records:          %8.2f us\n", parseOnly);
    std::printf("  ratio ApplyLayout / baseline: %.2f x\n", apply / bare);
    return 0;
}
