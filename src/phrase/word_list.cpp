#include "phrase/word_list.h"

#include <bit>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>
#include <utility>

#include "phrase/errors.h"
#include "phrase/grammar.h"
#include "phrase/line_split.h"
#include "phrase/word_file.h"

namespace titles {
namespace {

// Sets bit i of bits to on, growing bits by a word when i needs it.
inline void PutBit(std::vector<std::uint64_t>& bits, std::size_t i, bool on) {
    if (bits.size() <= i / 64) bits.push_back(0);
    const std::uint64_t mask = std::uint64_t{1} << (i % 64);
    bits[i / 64] = (bits[i / 64] & ~mask) | (on ? mask : 0);
}

}  // namespace

// A moved-from list is left as a new one: empty, unnamed and usable.
TWordList::TWordList(TWordList&& other) noexcept { Swap(other); }

TWordList& TWordList::operator=(TWordList&& other) noexcept {
    TWordList taken(std::move(other));
    Swap(taken);
    return *this;
}

void TWordList::Swap(TWordList& other) noexcept {
    std::swap(bytes_, other.bytes_);
    std::swap(size_, other.size_);
    std::swap(capacity_, other.capacity_);
    std::swap(ends_, other.ends_);
    std::swap(gerunds_, other.gerunds_);
    std::swap(gerundCount_, other.gerundCount_);
    std::swap(sourceName_, other.sourceName_);
}

void TWordList::ThrowIndexError(std::int32_t index) {
    throw TListIndexError(index);
}

void TWordList::Reserve(std::size_t bytes) {
    bytes += kTextPadding;
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
    return static_cast<std::int32_t>(ends_.size() - 1);
}

void TWordList::ClearWords() noexcept {
    bytes_.reset();
    size_ = capacity_ = 0;
    ends_.clear();
    std::vector<std::uint64_t>().swap(gerunds_);
    gerundCount_ = 0;
}

void TWordList::AdoptText(TFileBytes text) {
    // The text's buffer becomes the list's storage: one pass, no allocation
    // per entry, and each entry's bytes are copied at most once.
    TSplitLines split = SplitLinesInPlace(text.data.get(), text.size);
    bytes_ = std::move(text.data);
    size_ = split.bytes;
    capacity_ = text.capacity;
    ends_ = std::move(split.ends);
    gerunds_ = std::move(split.gerunds);
    gerundCount_ = split.gerundCount;
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

void TWordList::AssignText(TFileBytes text, const std::string& sourceName) {
    std::string name = sourceName;
    AdoptText(std::move(text));
    sourceName_ = std::move(name);
}

void TWordList::LoadWordFile(const std::string& fileName) {
    TFileBytes text = TWordSource(fileName, TSourceKind::RegularFile).Read();  // and closed again
    AssignText(std::move(text), fileName);
}

}  // namespace titles
