// SPDX-License-Identifier: GPL-3.0-or-later
// The skin as a Qt style sheet applied to the whole application.
#pragma once

#include "platform/skin.h"

namespace Juanzong {

class StyleSheetSkin final : public Skin
{
public:
    // A file that cannot be read leaves the plain look.
    void attachEx(const QString &skinFile) override;
};

} // namespace Juanzong
