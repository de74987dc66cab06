// SPDX-License-Identifier: GPL-3.0-or-later
// Proportional layout: every control keeps its design proportions as the window is resized.
#pragma once

#include <QList>
#include <QString>

#include <array>

class QWidget;

namespace Juanzong {

// Window geometry is kept in twips, as the controls were designed; Qt's
// device-independent pixels keep 15 twips to the pixel on every screen.
inline constexpr int TwipsPerPixel = 15;

struct DesignSize
{
    int DesignWidth = 0;  // client width in twips when the layout was saved
    int DesignHeight = 0; // client height in twips when the layout was saved
};

// Records the client size and writes every control's LayoutRecord
// ("left top width height ", twips, each number followed by one space) into
// its "Tag" property.
DesignSize SaveLayout(QWidget &window, const QList<QWidget *> &controls);

// Moves every control to its recorded geometry scaled by the ratio of the
// current client size to the design size. Always scales from the record, so
// repeated resizing accumulates no error. Reports nothing.
void ApplyLayout(QWidget &window, const QList<QWidget *> &controls, DesignSize design);

namespace LayoutRecord {

QString format(int left, int top, int width, int height);

// Reads the four numbers of a record: a number ends at the next space; with no
// further space it is 0 and the reading position stays. A field that is not a
// number keeps the value in `fields` (the same field of the previous control).
void parse(const QString &record, std::array<double, 4> &fields);

} // namespace LayoutRecord
} // namespace Juanzong
