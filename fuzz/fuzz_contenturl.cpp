// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer entry: any bytes as a URL or a file's start must map and label as the folder's rules say.
#include "contenturlproperties.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString problem = Juanzong::ContentUrlProperties::check(
        QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)));
    if (!problem.isEmpty()) {
        std::fprintf(stderr, "content URL property broken: %s\n", qPrintable(problem));
        std::abort();
    }
    return 0;
}
