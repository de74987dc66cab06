// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop around the program: other programs for links, and the user's choice of a file.
#pragma once

#include <QString>

class QUrl;

namespace Juanzong {

class Desktop
{
public:
    virtual ~Desktop() = default;
    // Hands a web or mail link to the system's browser or mail program.
    virtual void openExternally(const QUrl &url) = 0;
    // Asks the user where to save a PDF, offering suggestedName; empty when cancelled.
    virtual QString askPdfFile(const QString &suggestedName) = 0;
    // Asks where to save a Word document, offering suggestedPath (a bare name
    // goes to the user's documents folder); empty when cancelled.
    virtual QString askDocxFile(const QString &suggestedPath) = 0;
};

} // namespace Juanzong
