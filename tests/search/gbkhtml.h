// SPDX-License-Identifier: GPL-3.0-or-later
// Text as the search writes it into its pages: GBK, with a reference for
// whatever GBK lacks.
#pragma once

#include "search/gbkcodec.h"

#include <QByteArray>
#include <QString>

namespace Juanzong::Testing {

inline QByteArray gbkHtml(const QString &text)
{
    QByteArray bytes;
    if (const GbkCodec *codec = GbkCodec::system())
        codec->appendHtml(bytes, text);
    return bytes;
}

} // namespace Juanzong::Testing
