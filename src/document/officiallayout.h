// SPDX-License-Identifier: GPL-3.0-or-later
// The page layout of Chinese official documents (GB/T 9704-2012), in the units
// each consumer needs: the Word writer and the clipboard. The paper itself,
// which the printer shares, is in core.
#pragma once

#include "core/officialpage.h"

namespace Juanzong::OfficialLayout {

// 三号 body, 二号 titles, 四号 page numbers.
constexpr int BodyPt = 16;
constexpr int TitlePt = 22;
constexpr int PageNumberPt = 14;

constexpr int LinesPerPage = 22;
constexpr int CharsPerLine = 28;

constexpr int twipsOfMm(double mm)
{
    const double twips = mm * 1440 / 25.4;
    return int(twips + 0.5);
}

// Exact line pitch: the largest whole number of twips at which 22 lines still
// fit in the 225 mm type height (22 x 579 = 12738 <= 12756 twips).
constexpr int LinePitchTwips = 579;
static_assert(LinesPerPage * LinePitchTwips <= twipsOfMm(PaperMm.typeHeight()));
static_assert((LinesPerPage + 1) * LinePitchTwips > twipsOfMm(PaperMm.typeHeight()));

// 28 characters of 16 pt are 448 pt, the type width 442.2 pt: each character
// is set this much closer, in twentieths of a point (28 x 15.75 pt = 441 pt).
// Plain character spacing, not Word's character grid, which other word
// processors spread out instead of narrowing.
constexpr int CharSpacingTwentieths = -5;
static_assert(CharsPerLine * (BodyPt * 20 + CharSpacingTwentieths) <= twipsOfMm(PaperMm.typeWidth()));

// Families in order of preference (single quotes: the lists go into style attributes): the one official documents name first, then
// what Windows, Office and Linux desktops actually have.
inline constexpr const char16_t *BodyFamily = u"FangSong_GB2312";
inline constexpr const char16_t *BodyFamilyAlt = u"仿宋";
inline constexpr const char16_t *BodyFallbacks = u"'FangSong_GB2312', '仿宋_GB2312', FangSong, '仿宋', 'STFangsong', "
                                                  u"'AR PL UMing CN', 'Noto Serif CJK SC', serif";
// Titles in bold 宋体, the choice every desktop has, rather than 小标宋, which
// few have and which would look heavy in the bold a fallback needs.
inline constexpr const char16_t *TitleFamily = u"宋体";
inline constexpr const char16_t *TitleFamilyAlt = u"SimSun";
inline constexpr const char16_t *TitleFallbacks = u"'宋体', SimSun, 'NSimSun', 'Songti SC', 'Noto Serif CJK SC', serif";

} // namespace Juanzong::OfficialLayout
