#include "cli/stats.h"

#include <algorithm>
#include <cstdio>

#include "cli/report_format.h"
#include "phrase/composer.h"

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
    for (std::int32_t i = 0; i < nouns.WordCount(); ++i) {
        if (EndsWithGerund(nouns.WordAt(i))) ++counts.gerunds;
    }
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
        if (c.gerunds == 0) return 0;
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

std::string Plural(std::int64_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
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
    if (s.opening && c.gerunds == 0) reasons.push_back("needs a noun ending in \"ing\", the list has none");
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

// ---- Reports ------------------------------------------------------------

namespace {

// " (about 1.6 x 10^21)" for counts of 7 digits or more, else nothing.
std::string Magnitude(const TBigCount& count) {
    if (count.ToDecimal().size() < 7) return "";
    char text[32];
    std::snprintf(text, sizeof text, "%.1e", count.ToDouble());  // "1.6e+21"
    const std::string scientific = text;
    const std::size_t e = scientific.find('e');
    return " (about " + scientific.substr(0, e) + " x 10^" + std::to_string(std::stoi(scientific.substr(e + 1))) +
           ")";
}

std::string ListLine(const std::string& file, std::int64_t entries) {
    return file + ": " + Plural(entries, "entry", "entries");
}

}  // namespace

std::string FormatStatsText(const TStats& stats, const std::string& adjectiveFile, const std::string& nounFile) {
    const TListCounts& c = stats.counts;
    std::string out;
    out += "Word lists\n";
    out += "  " + ListLine(adjectiveFile, c.adjectives) + "\n";
    out += "  " + ListLine(nounFile, c.nouns) + ", " + std::to_string(c.gerunds) + " ending in \"ing\"\n";
    out += "\n";
    out += "Distinct compositions: " + stats.total.ToDecimal() + Magnitude(stats.total) + "\n";
    out += "  (sequences of entries, connectors and separators; an entry that stands\n"
           "  twice in a list counts twice)\n";
    if (stats.AllComplete()) {
        out += "Every composition completes.\n";
    } else {
        out += "Some compositions cannot complete: " + Fixed(stats.failureProbability * 100, 4) +
               "% of titles end in an error.\n";
        out += "The count above covers only the compositions that complete.\n";
    }
    out += "\n";

    const std::size_t choiceWidth = 44;
    out += PadRight("Choice", choiceWidth) + PadLeft("Seeds of 2^32", 14) + "  Probability\n";
    const auto choice = [&](const char* name, std::uint32_t seeds) {
        out += "  " + PadRight(name, choiceWidth - 2) + PadLeft(std::to_string(seeds), 14) + "  " +
               Fixed(seeds / kSeedSpace, 10) + "\n";
    };
    choice("opening gerund", kOpeningSeeds);
    choice("two nouns in a group", 2147483648u);
    choice("second clause", kEvenSeeds);
    choice("adjective in a second clause", kEvenSeeds);
    const auto derived = [&](const char* name, double p) {
        out += "  " + PadRight(name, choiceWidth - 2) + PadLeft("", 14) + "  " + Fixed(p, 10) + "\n";
    };
    derived("\" and \" in a first-group pair, no opening", stats.andWithoutOpening);
    derived("\" and \" in a first-group pair, after one", stats.andAfterOpening);
    out += "\n";

    std::size_t shapeWidth = 5;
    std::size_t countWidth = 12;
    for (const auto& s : stats.shapes) {
        shapeWidth = std::max(shapeWidth, ShapeName(s.shape).size());
        countWidth = std::max(countWidth, s.compositions.ToDecimal().size());
    }
    countWidth = std::max(countWidth, stats.total.ToDecimal().size());
    out += PadRight("Shape", shapeWidth + 4) + PadLeft("Compositions", countWidth) + "  Probability\n";
    for (const auto& s : stats.shapes) {
        out += "  " + PadRight(ShapeName(s.shape), shapeWidth + 2) + PadLeft(s.compositions.ToDecimal(), countWidth) +
               "  " + Fixed(s.probability, 10);
        if (!s.completes) out += "  cannot complete: " + s.reason;
        out += "\n";
    }
    out += "  " + PadRight("all", shapeWidth + 2) + PadLeft(stats.total.ToDecimal(), countWidth) + "  " +
           Fixed(1.0, 10) + "\n";
    out += "\n";
    out += "G: a noun ending in \"ing\"; c: a connector (using, of, for); A: an adjective;\n"
           "N: a noun. \"N N\" in the first group is joined by \" and \" or \" \" (always \" \"\n"
           "after a gerund); the second clause joins two nouns by \" and \".\n"
           "Probabilities take each draw's seed as equally likely to be any of the 2^32\n"
           "values, as it is over the generator's full period; the \" and \" rows also\n"
           "take the pair's first noun as equally likely to be any entry not yet used.\n";
    return out;
}

std::string FormatStatsJson(const TStats& stats, const std::string& adjectiveFile, const std::string& nounFile) {
    const TListCounts& c = stats.counts;
    std::string out = "{\n";
    out += "  \"adjectives\": {\"file\": " + JsonString(adjectiveFile) +
           ", \"entries\": " + std::to_string(c.adjectives) + "},\n";
    out += "  \"nouns\": {\"file\": " + JsonString(nounFile) + ", \"entries\": " + std::to_string(c.nouns) +
           ", \"ending_in_ing\": " + std::to_string(c.gerunds) + "},\n";
    out += "  \"compositions\": \"" + stats.total.ToDecimal() + "\",\n";
    out += std::string("  \"all_complete\": ") + (stats.AllComplete() ? "true" : "false") + ",\n";
    out += "  \"failure_probability\": " + JsonNumber(stats.failureProbability) + ",\n";
    out += "  \"choices\": {\n";
    out += "    \"opening_gerund\": " + JsonNumber(kOpeningProbability) + ",\n";
    out += "    \"two_nouns_in_a_group\": 0.5,\n";
    out += "    \"second_clause\": " + JsonNumber(kEvenProbability) + ",\n";
    out += "    \"second_clause_adjective\": " + JsonNumber(kEvenProbability) + ",\n";
    out += "    \"and_in_first_pair_without_opening\": " + JsonNumber(stats.andWithoutOpening) + ",\n";
    out += "    \"and_in_first_pair_after_opening\": " + JsonNumber(stats.andAfterOpening) + "\n";
    out += "  },\n";
    out += "  \"shapes\": [\n";
    for (std::size_t i = 0; i < stats.shapes.size(); ++i) {
        const auto& s = stats.shapes[i];
        out += "    {\"shape\": " + JsonString(ShapeName(s.shape)) +
               ", \"opening\": " + (s.shape.opening ? "true" : "false") +
               ", \"first_group\": " + std::to_string(s.shape.firstGroup) +
               ", \"second_clause\": " + (s.shape.secondGroup > 0 ? "true" : "false") +
               ", \"second_adjective\": " + (s.shape.secondAdjective ? "true" : "false") +
               ", \"second_group\": " + std::to_string(s.shape.secondGroup) +
               ", \"compositions\": \"" + s.compositions.ToDecimal() + "\"" +
               ", \"probability\": " + JsonNumber(s.probability) +
               ", \"completes\": " + (s.completes ? "true" : "false") +
               ", \"reason\": " + (s.completes ? std::string("null") : JsonString(s.reason)) + "}" +
               (i + 1 < stats.shapes.size() ? "," : "") + "\n";
    }
    out += "  ]\n}\n";
    return out;
}

}  // namespace titles::cli
