// SPDX-License-Identifier: GPL-3.0-or-later
// The skin library: one call at start-up gives the whole program its look.
#pragma once

#include <QString>

namespace Juanzong {

class Skin
{
public:
    virtual ~Skin() = default;
    // Its result is not looked at: without a usable skin the program keeps its plain look.
    virtual int attachEx(const QString &skinFile, const QString &password) = 0;
};

} // namespace Juanzong
