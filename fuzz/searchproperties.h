// SPDX-License-Identifier: GPL-3.0-or-later
// What must hold for any index bytes and any keyword: checked by the fuzzer and replayed by the tests.
#pragma once

#include <QByteArrayView>
#include <QString>

namespace Juanzong::SearchProperties {

// Reads a keyword and index bytes out of data. The first byte gives the
// keyword's length (its low five bits) and form: with the high bit set the next
// bytes are UTF-16 code units (any string, lone surrogates included), otherwise
// GBK bytes, so keywords that do occur in the index come up often. The rest is
// the index.
struct Input
{
    QString keyword;
    QByteArrayView index;
};
Input split(QByteArrayView data);

// Checks one input: the matcher picks exactly the lines whose GBK decoding
// contains the keyword, and the page equals one built the plain way from
// decoded strings. Returns what went wrong, or an empty string.
QString check(QByteArrayView data);

} // namespace Juanzong::SearchProperties
