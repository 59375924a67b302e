// titles-cli --stats: how many compositions the word lists allow, and how
// likely each shape of title is. Different compositions can read the same,
// and a title is fixed by the 32-bit state of the random stream at its
// start, so no pair of lists gives more than 2^32 distinct titles.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "phrase/grammar.h"
#include "phrase/word_list.h"

namespace titles::cli {

// An unsigned integer of any size, enough for counts far beyond 64 bits:
// lists at the word-file limits allow around 2^221 compositions.
class TBigCount {
public:
    TBigCount() = default;
    TBigCount(std::uint64_t value);  // implicit: plain counts mix freely with big ones

    TBigCount& operator+=(const TBigCount& other);
    TBigCount& operator*=(std::uint64_t factor);
    friend TBigCount operator+(TBigCount a, const TBigCount& b) { return a += b; }
    friend TBigCount operator*(TBigCount a, std::uint64_t b) { return a *= b; }
    bool operator==(const TBigCount& other) const = default;

    bool IsZero() const noexcept { return limbs_.empty(); }
    std::string ToDecimal() const;
    // The value as a double, rounded; for ratios only.
    double ToDouble() const noexcept;

private:
    void Trim() noexcept;
    std::vector<std::uint32_t> limbs_;  // least significant first, no high zero limbs
};

// What the count depends on: the entries of each list, and how many nouns
// end in "ing". Entries count by position, so duplicates count separately.
struct TListCounts {
    std::int64_t adjectives = 0;
    std::int64_t nouns = 0;
    std::int64_t gerunds = 0;  // nouns ending in "ing"
};

TListCounts CountsOf(const TWordList& adjectives, const TWordList& nouns);

// One shape of title: which optional parts it has.
struct TShape {
    bool opening = false;          // opening gerund and connector
    int firstGroup = 1;            // nouns after the first adjective: 1 or 2
    int secondGroup = 0;           // nouns of the second clause: 0 (no clause), 1 or 2
    bool secondAdjective = false;  // adjective in the second clause
};

// The shape written out: "G c A N N c A N and N" and the like.
std::string ShapeName(const TShape& shape);

struct TShapeStats {
    TShape shape;
    TBigCount compositions;  // distinct compositions of this shape that complete
    double probability = 0;  // share of titles of this shape
    bool completes = true;   // false: a title of this shape cannot be composed
    std::string reason;      // why not, when it cannot
};

// The probabilities of the composer's choices. A real draw exceeds 0.75 for
// 1073741823 of the 2^32 seeds and 0.5 for 2147483647; an integer draw below
// 2 gives 1 for exactly half of them.
inline constexpr double kSeedSpace = 4294967296.0;
// The most distinct titles any pair of lists gives: one per random state.
inline constexpr std::uint64_t kMostDistinctTitles = std::uint64_t{1} << 32;
inline constexpr std::uint32_t kOpeningSeeds = SeedsAbove(kOpenerThreshold);
inline constexpr std::uint32_t kEvenSeeds = SeedsAbove(kEvenThreshold);
inline constexpr double kOpeningProbability = kOpeningSeeds / kSeedSpace;
inline constexpr double kEvenProbability = kEvenSeeds / kSeedSpace;

struct TStats {
    TListCounts counts;
    TBigCount total;                   // distinct compositions that complete
    std::vector<TShapeStats> shapes;   // the 20 shapes, in a fixed order
    double failureProbability = 0;     // share of titles whose composition fails
    // Probability that a two-noun first group is joined by " and " rather
    // than " ", without and with an opening gerund. A pair that starts with
    // a gerund is always joined by " "; these assume the first noun of the
    // pair is equally likely to be any entry not yet used.
    double andWithoutOpening = 0;
    double andAfterOpening = 0;
    bool AllComplete() const noexcept { return failureProbability == 0; }
};

TStats ComputeStats(const TListCounts& counts);

}  // namespace titles::cli
