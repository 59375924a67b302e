// The composition written out the long way, with a flag per entry, as the
// grammar reads. The program's composer must draw exactly like it; the unit
// tests and the composer's fuzz target both compare against it.
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "phrase/composer.h"
#include "phrase/random_source.h"

namespace titles::test_support {

class TReferenceComposition {
public:
    TReferenceComposition(const std::vector<std::string>& adjectives, const std::vector<std::string>& nouns,
                          std::uint64_t maxDraws)
        : adjectives_(adjectives), nouns_(nouns), maxDraws_(maxDraws) {}

    // The phrase, drawn from RandomSeed; nothing when an empty list is drawn
    // from, no entry can be accepted, or none turns up within maxDraws draws.
    std::optional<std::string> Compose() {
        draws_ = 0;
        try {
            return Run();
        } catch (const TGiveUp&) {
            return std::nullopt;
        }
    }

private:
    struct TGiveUp {};

    std::int32_t Int(std::size_t n) {
        Count();
        return RandomInt(static_cast<std::int32_t>(n));
    }
    double Real() {
        Count();
        return RandomReal();
    }
    void Count() {
        if (++draws_ > maxDraws_) throw TGiveUp{};
    }
    // Gives up at once when no entry can ever be accepted; otherwise every
    // index turns up within one period of the generator.
    std::size_t Fresh(const std::vector<std::string>& list, std::vector<bool>& used) {
        if (std::find(used.begin(), used.end(), false) == used.end()) throw TGiveUp{};
        for (;;) {
            const auto k = static_cast<std::size_t>(Int(list.size()));
            if (k >= list.size()) throw TGiveUp{};  // an empty list
            if (!used[k]) return k;
        }
    }
    std::string Run() {
        std::vector<bool> nounUsed(nouns_.size());
        std::vector<bool> adjUsed(adjectives_.size());
        int first = -1;
        std::string phrase;
        if (Real() > 0.75) {
            if (std::none_of(nouns_.begin(), nouns_.end(), [](const std::string& w) { return EndsWithGerund(w); })) {
                throw TGiveUp{};
            }
            std::size_t k;
            do {
                k = static_cast<std::size_t>(Int(nouns_.size()));
                if (k >= nouns_.size()) throw TGiveUp{};
            } while (nounUsed[k] || !EndsWithGerund(nouns_[k]));
            phrase += nouns_[k] + " ";
            nounUsed[k] = true;
            first = Int(3);
            phrase += std::string(kConnectorWords[static_cast<std::size_t>(first)]) + " ";
        }
        std::size_t a = Fresh(adjectives_, adjUsed);
        phrase += adjectives_[a] + " ";
        adjUsed[a] = true;
        int n = Int(2) + 1;
        for (int j = 1; j <= n; ++j) {
            const std::size_t k = Fresh(nouns_, nounUsed);
            phrase += nouns_[k];
            if (j < n) phrase += EndsWithGerund(nouns_[k]) ? " " : (Real() > 0.5 ? " and " : " ");
            nounUsed[k] = true;
        }
        if (Real() > 0.5) {
            int c;
            do {
                c = Int(3);
            } while (c == first);
            phrase += " " + std::string(kConnectorWords[static_cast<std::size_t>(c)]) + " ";
            if (Real() > 0.5) {
                a = Fresh(adjectives_, adjUsed);
                phrase += adjectives_[a] + " ";
                adjUsed[a] = true;
            }
            n = Int(2) + 1;
            for (int j = 1; j <= n; ++j) {
                const std::size_t k = Fresh(nouns_, nounUsed);
                phrase += nouns_[k];
                if (j < n) phrase += " and ";
                nounUsed[k] = true;
            }
        }
        return phrase;
    }

    const std::vector<std::string>& adjectives_;
    const std::vector<std::string>& nouns_;
    std::uint64_t maxDraws_;
    std::uint64_t draws_ = 0;
};

}  // namespace titles::test_support
