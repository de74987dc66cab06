// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/printjob.h"

namespace Juanzong::PrintJob {

QStringList spoolerArguments(const Options &options)
{
    QStringList arguments;
    if (!options.printer.isEmpty())
        arguments << QStringLiteral("-d") << options.printer;
    if (!options.title.isEmpty())
        arguments << QStringLiteral("-t") << options.title;
    if (options.copies > 1) {
        arguments << QStringLiteral("-n") << QString::number(options.copies);
        // Without it the printer puts out each page that many times in a row.
        if (options.collate)
            arguments << QStringLiteral("-o") << QStringLiteral("collate=true");
    }
    switch (options.sides) {
    case Sides::OneSided:
        arguments << QStringLiteral("-o") << QStringLiteral("sides=one-sided");
        break;
    case Sides::LongEdge:
        arguments << QStringLiteral("-o") << QStringLiteral("sides=two-sided-long-edge");
        break;
    case Sides::ShortEdge:
        arguments << QStringLiteral("-o") << QStringLiteral("sides=two-sided-short-edge");
        break;
    }
    return arguments;
}

} // namespace Juanzong::PrintJob
