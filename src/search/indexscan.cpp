// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/indexscan.h"

#include "search/filestore.h"
#include "search/gbkcodec.h"

#include <cstring>

// JUANZONG_FORCE_NO_SIMD and JUANZONG_FORCE_NO_GLIBC_HELPERS build here the
// paths another compiler or C library takes, so that they are tested too.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(JUANZONG_FORCE_NO_SIMD)
#include <immintrin.h>
#define JUANZONG_X86_SIMD 1
#endif
#if defined(__GLIBC__) && !defined(JUANZONG_FORCE_NO_GLIBC_HELPERS)
#define JUANZONG_GLIBC_HELPERS 1
#endif

namespace Juanzong {

namespace {
// A byte that is never the second byte of a character, and so always a
// one-byte character of its own.
constexpr bool neverTrail(uint8_t b)
{
    return b < 0x40 || b == 0x7F || b == 0xFF;
}

#if defined(JUANZONG_X86_SIMD)
// The first of the places whose bits mask sets where the whole needle stands:
// its first and last byte are known to match there.
inline const uint8_t *firstWhole(unsigned mask, const uint8_t *at, const uint8_t *pattern, size_t m)
{
    for (; mask != 0; mask &= mask - 1) {
        const unsigned bit = unsigned(__builtin_ctz(mask));
        if (std::memcmp(at + bit + 1, pattern + 1, m - 2) == 0)
            return at + bit;
    }
    return nullptr;
}

// Tests the needle's first and last byte at 32 places at once: in ordinary text
// that rules out nearly every place before a byte comparison. Returns the first
// hit, or where the caller must go on (fewer than 32 + m - 1 bytes left) through *next.
__attribute__((target("avx2"))) const uint8_t *findBytesAvx2(const uint8_t *begin, size_t n, const uint8_t *pattern,
                                                             size_t m, size_t *next)
{
    const __m256i first = _mm256_set1_epi8(char(pattern[0]));
    const __m256i last = _mm256_set1_epi8(char(pattern[m - 1]));
    size_t i = 0;
    for (; i + m - 1 + 32 <= n; i += 32) {
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(begin + i));
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(begin + i + m - 1));
        const auto mask = unsigned(_mm256_movemask_epi8(_mm256_and_si256(_mm256_cmpeq_epi8(a, first),
                                                                         _mm256_cmpeq_epi8(b, last))));
        if (const uint8_t *hit = firstWhole(mask, begin + i, pattern, m))
            return hit;
    }
    *next = i;
    return nullptr;
}

// The same sixteen places at a time, with what every x86-64 processor has.
const uint8_t *findBytesSse2(const uint8_t *begin, size_t n, const uint8_t *pattern, size_t m, size_t *next)
{
    const __m128i first = _mm_set1_epi8(char(pattern[0]));
    const __m128i last = _mm_set1_epi8(char(pattern[m - 1]));
    size_t i = 0;
    for (; i + m - 1 + 16 <= n; i += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i *>(begin + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i *>(begin + i + m - 1));
        const auto mask = unsigned(_mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, first), _mm_cmpeq_epi8(b, last))));
        if (const uint8_t *hit = firstWhole(mask, begin + i, pattern, m))
            return hit;
    }
    *next = i;
    return nullptr;
}

bool hasAvx2()
{
    static const bool has = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") != 0;
    }();
    return has;
}
#endif

ScanVectors g_vectors = ScanVectors::Widest;

#if defined(JUANZONG_GLIBC_HELPERS)
const uint8_t *findLonger(const uint8_t *begin, size_t n, const uint8_t *pattern, size_t m)
{
    return static_cast<const uint8_t *>(memmem(begin, n, pattern, m));
}

const uint8_t *findLast(const uint8_t *begin, size_t n, uint8_t byte)
{
    return static_cast<const uint8_t *>(memrchr(begin, byte, n));
}
#else
// Without glibc (MSVC, MinGW, macOS): memchr, which every C library makes fast,
// finds the candidates, and a keyword is too short for a skip table to pay.
const uint8_t *findLonger(const uint8_t *begin, size_t n, const uint8_t *pattern, size_t m)
{
    if (n < m) // what the vector loops leave over can be shorter than the keyword
        return nullptr;
    const uint8_t *const last = begin + (n - m);
    for (const uint8_t *p = begin; p <= last; ++p) {
        p = static_cast<const uint8_t *>(std::memchr(p, pattern[0], size_t(last - p) + 1));
        if (!p)
            return nullptr;
        if (std::memcmp(p + 1, pattern + 1, m - 1) == 0)
            return p;
    }
    return nullptr;
}

// Where there is no memrchr (MSVC, MinGW, macOS). It only ever walks back over
// part of one line.
const uint8_t *findLast(const uint8_t *begin, size_t n, uint8_t byte)
{
    for (const uint8_t *p = begin + n; p != begin;) {
        if (*--p == byte)
            return p;
    }
    return nullptr;
}
#endif

// The first occurrence of needle in [begin, end), or null. About twice as fast
// as glibc's memmem on an index, which is what a rare keyword costs.
const uint8_t *findBytes(const uint8_t *begin, const uint8_t *end, QByteArrayView needle)
{
    const auto n = size_t(end - begin);
    const auto m = size_t(needle.size());
    const auto *const pattern = reinterpret_cast<const uint8_t *>(needle.data());
    if (m == 0)
        return begin;
    if (m > n)
        return nullptr;
    if (m == 1)
        return static_cast<const uint8_t *>(std::memchr(begin, pattern[0], n));
    size_t rest = 0;
#if defined(JUANZONG_X86_SIMD)
    const bool avx2 = g_vectors == ScanVectors::Widest && hasAvx2();
    if (const uint8_t *hit = avx2 ? findBytesAvx2(begin, n, pattern, m, &rest)
                                  : findBytesSse2(begin, n, pattern, m, &rest))
        return hit;
#endif
    return findLonger(begin + rest, n - rest, pattern, m);
}

