// The grammar of a title, named once. ComposePhrase follows it; the word-list
// checker and the statistics of titles-cli derive their limits from it.
//
//   [gerund connector] adjective noun [noun] [connector [adjective] noun [and noun]]
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace titles {

inline constexpr std::array<std::string_view, 3> kConnectorWords = {"using", "of", "for"};
inline constexpr std::string_view kWordSeparator = " ";
inline constexpr std::string_view kListSeparator = " and ";
inline constexpr std::string_view kGerundEnding = "ing";

// A real draw must exceed these: the opening gerund comes in about one title
// in four; " and " in a first noun pair, the second clause and its
// adjective in about one in two.
inline constexpr double kOpenerThreshold = 0.75;
inline constexpr double kEvenThreshold = 0.5;

// The most distinct entries one title uses: an adjective in each clause;
// the opening gerund, two nouns in each group.
inline constexpr int kMaxAdjectivesPerTitle = 2;
inline constexpr int kMaxNounsPerTitle = 5;
// An opening gerund needs at least this many nouns ending in "ing".
inline constexpr int kMinGerundNouns = 1;

// Whether the word ends in "ing", byte for byte and case-sensitive. Every
// byte is compared (no early way out), which costs less than a mispredicted
// branch when millions of words are tested.
constexpr bool EndsWithGerund(std::string_view word) noexcept {
    const std::size_t n = kGerundEnding.size();
    if (word.size() < n) return false;
    bool same = true;
    for (std::size_t i = 0; i < n; ++i) same &= word[word.size() - n + i] == kGerundEnding[i];
    return same;
}

// How many of the 2^32 seeds a real draw turns into a value above threshold
// (a draw is the new seed times 2^-32, so the comparison is exact).
constexpr std::uint32_t SeedsAbove(double threshold) noexcept {
    return 0xFFFFFFFFu - static_cast<std::uint32_t>(threshold * 4294967296.0);
}

}  // namespace titles
