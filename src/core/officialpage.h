// SPDX-License-Identifier: GPL-3.0-or-later
// The paper of Chinese official documents (GB/T 9704-2012): what the printed
// page and the exported Word document share.
#pragma once

namespace Juanzong::OfficialLayout {

// A sheet and its margins, in millimetres.
struct Paper
{
    double width, height;
    double top, bottom, left, right;

    constexpr double typeWidth() const { return width - left - right; }
    constexpr double typeHeight() const { return height - top - bottom; }
};

// A4, with margins that leave a type area of 156 x 225 mm.
inline constexpr Paper PaperMm{.width = 210, .height = 297, .top = 37, .bottom = 35, .left = 28, .right = 26};
static_assert(PaperMm.typeWidth() == 156 && PaperMm.typeHeight() == 225);

} // namespace Juanzong::OfficialLayout
