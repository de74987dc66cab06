// SPDX-License-Identifier: GPL-3.0-or-later
// Finding the index lines that contain a keyword without decoding the lines that do not.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>

namespace Juanzong {

class GbkCodec;

// A line holds the bytes before its LF; one CR right before the LF, or at the very
// end of the file, belongs to the line end. A line contains the keyword exactly
// when its GBK decoding contains it (QString::contains, case-sensitive) — the
// matcher only finds that answer without decoding every line.
class KeywordMatcher final
{
public:
    KeywordMatcher(const GbkCodec &codec, const QString &keyword);

    // Finds the first line at or after offset *from of lines (whole lines, each
    // ended by LF except perhaps the last) that contains the keyword. On success
    // *line is that line without its end and *from points past it; otherwise
    // *from is lines.size().
    bool nextMatch(QByteArrayView lines, qsizetype *from, QByteArrayView *line) const;

    // False when no line whatever can contain the keyword.
    bool canMatch() const { return m_mode != Mode::Never; }

private:
    enum class Mode { Bytes, Decode, Never };
    bool startsCharacter(const uint8_t *lineStart, const uint8_t *at, const uint8_t **known,
                         const uint8_t *contentEnd) const;

    const GbkCodec &m_codec;
    QString m_keyword;
    QByteArray m_bytes; // the keyword in GBK, for Mode::Bytes
    Mode m_mode = Mode::Never;
};

// Which x86 vector instructions the byte search may use, where it uses any:
// the widest the processor has, or SSE2 only, which every x86-64 processor
// has. Tests narrow it so that both loops run on any machine; set it before
// scanning, it is shared by every scan.
enum class ScanVectors { Widest, Sse2 };
void setScanVectors(ScanVectors vectors);

// Bytes read from the index at a time; a longer line grows the buffer to fit.
inline constexpr qsizetype IndexChunkSize = 1 << 20;

// Reads the index at path from start to end and hands every line that contains
// the keyword to onLine, in file order. Returns why the file could not be read,
// or an empty string.
QString scanIndex(const QString &path, const KeywordMatcher &matcher,
                  const std::function<void(QByteArrayView)> &onLine, qsizetype chunkSize = IndexChunkSize);

} // namespace Juanzong
