// SPDX-License-Identifier: GPL-3.0-or-later
#include "fulltext/textscan.h"

namespace Juanzong::TextScan {

namespace {
bool g_vectors = true;
}

void setVectors(bool on)
{
    g_vectors = on;
}

bool vectors()
{
    return g_vectors;
}

} // namespace Juanzong::TextScan
