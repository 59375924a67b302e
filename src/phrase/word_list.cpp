#include "phrase/word_list.h"

#include <atomic>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>

#include "base/texts.h"
#include "phrase/errors.h"
#include "phrase/grammar.h"

namespace titles {
namespace {

std::uint64_t NextStamp() noexcept {
    static std::atomic<std::uint64_t> counter{0};
    return ++counter;
}

// The eight bytes at p as one number, the first byte in the lowest place, on
// every machine (where that is the native order this is one plain load).
inline std::uint64_t LoadFirstLowest(const char* p) noexcept {
    const auto b = [p](int i) { return std::uint64_t{static_cast<unsigned char>(p[i])} << (8 * i); };
    return b(0) | b(1) | b(2) | b(3) | b(4) | b(5) | b(6) | b(7);
}

// Marks the bytes of w that equal 0, LF or CR by their high bit. Bytes in
// higher places than the first marked one may be marked falsely, the first
// (lowest) mark never is.
inline std::uint64_t LineEndBytes(std::uint64_t w) noexcept {
    constexpr std::uint64_t ones = 0x0101010101010101ULL;
    constexpr std::uint64_t highs = 0x8080808080808080ULL;
    auto zeros = [](std::uint64_t v) { return (v - ones) & ~v & highs; };
    return zeros(w) | zeros(w ^ (ones * 0x0A)) | zeros(w ^ (ones * 0x0D));
}

// First byte at or after p that is 0, LF or CR, eight bytes at a time. The
// buffer ends with a zero byte followed by kTextPadding readable bytes, so
// whole words can be loaded.
inline const char* FindLineEnd(const char* p) noexcept {
    for (;;) {
        if (const std::uint64_t marks = LineEndBytes(LoadFirstLowest(p)); marks != 0) {
            return p + (std::countr_zero(marks) >> 3);
        }
        p += 8;
    }
}

// Moves len bytes from src down to dst (dst < src, the ranges may overlap).
// Word-list entries are mostly short: loading both ends before storing
// either keeps the overlap safe without a call to memmove for each line.
inline void MoveDown(char* dst, const char* src, std::size_t len) noexcept {
    auto move = [&](auto word) {
        constexpr std::size_t n = sizeof word;
        decltype(word) head;
        decltype(word) tail;
        std::memcpy(&head, src, n);
        std::memcpy(&tail, src + len - n, n);
        std::memcpy(dst, &head, n);
        std::memcpy(dst + len - n, &tail, n);
    };
    if (len >= 8 && len <= 16) {
        move(std::uint64_t{});
    } else if (len >= 4 && len < 8) {
        move(std::uint32_t{});
    } else if (len >= 2 && len < 4) {
        move(std::uint16_t{});
    } else if (len == 1) {
        *dst = *src;
    } else if (len > 16) {
        std::memmove(dst, src, len);
    }
}

// Sets bit i of bits to on, growing bits by a word when i needs it.
inline void PutBit(std::vector<std::uint64_t>& bits, std::size_t i, bool on) {
    if (bits.size() <= i / 64) bits.push_back(0);
    const std::uint64_t mask = std::uint64_t{1} << (i % 64);
    bits[i / 64] = (bits[i / 64] & ~mask) | (on ? mask : 0);
}

inline bool TestBit(const std::vector<std::uint64_t>& bits, std::size_t i) noexcept {
    return (bits[i / 64] >> (i % 64)) & 1u;
}

}  // namespace

TOffsetArray::TOffsetArray(const TOffsetArray& other) {
    if (other.size_ == 0) return;
    data_ = static_cast<std::uint32_t*>(std::malloc(other.size_ * sizeof(std::uint32_t)));
    if (data_ == nullptr) throw std::bad_alloc();
    std::memcpy(data_, other.data_, other.size_ * sizeof(std::uint32_t));
    size_ = capacity_ = other.size_;
}

TOffsetArray& TOffsetArray::operator=(const TOffsetArray& other) {
    if (this != &other) *this = TOffsetArray(other);
    return *this;
}

TOffsetArray::TOffsetArray(TOffsetArray&& other) noexcept
    : data_(other.data_), size_(other.size_), capacity_(other.capacity_) {
    other.data_ = nullptr;
    other.size_ = other.capacity_ = 0;
}

TOffsetArray& TOffsetArray::operator=(TOffsetArray&& other) noexcept {
    if (this != &other) {
        std::free(data_);
        data_ = other.data_;
        size_ = other.size_;
        capacity_ = other.capacity_;
        other.data_ = nullptr;
        other.size_ = other.capacity_ = 0;
    }
    return *this;
}

TOffsetArray::~TOffsetArray() { std::free(data_); }

void TOffsetArray::clear() noexcept {
    std::free(data_);
    data_ = nullptr;
    size_ = capacity_ = 0;
}

void TOffsetArray::Grow() {
    const std::size_t grown = capacity_ < 1024 ? 1024 : capacity_ * 2;
    void* fresh = std::realloc(data_, grown * sizeof(std::uint32_t));
    if (fresh == nullptr) throw std::bad_alloc();
    data_ = static_cast<std::uint32_t*>(fresh);
    capacity_ = grown;
}

TWordList::TWordList(const TWordList& other)
    : size_(other.size_), capacity_(other.size_), ends_(other.ends_), gerunds_(other.gerunds_),
      gerundCount_(other.gerundCount_), sourceName_(other.sourceName_), stamp_(other.stamp_) {
    if (size_ > 0) {
        bytes_.reset(new char[size_]);
        std::memcpy(bytes_.get(), other.bytes_.get(), size_);
    }
}

TWordList& TWordList::operator=(const TWordList& other) {
    if (this != &other) {
        TWordList copy(other);
        *this = std::move(copy);
    }
    return *this;
}

TWordList::TWordList(TWordList&& other) noexcept
    : bytes_(std::move(other.bytes_)), size_(other.size_), capacity_(other.capacity_), ends_(std::move(other.ends_)),
      gerunds_(std::move(other.gerunds_)), gerundCount_(other.gerundCount_),
      sourceName_(std::move(other.sourceName_)), stamp_(other.stamp_) {
    other.ClearWords();
    other.sourceName_.clear();
}

TWordList& TWordList::operator=(TWordList&& other) noexcept {
    if (this != &other) {
        bytes_ = std::move(other.bytes_);
        size_ = other.size_;
        capacity_ = other.capacity_;
        ends_ = std::move(other.ends_);
        gerunds_ = std::move(other.gerunds_);
        gerundCount_ = other.gerundCount_;
        sourceName_ = std::move(other.sourceName_);
        stamp_ = other.stamp_;
        other.ClearWords();
        other.sourceName_.clear();
    }
    return *this;
}

void TWordList::Touch() noexcept { stamp_ = NextStamp(); }

void TWordList::CheckIndex(std::int32_t index) const {
    if (index < 0 || index >= WordCount()) {
        throw TListIndexError(FormatText(texts::kListIndex, {index}));
    }
}

std::string_view TWordList::WordAt(std::int32_t index) const {
    CheckIndex(index);
    const auto i = static_cast<std::size_t>(index);
    const std::size_t begin = i == 0 ? 0 : ends_[i - 1];
    return {bytes_.get() + begin, ends_[i] - begin};
}

bool TWordList::IsGerundAt(std::int32_t index) const {
    CheckIndex(index);
    return TestBit(gerunds_, static_cast<std::size_t>(index));
}

void TWordList::Reserve(std::size_t bytes) {
    if (bytes <= capacity_) return;
    std::size_t grown = capacity_ < 64 ? 64 : capacity_ * 2;
    if (grown < bytes) grown = bytes;
    std::unique_ptr<char[]> fresh(new char[grown]);
    if (size_ > 0) std::memcpy(fresh.get(), bytes_.get(), size_);
    bytes_ = std::move(fresh);
    capacity_ = grown;
}

std::int32_t TWordList::AppendWord(std::string_view entry) {
    // Offsets are 32-bit and the count is a signed 32-bit integer.
    if (ends_.size() >= static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()) ||
        entry.size() > std::numeric_limits<std::uint32_t>::max() - size_) {
        throw std::length_error("word list full");
    }
    Reserve(size_ + entry.size());
    if (!entry.empty()) std::memcpy(bytes_.get() + size_, entry.data(), entry.size());
    const bool gerund = EndsWithGerund(entry);
    PutBit(gerunds_, ends_.size(), gerund);
    ends_.push_back(static_cast<std::uint32_t>(size_ + entry.size()));
    size_ += entry.size();
    gerundCount_ += gerund ? 1 : 0;
    Touch();
    return static_cast<std::int32_t>(ends_.size() - 1);
}

