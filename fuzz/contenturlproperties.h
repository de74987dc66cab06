// SPDX-License-Identifier: GPL-3.0-or-later
// What must hold for any URL a page may ask for and any start of a file: checked by the fuzzer and replayed by the tests.
#pragma once

#include <QByteArrayView>
#include <QString>

namespace Juanzong::ContentUrlProperties {

// The folder the checks map URLs into.
inline constexpr QStringView Root = u"/opt/jz/ws";

// Checks one input, read both as a URL (its bytes as they would arrive
// escaped, and as a path under the folder's URL) and as the start of a file:
// a URL maps to a file only inside the folder, cleaned, and back to a URL that
// maps to the same file; the folder is the only place viewable under the
// scheme; a page's label depends on its first SniffBytes only and is one of
// the two. Returns what went wrong, or an empty string.
QString check(QByteArrayView data);

} // namespace Juanzong::ContentUrlProperties
