#include "phrase/composer.h"

#include "base/texts.h"
#include "phrase/byte_copy.h"
#include "phrase/errors.h"
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

// An entry as a list holds it, to be appended to a phrase.
struct TEntry {
    std::string_view bytes;
};

TEntry EntryOf(const TWordList& list, std::int32_t index) { return {list.WordAt(index)}; }

// The phrase under construction. Its pieces gather in a buffer on the stack
// and go to the caller's string together; a phrase too long for the buffer
// carries on in the string.
class TPhraseText {
public:
    explicit TPhraseText(std::string& out) noexcept : out_(out) {}
    TPhraseText(const TPhraseText&) = delete;
    TPhraseText& operator=(const TPhraseText&) = delete;

    [[gnu::always_inline]] TPhraseText& operator+=(std::string_view piece) {
        if (piece.size() > sizeof buffer_ - used_) {
            Spill(piece);
        } else {
            MoveBytes(buffer_ + used_, piece.data(), piece.size());
            used_ += piece.size();
        }
        return *this;
    }

    // An entry of a word list, whose storage may be read a little past it:
    // a short one is copied as one block of fixed size.
    [[gnu::always_inline]] TPhraseText& operator+=(const TEntry& entry) {
        constexpr std::size_t block = TWordList::kReadablePastEntry;
        if (entry.bytes.size() <= block && used_ + block <= sizeof buffer_) {
            std::memcpy(buffer_ + used_, entry.bytes.data(), block);
            used_ += entry.bytes.size();
            return *this;
        }
        return *this += entry.bytes;
    }

    // Hands the pieces gathered so far to the caller's string.
    void Finish() {
        out_.append(buffer_, used_);
        used_ = 0;
    }

private:
    // Moves what the buffer holds to the caller's string, then the piece:
    // into the buffer when it fits there now, else after it.
    void Spill(std::string_view piece) {
        Finish();
        if (piece.size() > sizeof buffer_) {
            out_.append(piece);
        } else {
            MoveBytes(buffer_, piece.data(), piece.size());
            used_ = piece.size();
        }
    }

    std::string& out_;
    char buffer_[256];
    std::size_t used_ = 0;
};

std::string_view ListFileName(const TWordList& list, std::string_view fallback) {
    return list.SourceName().empty() ? fallback : std::string_view(list.SourceName());
}

// Draws indices until one not yet used in this phrase comes up. An empty list
// fails on its first draw, as fetching entry 0 would; a list whose every
// entry is already used fails before drawing at all.
[[noreturn]] void ThrowTooSmall(std::string_view text, std::string_view fileName) {
    throw TListTooSmallError(FormatText(text, {fileName}));
}

inline std::int32_t PickFresh(const TWordList& list, const TUsedEntries& used, std::string_view fileName) {
    if (list.WordCount() > 0 && used.Count() >= static_cast<std::size_t>(list.WordCount())) {
        ThrowTooSmall(texts::kNoFreeEntry, fileName);
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

    // Opening gerund and its connector, in about one phrase in four.
    if (RandomReal() > kOpenerThreshold) {
        std::int32_t k = RandomInt(nouns.WordCount());
        if (nouns.WordCount() == 0) nouns.WordAt(k);  // raises the list index error
        if (nouns.GerundCount() < kMinGerundNouns) {
            ThrowTooSmall(texts::kNoGerund, nounFile);
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
    {
        const std::int32_t k = PickFresh(adjectives, usedAdjectives, adjectiveFile);
        text += EntryOf(adjectives, k);
        text += kWordSeparator;
        usedAdjectives.Add(k);
    }

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

        if (RandomReal() > kEvenThreshold) {
            const std::int32_t k = PickFresh(adjectives, usedAdjectives, adjectiveFile);
            text += EntryOf(adjectives, k);
            text += kWordSeparator;
            usedAdjectives.Add(k);
        }

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
