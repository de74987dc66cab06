// SPDX-License-Identifier: GPL-3.0-or-later
// The result page of a search, assembled directly in GBK from the matching index lines.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QStringView>

namespace Juanzong {

class GbkCodec;

// The page is the fixed head with the keyword, one entry per matching line in
// file order, and the fixed foot with the hit count. The keyword, each title and
// each target are HTML-escaped (& < > " ' only), so nothing typed or indexed
// becomes markup. Index bytes go through as they are wherever that equals
// decoding and encoding them again, which is what keeps large pages cheap.
class ResultPage final
{
public:
    ResultPage(const GbkCodec &codec, QStringView keyword);

    // Adds the entry for one matching index line, given without its line end.
    // A line without the `">` delimiter has no title: it adds nothing and is
    // not counted.
    void addLine(QByteArrayView line);

    qsizetype hits() const { return m_hits; }

    // Adds the foot with the hit count; no line may follow.
    void finish();

    // The page in GBK as built since the last clearPending(): all of it when
    // never cleared. Taking it in pieces lets a large page go to disk without
    // ever being held whole.
    QByteArrayView pending() const { return m_page; }
    void clearPending() { m_page.resize(0); }

private:
    const GbkCodec *m_codec;
    QByteArray m_page;
    qsizetype m_hits = 0;
};

} // namespace Juanzong
