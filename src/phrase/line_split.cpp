#include "phrase/line_split.h"

#include <bit>
#include <cstring>
#include <memory>
#include <string_view>

#include "phrase/byte_copy.h"
#include "phrase/grammar.h"
#include "phrase/word_file.h"

#if !defined(TITLES_PORTABLE_LINE_SCAN) && (defined(__SSE2__) || defined(_M_X64))
#include <emmintrin.h>
#define TITLES_LINE_SPLIT_SSE2 1
#endif

namespace titles {
namespace {

// Blocks and short entries' copies may reach past the terminating zero.
constexpr std::size_t kBlock = 64;
constexpr std::size_t kShortEntry = 32;  // moved as one fixed-size copy
static_assert(kTextPadding + 1 >= kBlock && kTextPadding >= kShortEntry);

#ifndef TITLES_LINE_SPLIT_SSE2
// The eight bytes at p as one number, the first byte in the lowest place, on
// every machine (where that is the native order this is one plain load).
inline std::uint64_t LoadFirstLowest(const char* p) noexcept {
    const auto b = [p](int i) { return std::uint64_t{static_cast<unsigned char>(p[i])} << (8 * i); };
    return b(0) | b(1) | b(2) | b(3) | b(4) | b(5) | b(6) | b(7);
}

// Bit i set exactly when byte i of the eight in w (first byte lowest) is
// 0, LF or CR. Each byte is tested on its own, so no carry or borrow runs
// from one byte into another.
inline unsigned LineEndBits(std::uint64_t w) noexcept {
    constexpr std::uint64_t ones = 0x0101010101010101ULL;
    constexpr std::uint64_t lows = 0x7F7F7F7F7F7F7F7FULL;
    // High bit of each byte of the result set when that byte of v is zero.
    auto zeros = [](std::uint64_t v) { return ~(((v & lows) + lows) | v | lows); };
    const std::uint64_t highs = zeros(w) | zeros(w ^ (ones * '\n')) | zeros(w ^ (ones * '\r'));
    // Gathers the eight high bits into one byte, byte 0's bit lowest.
    return static_cast<unsigned>((((highs >> 7) & ones) * 0x0102040810204080ULL) >> 56);
}
#endif

// Bit i set exactly when byte i of the kBlock bytes at p is 0, LF or CR.
inline std::uint64_t LineEndMask(const char* p) noexcept {
    std::uint64_t mask = 0;
#ifdef TITLES_LINE_SPLIT_SSE2
    const __m128i zero = _mm_setzero_si128();
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    for (std::size_t i = 0; i < kBlock; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const __m128i hit = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, zero), _mm_cmpeq_epi8(v, lf)),
                                         _mm_cmpeq_epi8(v, cr));
        mask |= std::uint64_t{static_cast<std::uint16_t>(_mm_movemask_epi8(hit))} << i;
    }
#else
    for (std::size_t i = 0; i < kBlock; i += 8) mask |= std::uint64_t{LineEndBits(LoadFirstLowest(p + i))} << i;
#endif
    return mask;
}

// At least as many as the lines of the text: one more than its line ends.
std::size_t MostLines(const char* text, std::size_t size) noexcept {
    std::size_t count = 1;
    for (std::size_t i = 0; i < size; ++i) count += (text[i] == '\n') | (text[i] == '\r');
    return count;
}

// Collects one bit per entry, whether it ends in "ing", while a text is
// split; at most maxEntries entries. Without a branch per entry: which
// entries end in "ing" follows no pattern a branch predictor could learn.
class TGerundMarks {
public:
    explicit TGerundMarks(std::size_t maxEntries) : words_(new std::uint64_t[maxEntries / 64 + 1]) {}

    void Add(std::size_t index, std::string_view entry) noexcept {
        const bool gerund = EndsWithGerund(entry);
        word_ |= std::uint64_t{gerund} << (index % 64);
        count_ += gerund;
        if (index % 64 == 63) {
            words_[index / 64] = word_;
            word_ = 0;
        }
    }

    // The bits of the first entries entries; how many are set.
    std::vector<std::uint64_t> Bits(std::size_t entries) {
        if (entries % 64 != 0) words_[entries / 64] = word_;
        return {words_.get(), words_.get() + (entries + 63) / 64};
    }
    std::int32_t Count() const noexcept { return count_; }

private:
    std::unique_ptr<std::uint64_t[]> words_;  // untouched beyond what is used
    std::uint64_t word_ = 0;
    std::int32_t count_ = 0;
};

}  // namespace

TSplitLines SplitLinesInPlace(char* const text, std::size_t size) {
    TSplitLines split;
    if (text[0] == '\0') return split;
    const std::size_t most = MostLines(text, size);
    split.ends.Reserve(most);
    TGerundMarks gerunds(most);
    // The text is read a block at a time, the line ends of a block found
    // together and then taken in order; start is where the next entry
    // begins, w where its bytes go.
    const char* start = text;
    char* w = text;
    for (const char* block = text;; block += kBlock) {
        std::uint64_t ends = LineEndMask(block);
        if (start > block) ends &= ~std::uint64_t{0} << (start - block);
        while (ends != 0) {
            const char* end = block + std::countr_zero(ends);
            const auto len = static_cast<std::size_t>(end - start);
            gerunds.Add(split.ends.size(), {start, len});
            if (static_cast<std::size_t>(start - w) >= kShortEntry && len <= kShortEntry) {
                // Far enough below the entry that a fixed-size copy cannot
                // reach bytes not yet read: one copy, whatever the length.
                char head[kShortEntry];
                std::memcpy(head, start, kShortEntry);
                std::memcpy(w, head, kShortEntry);
            } else if (w != start) {
                MoveBytes(w, start, len);
            }
            w += len;
            split.ends.push_back(static_cast<std::uint32_t>(w - text));
            const char* next = end;
            if (*next == '\r') ++next;
            if (*next == '\n') ++next;
            if (*end == '\0' || *next == '\0') {
                split.bytes = static_cast<std::size_t>(w - text);
                split.gerunds = gerunds.Bits(split.ends.size());
                split.gerundCount = gerunds.Count();
                split.ends.ShrinkToFit();
                return split;
            }
            start = next;
            const auto skip = static_cast<std::size_t>(next - block);
            ends = skip >= kBlock ? 0 : ends & (~std::uint64_t{0} << skip);
        }
    }
}

}  // namespace titles
