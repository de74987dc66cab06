// SPDX-License-Identifier: GPL-3.0-or-later
// The skin library: one call at start-up gives the whole program its look.
#pragma once

#include <QString>

namespace Juanzong {

class Skin
{
public:
    virtual ~Skin() = default;
    // Without a usable skin the program keeps its plain look. The library's
    // password argument is always empty here and is left out.
    virtual void attachEx(const QString &skinFile) = 0;
};

} // namespace Juanzong
