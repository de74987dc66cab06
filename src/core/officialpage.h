// SPDX-License-Identifier: GPL-3.0-or-later
// The paper of Chinese official documents (GB/T 9704-2012): what the printed
// page and the exported Word document share.
#pragma once

namespace Juanzong::OfficialLayout {

// A4 and its margins, in millimetres; they leave a type area of 156 x 225 mm.
constexpr double PageWidthMm = 210;
constexpr double PageHeightMm = 297;
constexpr double MarginTopMm = 37;
constexpr double MarginBottomMm = 35;
constexpr double MarginLeftMm = 28;
constexpr double MarginRightMm = 26;

} // namespace Juanzong::OfficialLayout
