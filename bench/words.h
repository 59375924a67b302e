// Realistic word-list entries for the benchmarks: a capitalised stem and a
// number ("Word123456", "Castle40217"), about one noun in ten ending in "ing".
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace titles::bench {

inline constexpr std::array<std::string_view, 16> kStems = {
    "Word", "Castle", "Dragon", "Star", "Moon", "Sword", "River", "Shadow",
    "Tower", "Flame", "Stone", "Crown", "Wind", "Forest", "Blade", "Night"};

// A small deterministic mixer so the same index always gives the same word.
constexpr std::uint32_t MixIndex(std::uint64_t index) noexcept {
    std::uint64_t x = index * 0x9E3779B97F4A7C15ULL;
    x ^= x >> 29;
    x *= 0xBF58476D1CE4E5B9ULL;
    x ^= x >> 32;
    return static_cast<std::uint32_t>(x);
}

// Entry number index of a list; nouns get "ing" on about 10% of entries.
// A non-zero modulus keeps the number short (index % modulus), for files
// whose lines should average about ten bytes.
inline std::string MakeWord(std::uint64_t index, bool noun, std::uint64_t modulus = 0) {
    const std::uint32_t h = MixIndex(index);
    std::string word(kStems[h % kStems.size()]);
    word += std::to_string(modulus == 0 ? index : index % modulus);
    if (noun && (h >> 8) % 10 == 0) word += "ing";
    return word;
}

}  // namespace titles::bench
