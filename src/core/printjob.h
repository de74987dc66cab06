// SPDX-License-Identifier: GPL-3.0-or-later
// A print job handed to the printing system as the PDF the page is written as,
// so that paper gets the same vector text as a saved PDF.
#pragma once

#include <QString>
#include <QStringList>

namespace Juanzong::PrintJob {

enum class Sides { OneSided, LongEdge, ShortEdge };

// What the print dialog chose beyond the page layout and the pages, which the
// PDF itself carries.
struct Options
{
    QString printer; // empty: the system's default printer
    int copies = 1;
    bool collate = false;
    Sides sides = Sides::OneSided;
    QString title;
};

// The program that queues a print job (CUPS' lp), and its arguments for one
// that reads the PDF from its standard input.
inline constexpr QLatin1StringView Spooler{"lp"};
QStringList spoolerArguments(const Options &options);

} // namespace Juanzong::PrintJob
