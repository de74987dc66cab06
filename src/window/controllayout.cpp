// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/controllayout.h"

#include <QLocale>
#include <QVariant>
#include <QWidget>

#include <cmath>

namespace Juanzong {

namespace {

constexpr const char *TagProperty = "Tag";

int toTwips(int pixels)
{
    return pixels * TwipsPerPixel;
}

int toPixels(double twips)
{
    return static_cast<int>(std::lround(twips / TwipsPerPixel));
}

} // namespace

DesignSize SaveLayout(QWidget &window, const QList<QWidget *> &controls)
{
    DesignSize design;
    // Half-to-even, as the size was once measured in fractional twips.
    design.DesignWidth = static_cast<int>(std::nearbyint(double(toTwips(window.width()))));
    design.DesignHeight = static_cast<int>(std::nearbyint(double(toTwips(window.height()))));
    for (QWidget *control : controls) {
        const QRect g = control->geometry();
        control->setProperty(TagProperty, LayoutRecord::format(toTwips(g.x()), toTwips(g.y()),
                                                                toTwips(g.width()), toTwips(g.height())));
    }
    return design;
}

void ApplyLayout(QWidget &window, const QList<QWidget *> &controls, DesignSize design)
{
    // Without a design size there is nothing to scale from; leave everything where it is.
    if (design.DesignWidth == 0 || design.DesignHeight == 0)
        return;

    const double sx = double(toTwips(window.width())) / design.DesignWidth;
    const double sy = double(toTwips(window.height())) / design.DesignHeight;

    std::array<double, 4> fields{};
    for (QWidget *control : controls) {
        LayoutRecord::parse(control->property(TagProperty).toString(), fields);
        const auto [left, top, width, height] = fields;
        control->setGeometry(toPixels(left * sx), toPixels(top * sy), toPixels(width * sx),
                             toPixels(height * sy));
    }
}

namespace LayoutRecord {

QString format(int left, int top, int width, int height)
{
    // Plain digits: a group separator would read back as a different number.
    QString record;
    for (int value : {left, top, width, height})
        record += QString::number(value) + u' ';
    return record;
}

void parse(const QString &record, std::array<double, 4> &fields)
{
    const QLocale locale;
    qsizetype position = 0;
    for (double &field : fields) {
        const qsizetype space = record.indexOf(u' ', position);
        if (space < 0) {
            field = 0;
            continue;
        }
        bool ok = false;
        const double value = locale.toDouble(QStringView(record).sliced(position, space - position), &ok);
        if (ok)
            field = value;
        position = space + 1;
    }
}

} // namespace LayoutRecord
} // namespace Juanzong