void TWordList::ClearWords() noexcept {
    bytes_.reset();
    size_ = capacity_ = 0;
    ends_.clear();
    std::vector<std::uint64_t>().swap(gerunds_);
    gerundCount_ = 0;
    Touch();
}

void TWordList::AdoptText(TFileBytes text) {
    // Entries are moved down over the line ends they followed, so the text
    // buffer itself becomes the list's storage: one pass, no allocation per
    // entry, and each entry's bytes are copied at most once.
    TOffsetArray ends;
    std::vector<std::uint64_t> gerunds;
    std::int32_t gerundCount = 0;
    char* const base = text.data.get();
    const char* p = base;
    char* w = base;
    while (*p != '\0') {
        const char* start = p;
        p = FindLineEnd(p);
        const std::size_t len = static_cast<std::size_t>(p - start);
        const bool gerund = EndsWithGerund({start, len});
        PutBit(gerunds, ends.size(), gerund);
        gerundCount += gerund ? 1 : 0;
        if (w != start) MoveDown(w, start, len);
        w += len;
        ends.push_back(static_cast<std::uint32_t>(w - base));
        if (*p == '\r') ++p;
        if (*p == '\n') ++p;
    }
    bytes_ = std::move(text.data);
    size_ = static_cast<std::size_t>(w - base);
    capacity_ = text.capacity;
    ends_ = std::move(ends);
    gerunds_ = std::move(gerunds);
    gerundCount_ = gerundCount;
    Touch();
}

void TWordList::AssignText(std::string_view text) {
    const std::size_t nul = text.find('\0');
    if (nul != std::string_view::npos) text = text.substr(0, nul);
    if (text.size() >= std::numeric_limits<std::uint32_t>::max()) {
        throw std::length_error("text too long for a word list");
    }
    TFileBytes buf = AllocateTextBuffer(text.size());
    if (!text.empty()) std::memcpy(buf.data.get(), text.data(), text.size());
    AdoptText(std::move(buf));
    sourceName_.clear();
}

void TWordList::LoadWordFile(const std::string& fileName) {
    TFileBytes file = ReadWordFileBytes(fileName);  // closed again before it returns
    std::string name = fileName;
    AdoptText(std::move(file));
    sourceName_ = std::move(name);
}

}  // namespace titles
