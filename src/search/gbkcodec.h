// SPDX-License-Identifier: GPL-3.0-or-later
// Code page 936 (GBK) for the index and the result page, with the byte-level facts the fast scan relies on.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <array>
#include <cstdint>
#include <vector>

class QStringDecoder;

namespace Juanzong {

// A GBK character is one byte below 0x80 (ASCII), the single bytes 0x80 and 0xFF,
// or a lead byte 0x81–0xFE followed by a trail byte 0x40–0x7E or 0x80–0xFE.
// Malformed input decodes to U+FFFD: a lead byte without a trail byte stands alone
// and the next byte starts afresh, so a stray byte never swallows the quote of `">`.
// The mapping itself comes from the system's converter; what is defined here is
// how bytes group into characters, so that scanning raw bytes and decoding first
// agree exactly.
class GbkCodec final
{
public:
    // The tables built once from the system's code page 936 converter, or null
    // when the system has none.
    static const GbkCodec *system();

    static constexpr bool isLead(uint8_t b) { return b >= 0x81 && b <= 0xFE; }
    static constexpr bool isTrail(uint8_t b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFE); }

    // Bytes (1 or 2) of the character that starts at p; end bounds the look-ahead.
    int charLength(const uint8_t *p, const uint8_t *end) const
    {
        if (!isLead(*p) || p + 1 == end || !isTrail(p[1]))
            return 1;
        // An unmapped pair gives its trail back when that trail is ASCII.
        return m_pair[pairIndex(p[0], p[1])] != 0 || p[1] >= 0x80 ? 2 : 1;
    }
    // The character of the charLength() bytes at p.
    char16_t charAt(const uint8_t *p, int length) const
    {
        if (length == 2) {
            const char16_t c = m_pair[pairIndex(p[0], p[1])];
            return c != 0 ? c : Replacement;
        }
        return m_single[*p];
    }
    // True when p starts a pair that is the one the encoder writes for its
    // character, so copying it unchanged equals decoding and encoding it again.
    bool startsCanonicalPair(const uint8_t *p, const uint8_t *end) const
    {
        if (*p < 0x81 || *p == 0xFF || p + 1 == end)
            return false;
        const int trail = TrailIndex[p[1]];
        return trail >= 0 && m_canonical[(*p - 0x81) * 190 + trail];
    }

    QString decode(QByteArrayView bytes) const;

    // Appends text in GBK. A character GBK has no bytes for is written as an HTML
    // numeric character reference, so a page shows it as typed.
    void appendHtml(QByteArray &out, QStringView text) const;
    // The same for one character of the basic plane, written at out (at most
    // MaxHtmlBytes bytes); returns the end of what was written.
    char *writeHtml(char *out, char16_t c) const;
    static constexpr int MaxHtmlBytes = 8; // "&#65535;"

    enum class KeywordBytes {
        Exact,     // every character has exactly one byte form: search for those bytes
        Never,     // a character no GBK line decodes to: nothing can match
        Ambiguous, // U+FFFD or a character with two byte forms: decode and compare
    };
    // How text can be found in raw GBK lines; for Exact, bytes receives its bytes.
    KeywordBytes keywordBytes(QStringView text, QByteArray *bytes) const;

private:
    GbkCodec() = default;
    bool load();
    void record(char16_t c, uint16_t bytes);
    void loadSingles(QStringDecoder &decoder);
    bool loadPairs(QStringDecoder &decoder);
    static constexpr int pairIndex(uint8_t lead, uint8_t trail)
    {
        return (lead - 0x81) * 190 + (trail < 0x80 ? trail - 0x40 : trail - 0x41);
    }
    static constexpr char16_t Replacement = 0xFFFD;
    static constexpr std::array<int16_t, 256> TrailIndex = [] {
        std::array<int16_t, 256> index{};
        for (int b = 0; b < 256; ++b)
            index[b] = b >= 0x40 && b <= 0xFE && b != 0x7F ? int16_t(b < 0x80 ? b - 0x40 : b - 0x41) : int16_t(-1);
        return index;
    }();

    std::array<char16_t, 256> m_single{};
    std::vector<char16_t> m_pair;     // 0 where the pair is unmapped
    std::vector<uint16_t> m_bytesOf;  // per UTF-16 unit: the byte form the encoder writes, 0 for none
    std::vector<uint8_t> m_forms;     // per UTF-16 unit: how many byte forms decode to it (at most 2)
    std::vector<uint8_t> m_canonical; // per pair: it is the form the encoder writes for its character
};

} // namespace Juanzong
