#include "cli/stats.h"

#include <algorithm>
#include <cstdio>

#include "cli/report_format.h"

namespace titles::cli {

// ---- TBigCount ----------------------------------------------------------

TBigCount::TBigCount(std::uint64_t value) {
    while (value != 0) {
        limbs_.push_back(static_cast<std::uint32_t>(value));
        value >>= 32;
    }
}

void TBigCount::Trim() noexcept {
    while (!limbs_.empty() && limbs_.back() == 0) limbs_.pop_back();
}

TBigCount& TBigCount::operator+=(const TBigCount& other) {
    if (limbs_.size() < other.limbs_.size()) limbs_.resize(other.limbs_.size(), 0);
    std::uint64_t carry = 0;
    for (std::size_t i = 0; i < limbs_.size(); ++i) {
        const std::uint64_t sum =
            std::uint64_t{limbs_[i]} + (i < other.limbs_.size() ? other.limbs_[i] : 0u) + carry;
        limbs_[i] = static_cast<std::uint32_t>(sum);
        carry = sum >> 32;
    }
    if (carry != 0) limbs_.push_back(static_cast<std::uint32_t>(carry));
    return *this;
}

TBigCount& TBigCount::operator*=(std::uint64_t factor) {
    // Multiplies by the factor's two 32-bit halves: x * f = x * lo + (x * hi) << 32.
    const auto timesLimb = [](const std::vector<std::uint32_t>& x, std::uint32_t f) {
        std::vector<std::uint32_t> product;
        product.reserve(x.size() + 1);
        std::uint64_t carry = 0;
        for (const std::uint32_t limb : x) {
            const std::uint64_t p = std::uint64_t{limb} * f + carry;
            product.push_back(static_cast<std::uint32_t>(p));
            carry = p >> 32;
        }
        if (carry != 0) product.push_back(static_cast<std::uint32_t>(carry));
        return product;
    };
    TBigCount low;
    low.limbs_ = timesLimb(limbs_, static_cast<std::uint32_t>(factor));
    TBigCount high;
    high.limbs_ = timesLimb(limbs_, static_cast<std::uint32_t>(factor >> 32));
    high.Trim();
    if (!high.IsZero()) high.limbs_.insert(high.limbs_.begin(), 0u);
    low.Trim();
    *this = low += high;
    return *this;
}

std::string TBigCount::ToDecimal() const {
    if (IsZero()) return "0";
    // Repeated division by 10^9 gives nine decimal digits at a time.
    std::vector<std::uint32_t> rest = limbs_;
    std::vector<std::uint32_t> chunks;
    while (!rest.empty()) {
        std::uint64_t remainder = 0;
        for (std::size_t i = rest.size(); i-- > 0;) {
            const std::uint64_t current = (remainder << 32) | rest[i];
            rest[i] = static_cast<std::uint32_t>(current / 1000000000u);
            remainder = current % 1000000000u;
        }
        chunks.push_back(static_cast<std::uint32_t>(remainder));
        while (!rest.empty() && rest.back() == 0) rest.pop_back();
    }
    std::string text = std::to_string(chunks.back());
    for (std::size_t i = chunks.size() - 1; i-- > 0;) {
        const std::string part = std::to_string(chunks[i]);
        text.append(9 - part.size(), '0');
        text += part;
    }
    return text;
}

double TBigCount::ToDouble() const noexcept {
    double value = 0;
    for (std::size_t i = limbs_.size(); i-- > 0;) value = value * 4294967296.0 + limbs_[i];
    return value;
}

// ---- Counting -----------------------------------------------------------

TListCounts CountsOf(const TWordList& adjectives, const TWordList& nouns) {
    TListCounts counts;
    counts.adjectives = adjectives.WordCount();
    counts.nouns = nouns.WordCount();
    counts.gerunds = nouns.GerundCount();
    return counts;
}

std::string ShapeName(const TShape& shape) {
    std::string name = shape.opening ? "G c A N" : "A N";
    if (shape.firstGroup == 2) name += " N";
    if (shape.secondGroup > 0) {
        name += " c";
        if (shape.secondAdjective) name += " A";
        name += shape.secondGroup == 2 ? " N and N" : " N";
    }
    return name;
}

namespace {

std::uint64_t AtLeastZero(std::int64_t value) { return value > 0 ? static_cast<std::uint64_t>(value) : 0u; }

// The compositions of one shape, as the composer builds them: entries are
// told apart by position, no entry is used twice, the second connector is
// one of the two the opening left (any of three without an opening), and a
// first-group pair is joined by " and " or " " unless its first noun is a
// gerund, which forces " ".
TBigCount CountShape(const TListCounts& c, const TShape& s) {
    const std::int64_t plain = c.nouns - c.gerunds;
    TBigCount count = AtLeastZero(c.adjectives);
    std::int64_t usedNouns = 0;
    std::int64_t freeGerunds = c.gerunds;
    if (s.opening) {
        if (c.gerunds < kMinGerundNouns) return 0;
        count *= static_cast<std::uint64_t>(c.gerunds) * kConnectorWords.size();
        usedNouns = 1;
        freeGerunds -= 1;
    }
    const std::int64_t available = c.nouns - usedNouns;
    if (s.firstGroup == 1) {
        count *= AtLeastZero(available);
    } else {
        if (available < 2) return 0;
        // First noun a gerund: one separator; otherwise two. Then any other noun.
        count *= static_cast<std::uint64_t>(freeGerunds + 2 * plain);
        count *= static_cast<std::uint64_t>(available - 1);
    }
    usedNouns += s.firstGroup;
    if (s.secondGroup > 0) {
        count *= s.opening ? kConnectorWords.size() - 1 : kConnectorWords.size();
        if (s.secondAdjective) count *= AtLeastZero(c.adjectives - 1);
        // Ordered picks of one or two further nouns, joined by " and ".
        count *= AtLeastZero(c.nouns - usedNouns);
        if (s.secondGroup == 2) count *= AtLeastZero(c.nouns - usedNouns - 1);
    }
    return count;
}

// Why a shape cannot be composed from lists of these sizes; empty if it can.
std::string ShapeFailure(const TListCounts& c, const TShape& s) {
    std::vector<std::string> reasons;
    const std::int64_t adjectivesNeeded = s.secondAdjective ? 2 : 1;
    const std::int64_t nounsNeeded = (s.opening ? 1 : 0) + s.firstGroup + s.secondGroup;
    if (c.adjectives < adjectivesNeeded) {
        reasons.push_back("needs " + Plural(adjectivesNeeded, "adjective", "adjectives") + ", the list has " +
                          std::to_string(c.adjectives));
    }
    if (c.nouns < nounsNeeded) {
        reasons.push_back("needs " + Plural(nounsNeeded, "noun", "nouns") + ", the list has " +
                          std::to_string(c.nouns));
    }
    if (s.opening && c.gerunds < kMinGerundNouns) {
        static_assert(kMinGerundNouns == 1, "the wording below speaks of one noun");
        std::string reason = "needs a noun ending in \"";
        reason += kGerundEnding;
        reasons.push_back(reason + "\", the list has none");
    }
    std::string text;
    for (const auto& r : reasons) text += (text.empty() ? "" : "; ") + r;
    return text;
}

}  // namespace

TStats ComputeStats(const TListCounts& counts) {
    TStats stats;
    stats.counts = counts;
    const double pOpening = kOpeningProbability;
    const double pEven = kEvenProbability;
    for (const bool opening : {false, true}) {
        for (const int firstGroup : {1, 2}) {
            // Second clause: none; without adjective, 1 or 2 nouns; with adjective, 1 or 2 nouns.
            for (int variant = 0; variant < 5; ++variant) {
                TShape shape;
                shape.opening = opening;
                shape.firstGroup = firstGroup;
                shape.secondGroup = variant == 0 ? 0 : (variant % 2 == 1 ? 1 : 2);
                shape.secondAdjective = variant >= 3;
                double p = (opening ? pOpening : 1 - pOpening) * 0.5;
                if (shape.secondGroup == 0) {
                    p *= 1 - pEven;
                } else {
                    p *= pEven * (shape.secondAdjective ? pEven : 1 - pEven) * 0.5;
                }
                TShapeStats entry;
                entry.shape = shape;
                entry.probability = p;
                entry.reason = ShapeFailure(counts, shape);
                entry.completes = entry.reason.empty();
                entry.compositions = CountShape(counts, shape);
                if (!entry.completes) stats.failureProbability += p;
                stats.total += entry.compositions;
                stats.shapes.push_back(std::move(entry));
            }
        }
    }
    const double plain = static_cast<double>(counts.nouns - counts.gerunds);
    if (counts.nouns >= 2) stats.andWithoutOpening = plain / static_cast<double>(counts.nouns) * pEven;
    if (counts.nouns >= 3 && counts.gerunds >= 1) {
        stats.andAfterOpening = plain / static_cast<double>(counts.nouns - 1) * pEven;
    }
    return stats;
}

}  // namespace titles::cli
