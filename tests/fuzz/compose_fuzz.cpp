// Fuzzes ComposePhrase on small lists and any start seed. Each composition
// must either give a phrase that parses by the grammar from the lists'
// entries (no entry twice), exactly as a plain reference composition gives
// it, or raise one of the program's failures, and always within a bounded
// number of draws. Lists meeting the limits (two adjectives, five nouns,
// one of them ending in "ing") must never fail.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <typeinfo>
#include <vector>

#include "fuzz_check.h"
#include "support/reference_composition.h"
#include "phrase/composer.h"
#include "phrase/errors.h"
#include "phrase/random_source.h"
#include "phrase/word_list.h"

using titles::ComposePhrase;
using titles::EndsWithGerund;
using titles::kConnectorWords;
using titles::RandomSeed;
using titles::TWordList;
using titles::fuzz::Escaped;

namespace {

constexpr std::uint64_t kMaxDraws = 1000000;

std::vector<std::string> Contents(const TWordList& list) {
    std::vector<std::string> words;
    for (std::int32_t i = 0; i < list.WordCount(); ++i) words.emplace_back(list.WordAt(i));
    return words;
}

// Number of generator steps from one seed to another, if at most kMaxDraws.
std::optional<std::uint64_t> StepsBetween(std::uint32_t from, std::uint32_t to) {
    std::uint32_t s = from;
    for (std::uint64_t n = 0; n <= kMaxDraws; ++n) {
        if (s == to) return n;
        s = s * 134775813u + 1u;
    }
    return std::nullopt;
}

// ---- The grammar, matched against a finished phrase ----------------------

// Entries with equal text are interchangeable; what matters is how often a
// text may still be used.
struct TPool {
    std::map<std::string, int> left;
};

TPool PoolOf(const std::vector<std::string>& words) {
    TPool pool;
    for (const auto& w : words) ++pool.left[w];
    return pool;
}

class TGrammar {
public:
    TGrammar(std::string_view phrase, const std::vector<std::string>& adjectives, const std::vector<std::string>& nouns)
        : phrase_(phrase), adjectives_(PoolOf(adjectives)), nouns_(PoolOf(nouns)) {}

    bool Matches() {
        // Optional opening: gerund noun, space, connector, space.
        for (auto& [word, left] : nouns_.left) {
            if (left == 0 || !EndsWithGerund(word) || !At(0, word) || !At(word.size(), " ")) continue;
            for (int c = 0; c < 3; ++c) {
                const std::size_t pos = word.size() + 1;
                if (!At(pos, kConnectorWords[static_cast<std::size_t>(c)])) continue;
                const std::size_t after = pos + kConnectorWords[static_cast<std::size_t>(c)].size();
                if (!At(after, " ")) continue;
                --left;
                const bool ok = FirstAdjective(after + 1, c);
                ++left;
                if (ok) return true;
            }
        }
        return FirstAdjective(0, -1);
    }

private:
    bool At(std::size_t pos, std::string_view text) const {
        return pos <= phrase_.size() && phrase_.substr(pos, text.size()) == text;
    }

    // Tries each text of the pool at pos, calling next with the position
    // after it and the text.
    template <typename Next>
    bool Take(TPool& pool, std::size_t pos, Next next) {
        for (auto& [word, left] : pool.left) {
            if (left == 0 || !At(pos, word)) continue;
            --left;
            const bool ok = next(pos + word.size(), word);
            ++left;
            if (ok) return true;
        }
        return false;
    }

    bool FirstAdjective(std::size_t pos, int first) {
        return Take(adjectives_, pos, [&](std::size_t p, const std::string&) {
            return At(p, " ") && FirstGroup(p + 1, first);
        });
    }

    bool FirstGroup(std::size_t pos, int first) {
        return Take(nouns_, pos, [&](std::size_t p, const std::string& noun) {
            if (SecondClause(p, first)) return true;
            const std::vector<std::string_view> seps =
                EndsWithGerund(noun) ? std::vector<std::string_view>{" "} : std::vector<std::string_view>{" and ", " "};
            for (const auto sep : seps) {
                if (!At(p, sep)) continue;
                if (Take(nouns_, p + sep.size(), [&](std::size_t q, const std::string&) { return SecondClause(q, first); })) {
                    return true;
                }
            }
            return false;
        });
    }

