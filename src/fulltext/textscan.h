// SPDX-License-Identifier: GPL-3.0-or-later
// Every place of a phrase in a long folded text, found in one pass: the scan
// that answers queries too short or too common for the index.
#pragma once

#include <QStringView>

#include <algorithm>
#include <cstring>

#if defined(__SSE2__) && !defined(JUANZONG_FORCE_NO_SIMD)
#include <emmintrin.h>
#define JUANZONG_TEXTSCAN_SSE2 1
#endif

namespace Juanzong::TextScan {

// Tests only: false compares one place after another, as a processor without
// SSE2 does, so that that path is tested too.
void setVectors(bool on);
bool vectors();

// Calls found(at) for every place of needle in haystack, left to right and
// without overlaps (as a find in the page counts them: "aa" once in "aaa").
// rare and alsoRare are two offsets into needle whose characters are seldom in
// the text (the same one for a single character): a place must hold both
// before it is compared in full, which rules out nearly every place eight at a
// time. Inline, so that a caller's count per place costs no call.
template<typename Found>
void findAll(QStringView haystack, QStringView needle, qsizetype rare, qsizetype alsoRare, Found &&found)
{
    const qsizetype n = haystack.size();
    const qsizetype m = needle.size();
    if (m == 0 || m > n || rare < 0 || rare >= m || alsoRare < 0 || alsoRare >= m)
        return;
    const char16_t *const text = haystack.utf16();
    const char16_t *const pattern = needle.utf16();
    // With one character, or two that are both compared, a place that holds
    // them is a match already.
    const bool compared = m == 1 || (m == 2 && rare != alsoRare);
    auto matches = [&](qsizetype at) {
        return compared || std::memcmp(text + at, pattern, size_t(m) * sizeof(char16_t)) == 0;
    };
    // Where the next match may start: past the end of the last one.
    qsizetype next = 0;
    qsizetype i = 0;
#if defined(JUANZONG_TEXTSCAN_SSE2)
    if (vectors()) {
        // A phrase of up to eight characters is compared in one register.
        char16_t padded[8] = {};
        std::memcpy(padded, pattern, size_t(std::min<qsizetype>(m, 8)) * sizeof(char16_t));
        const __m128i whole = _mm_loadu_si128(reinterpret_cast<const __m128i *>(padded));
        const unsigned wholeMask = m >= 8 ? 0xFFFFu : (1u << (2 * m)) - 1;
        auto matchesHere = [&](qsizetype at) {
            if (m > 8 || at + 8 > n)
                return matches(at);
            const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i *>(text + at));
            return (unsigned(_mm_movemask_epi8(_mm_cmpeq_epi16(here, whole))) & wholeMask) == wholeMask;
        };
        const __m128i first = _mm_set1_epi16(short(pattern[rare]));
        const __m128i second = _mm_set1_epi16(short(pattern[alsoRare]));
        auto both = [&](qsizetype at) {
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i *>(text + at + rare));
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i *>(text + at + alsoRare));
            return _mm_and_si128(_mm_cmpeq_epi16(a, first), _mm_cmpeq_epi16(b, second));
        };
        // Sixteen places a round, whose loads reach at most m - 1 units past
        // them; a round that holds no candidate, as nearly all do, touches
        // nothing but the two registers.
        for (; i + m - 1 + 16 <= n; i += 16) {
            auto mask = unsigned(_mm_movemask_epi8(_mm_packs_epi16(both(i), both(i + 8))));
            if (mask == 0) [[likely]]
                continue;
            do {
                const qsizetype at = i + qsizetype(__builtin_ctz(mask));
                mask &= mask - 1;
                if (at >= next && matchesHere(at)) {
                    found(at);
                    next = at + m;
                }
            } while (mask != 0);
        }
    }
#endif
    for (i = std::max(i, next); i + m <= n; ++i) {
        if (text[i + rare] == pattern[rare] && text[i + alsoRare] == pattern[alsoRare] && matches(i)) {
            found(i);
            i += m - 1;
        }
    }
}

} // namespace Juanzong::TextScan
