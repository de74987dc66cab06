// SPDX-License-Identifier: GPL-3.0-or-later
// Modal message boxes: the only way the program tells the user anything.
#pragma once

#include <QString>

namespace Juanzong {

class MessageBox
{
public:
    virtual ~MessageBox() = default;
    // A modal box with an OK button only.
    virtual void show(const QString &text, const QString &title) = 0;
};

} // namespace Juanzong