const uint8_t *contentEnd(const uint8_t *lineStart, const uint8_t *lineEnd)
{
    return lineEnd > lineStart && lineEnd[-1] == '\r' ? lineEnd - 1 : lineEnd;
}
} // namespace

void setScanVectors(ScanVectors vectors)
{
    g_vectors = vectors;
}

KeywordMatcher::KeywordMatcher(const GbkCodec &codec, const QString &keyword)
    : m_codec(codec)
    , m_keyword(keyword)
{
    switch (codec.keywordBytes(keyword, &m_bytes)) {
    case GbkCodec::KeywordBytes::Exact:
        m_mode = Mode::Bytes;
        break;
    case GbkCodec::KeywordBytes::Ambiguous:
        m_mode = Mode::Decode;
        break;
    case GbkCodec::KeywordBytes::Never:
        m_mode = Mode::Never;
        break;
    }
}

// Whether a character of the line starts at `at`. *known is a character start at
// or before `at` found by an earlier call on the same line (or null), so that many
// false hits in one long line cost one walk over it, not one each.
bool KeywordMatcher::startsCharacter(const uint8_t *lineStart, const uint8_t *at, const uint8_t **known,
                                     const uint8_t *contentEnd) const
{
    // Walk back to a byte that cannot be a trail byte: the character after it
    // starts afresh, whatever came before.
    const uint8_t *p = at;
    while (p > lineStart && !neverTrail(p[-1]) && p != *known)
        --p;
    while (p < at)
        p += m_codec.charLength(p, contentEnd);
    *known = p;
    return p == at;
}

bool KeywordMatcher::nextMatch(QByteArrayView lines, qsizetype *from, QByteArrayView *line) const
{
    const auto *const base = reinterpret_cast<const uint8_t *>(lines.data());
    const uint8_t *const end = base + lines.size();
    const uint8_t *pos = base + *from;
    auto found = [&](const uint8_t *start, const uint8_t *lineEnd) {
        *line = QByteArrayView(start, contentEnd(start, lineEnd) - start);
        *from = lineEnd == end ? lines.size() : lineEnd + 1 - base;
        return true;
    };

    switch (m_mode) {
    case Mode::Never:
        break;
    case Mode::Decode:
        while (pos < end) {
            const auto *nl = static_cast<const uint8_t *>(std::memchr(pos, '\n', end - pos));
            const uint8_t *const lineEnd = nl ? nl : end;
            const uint8_t *const stop = contentEnd(pos, lineEnd);
            if (m_codec.decode(QByteArrayView(pos, stop - pos)).contains(m_keyword))
                return found(pos, lineEnd);
            pos = lineEnd == end ? end : lineEnd + 1;
        }
        break;
    case Mode::Bytes: {
        // The line of the last false hit, found once however many false hits it
        // holds: looking for its ends again at each would cost a walk over the
        // line per hit, quadratic in a long line of trail bytes that look like
        // the keyword.
        const uint8_t *start = nullptr;
        const uint8_t *lineEnd = nullptr;
        const uint8_t *known = nullptr;
        while (pos < end) {
            const uint8_t *const hit = findBytes(pos, end, m_bytes);
            if (!hit)
                break;
            if (!start || hit > lineEnd) {
                const uint8_t *const searchFrom = start ? lineEnd + 1 : base;
                const uint8_t *nl = findLast(searchFrom, size_t(hit - searchFrom), '\n');
                start = nl ? nl + 1 : searchFrom;
                nl = static_cast<const uint8_t *>(std::memchr(hit, '\n', end - hit));
                lineEnd = nl ? nl : end;
                known = nullptr;
            }
            const uint8_t *const stop = contentEnd(start, lineEnd);
            if (hit + m_bytes.size() > stop) {
                // Any later hit in this line would run past its end as well.
                pos = lineEnd == end ? end : lineEnd + 1;
                continue;
            }
            if (startsCharacter(start, hit, &known, stop))
                return found(start, lineEnd);
            pos = hit + 1;
        }
        break;
    }
    }
    *from = lines.size();
    return false;
}

QString scanIndex(const QString &path, const KeywordMatcher &matcher,
                  const std::function<void(QByteArrayView)> &onLine, qsizetype chunkSize)
{
    FileStore::Source file(path);
    if (!file.reason().isEmpty())
        return file.reason();
    if (!matcher.canMatch())
        return {};

    QByteArray buffer(qMax<qsizetype>(chunkSize, 1), Qt::Uninitialized);
    qsizetype filled = 0;
    bool atEnd = false;
    while (!atEnd) {
        if (filled == buffer.size())
            buffer.resize(buffer.size() * 2); // a line longer than the buffer
        const qsizetype got = file.read(buffer.data() + filled, buffer.size() - filled);
        if (got < 0)
            return file.reason();
        filled += got;
        atEnd = got == 0;
        // Hand over whole lines only; at the end of the file the rest is the last line.
        qsizetype whole = filled;
        if (!atEnd) {
            const auto *const start = reinterpret_cast<const uint8_t *>(buffer.constData());
            const uint8_t *const lastNl = findLast(start, size_t(filled), '\n');
            if (!lastNl)
                continue;
            whole = lastNl - start + 1;
        }
        const QByteArrayView lines(buffer.constData(), whole);
        qsizetype from = 0;
        QByteArrayView line;
        while (matcher.nextMatch(lines, &from, &line))
            onLine(line);
        std::memmove(buffer.data(), buffer.constData() + whole, size_t(filled - whole));
        filled -= whole;
    }
    return {};
}

} // namespace Juanzong