    bool SecondClause(std::size_t pos, int first) {
        if (pos == phrase_.size()) return true;
        for (int c = 0; c < 3; ++c) {
            if (c == first || !At(pos, " ")) continue;
            const auto connector = kConnectorWords[static_cast<std::size_t>(c)];
            if (!At(pos + 1, connector) || !At(pos + 1 + connector.size(), " ")) continue;
            const std::size_t p = pos + connector.size() + 2;
            if (SecondGroup(p)) return true;
            if (Take(adjectives_, p, [&](std::size_t q, const std::string&) { return At(q, " ") && SecondGroup(q + 1); })) {
                return true;
            }
        }
        return false;
    }

    bool SecondGroup(std::size_t pos) {
        return Take(nouns_, pos, [&](std::size_t p, const std::string&) {
            if (p == phrase_.size()) return true;
            return At(p, " and ") && Take(nouns_, p + 5, [&](std::size_t q, const std::string&) { return q == phrase_.size(); });
        });
    }

    std::string_view phrase_;
    TPool adjectives_;
    TPool nouns_;
};

// ---- Building lists from the input ---------------------------------------

const std::array<const char*, 12> kPool = {"ing", "Running", "Castle", "", " ", "and", " and ", "using", "of", "Xing ", "RUNNING", "in"};

std::string ConsumeWord(FuzzedDataProvider& in) {
    if (in.ConsumeBool()) return kPool[in.ConsumeIntegralInRange<std::size_t>(0, kPool.size() - 1)];
    return in.ConsumeRandomLengthString(8);
}

void ConsumeList(FuzzedDataProvider& in, TWordList& list, int maxCount) {
    const int count = in.ConsumeIntegralInRange<int>(0, maxCount);
    for (int i = 0; i < count; ++i) list.AppendWord(ConsumeWord(in));
}

bool MeetsLimits(const std::vector<std::string>& adjectives, const std::vector<std::string>& nouns) {
    bool gerund = false;
    for (const auto& n : nouns) gerund = gerund || EndsWithGerund(n);
    return adjectives.size() >= 2 && nouns.size() >= 5 && gerund;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const std::uint32_t seed = in.ConsumeIntegral<std::uint32_t>();
    TWordList adjectives;
    TWordList nouns;
    ConsumeList(in, adjectives, 4);
    ConsumeList(in, nouns, 7);
    const int phrases = in.ConsumeIntegralInRange<int>(1, 4);

    RandomSeed = seed;
    for (int round = 0; round < phrases; ++round) {
        // Between phrases a list may grow, which must not confuse anything
        // the composer remembers about the lists it saw.
        if (round > 0 && in.ConsumeBool()) (in.ConsumeBool() ? nouns : adjectives).AppendWord(ConsumeWord(in));

        const auto adjWords = Contents(adjectives);
        const auto nounWords = Contents(nouns);
        const std::uint32_t before = RandomSeed;

        titles::test_support::TReferenceComposition reference(adjWords, nounWords, kMaxDraws);
        const std::optional<std::string> expected = reference.Compose();
        const std::uint32_t expectedSeed = RandomSeed;
        RandomSeed = before;

        std::optional<std::string> phrase;
        std::string failure;
        try {
            phrase = ComposePhrase(adjectives, nouns);
        } catch (const titles::TListIndexError& e) {
            failure = e.what();
        } catch (const titles::TListTooSmallError& e) {
            failure = e.what();
        }
        const auto steps = StepsBetween(before, RandomSeed);
        FUZZ_CHECK(steps.has_value(), "more than %llu draws from seed %u", static_cast<unsigned long long>(kMaxDraws),
                   before);
        FUZZ_CHECK(Contents(adjectives) == adjWords && Contents(nouns) == nounWords, "the composer changed a list");

        if (!phrase) {
            FUZZ_CHECK(!MeetsLimits(adjWords, nounWords), "lists meeting the limits failed: %s (seed %u)",
                       failure.c_str(), before);
            FUZZ_CHECK(!expected.has_value(), "failed with '%s' where the reference gives '%s' (seed %u)",
                       failure.c_str(), Escaped(*expected).c_str(), before);
            break;  // a failed composition leaves the seed wherever it stopped
        }
        FUZZ_CHECK(expected.has_value(), "gave '%s' where the reference finds none (seed %u)", Escaped(*phrase).c_str(),
                   before);
        FUZZ_CHECK(*phrase == *expected && RandomSeed == expectedSeed,
                   "gave '%s' (seed after %u), the reference '%s' (%u), from seed %u", Escaped(*phrase).c_str(),
                   RandomSeed, Escaped(*expected).c_str(), expectedSeed, before);
        TGrammar grammar(*phrase, adjWords, nounWords);
        FUZZ_CHECK(grammar.Matches(), "'%s' does not parse from the lists (seed %u)", Escaped(*phrase).c_str(), before);
    }
    return 0;
}
