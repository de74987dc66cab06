// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer entry: any bytes as keyword and index must match and page exactly as the plain rule does.
#include "searchproperties.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString problem = Juanzong::SearchProperties::check(
        QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)));
    if (!problem.isEmpty()) {
        std::fprintf(stderr, "search property broken: %s\n", qPrintable(problem));
        std::abort();
    }
    return 0;
}
