#include "phrase/composer.h"

#include <array>

#include "phrase/errors.h"
#include "phrase/phrase_text.h"
#include "phrase/random_source.h"

namespace titles {
namespace {

// The entries one phrase has used, by index. A phrase uses at most five
// nouns and two adjectives, so a short array replaces a flag per entry and
// keeps a composition's cost independent of the lists' length.
class TUsedEntries {
public:
    bool Contains(std::int32_t index) const noexcept {
        for (std::size_t i = 0; i < count_; ++i) {
            if (items_[i] == index) return true;
        }
        return false;
    }
    void Add(std::int32_t index) noexcept { items_[count_++] = index; }
    std::size_t Count() const noexcept { return count_; }

private:
    std::array<std::int32_t, kMaxNounsPerTitle> items_{};
    std::size_t count_ = 0;
};

std::string_view ListFileName(const TWordList& list, std::string_view fallback) {
    return list.SourceName().empty() ? fallback : std::string_view(list.SourceName());
}

[[noreturn]] void ThrowTooSmall(TFailureKind kind, std::string_view fileName) {
    throw TListTooSmallError(kind, fileName);
}

// Draws indices until one not yet used in this phrase comes up. An empty list
// fails on its first draw, as fetching entry 0 would; a list whose every
// entry is already used fails before drawing at all.
inline std::int32_t PickFresh(const TWordList& list, const TUsedEntries& used, std::string_view fileName) {
    if (list.WordCount() > 0 && used.Count() >= static_cast<std::size_t>(list.WordCount())) {
        ThrowTooSmall(TFailureKind::NoFreeEntry, fileName);
    }
    for (;;) {
        const std::int32_t k = RandomInt(list.WordCount());
        if (list.WordCount() == 0) list.WordAt(k);  // raises the list index error
        if (!used.Contains(k)) return k;
    }
}

}  // namespace

std::string ComposePhrase(const TWordList& adjectives, const TWordList& nouns) {
    std::string phrase;
    phrase.reserve(96);
    ComposePhrase(adjectives, nouns, phrase);
    return phrase;
}

void ComposePhrase(const TWordList& adjectives, const TWordList& nouns, std::string& phrase) {
    const std::string_view adjectiveFile = ListFileName(adjectives, kDefaultAdjectiveFile);
    const std::string_view nounFile = ListFileName(nouns, kDefaultNounFile);
    TUsedEntries usedNouns;
    TUsedEntries usedAdjectives;
    int firstConnector = -1;
    phrase.clear();
    TPhraseText text(phrase);

    // An adjective not yet used in this phrase, and the space after it.
    const auto appendAdjective = [&] {
        const std::int32_t k = PickFresh(adjectives, usedAdjectives, adjectiveFile);
        text += EntryOf(adjectives, k);
        text += kWordSeparator;
        usedAdjectives.Add(k);
    };

    // Opening gerund and its connector, in about one phrase in four.
    if (RandomReal() > kOpenerThreshold) {
        std::int32_t k = RandomInt(nouns.WordCount());
        if (nouns.WordCount() == 0) nouns.WordAt(k);  // raises the list index error
        if (nouns.GerundCount() < kMinGerundNouns) {
            ThrowTooSmall(TFailureKind::NoGerund, nounFile);
        }
        while (usedNouns.Contains(k) || !nouns.IsGerundAt(k)) {
            k = RandomInt(nouns.WordCount());
        }
        text += EntryOf(nouns, k);
        text += kWordSeparator;
        usedNouns.Add(k);
        firstConnector = RandomInt(static_cast<std::int32_t>(kConnectorWords.size()));
        text += kConnectorWords[static_cast<std::size_t>(firstConnector)];
        text += kWordSeparator;
    }

    // First adjective.
    appendAdjective();

    // First noun group: one or two nouns. After a gerund the pair is joined
    // by a plain space without a draw; otherwise a draw picks " and " or " ".
    const int firstGroup = RandomInt(2) + 1;
    for (int j = 1; j <= firstGroup; ++j) {
        const std::int32_t k = PickFresh(nouns, usedNouns, nounFile);
        text += EntryOf(nouns, k);
        if (j < firstGroup) {
            if (nouns.IsGerundAt(k)) {
                text += kWordSeparator;
            } else {
                text += RandomReal() > kEvenThreshold ? kListSeparator : kWordSeparator;
            }
        }
        usedNouns.Add(k);
    }

    // Second clause, in about one phrase in two, with a different connector.
    if (RandomReal() > kEvenThreshold) {
        int connector = RandomInt(static_cast<std::int32_t>(kConnectorWords.size()));
        while (connector == firstConnector) {
            connector = RandomInt(static_cast<std::int32_t>(kConnectorWords.size()));
        }
        text += kWordSeparator;
        text += kConnectorWords[static_cast<std::size_t>(connector)];
        text += kWordSeparator;

        // Its optional adjective.
        if (RandomReal() > kEvenThreshold) appendAdjective();

        const int secondGroup = RandomInt(2) + 1;
        for (int j = 1; j <= secondGroup; ++j) {
            const std::int32_t k = PickFresh(nouns, usedNouns, nounFile);
            text += EntryOf(nouns, k);
            if (j < secondGroup) text += kListSeparator;
            usedNouns.Add(k);
        }
    }
    text.Finish();
}

}  // namespace titles
