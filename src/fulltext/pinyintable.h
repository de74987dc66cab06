// SPDX-License-Identifier: GPL-3.0-or-later
// The pinyin readings of Han characters, generated at build time from Unicode's Unihan data.
#pragma once

#include <cstdint>
#include <span>

namespace Juanzong::PinyinTable {

// One character's readings: count entries of readings() from first on, each an
// index into syllables(). Entries are sorted by code.
struct Entry
{
    char32_t code;
    uint32_t first;
    uint8_t count;
};

// Toneless syllables in lower-case ASCII, ü written "v" (and once more as "u").
std::span<const char *const> syllables();
std::span<const Entry> entries();
std::span<const uint16_t> readings();

} // namespace Juanzong::PinyinTable
