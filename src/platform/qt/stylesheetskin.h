// SPDX-License-Identifier: GPL-3.0-or-later
// The skin as a Qt style sheet applied to the whole application.
#pragma once

#include "platform/skin.h"

namespace Juanzong {

class StyleSheetSkin final : public Skin
{
public:
    // Returns 1 when the style sheet was applied, 0 when the file could not be
    // read; the plain look stays then.
    int attachEx(const QString &skinFile, const QString &password) override;
};

} // namespace Juanzong
