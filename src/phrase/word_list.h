// TWordList: an ordered list of byte-string entries, filled from the lines of
// a text or a word file. Entries are kept exactly as the file holds them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "phrase/offset_array.h"

namespace titles {

struct TFileBytes;

class TWordList {
public:
    TWordList() = default;
    // Lists are moved, never copied. A moved-from list is empty and usable.
    TWordList(TWordList&& other) noexcept;
    TWordList& operator=(TWordList&& other) noexcept;
    ~TWordList() = default;

    std::int32_t WordCount() const noexcept { return static_cast<std::int32_t>(ends_.size()); }

    // The entry at index; raises TListIndexError unless 0 <= index < WordCount().
    // The view stays valid until the list is next changed.
    std::string_view WordAt(std::int32_t index) const {
        CheckIndex(index);
        const auto i = static_cast<std::size_t>(index);
        const std::size_t begin = i == 0 ? 0 : ends_[i - 1];
        return {bytes_.get() + begin, ends_[i] - begin};
    }

    // Adds entry at the end and returns its index (the old count).
    std::int32_t AppendWord(std::string_view entry);

    void ClearWords() noexcept;

    // Replaces all entries by the lines of text. The text ends at its first
    // zero byte; CR LF, LF and CR each end a line.
    void AssignText(std::string_view text);
    // Takes over text read for the list (word_file.h), and the name that
    // messages about the list give its source.
    void AssignText(TFileBytes text, const std::string& sourceName);

    // Replaces all entries by the lines of the named file. Raises
    // TFileOpenError when the file cannot be opened; the list is then untouched.
    void LoadWordFile(const std::string& fileName);

    // Whether the entry at index ends in "ing"; known for every entry from
    // the moment it is added. Raises TListIndexError like WordAt.
    bool IsGerundAt(std::int32_t index) const {
        CheckIndex(index);
        const auto i = static_cast<std::size_t>(index);
        return (gerunds_[i / 64] >> (i % 64)) & 1u;
    }
    // How many entries end in "ing".
    std::int32_t GerundCount() const noexcept { return gerundCount_; }

    // The file name given to the last successful LoadWordFile, empty otherwise.
    const std::string& SourceName() const noexcept { return sourceName_; }

private:
    // Takes over the text and splits it into entries in place.
    void AdoptText(TFileBytes text);
    void Swap(TWordList& other) noexcept;
    void Reserve(std::size_t bytes);
    void CheckIndex(std::int32_t index) const {
        if (index < 0 || index >= WordCount()) ThrowIndexError(index);
    }
    [[noreturn]] static void ThrowIndexError(std::int32_t index);

    std::unique_ptr<char[]> bytes_;        // entries back to back, no separators
    std::size_t size_ = 0;                 // bytes in use
    std::size_t capacity_ = 0;             // bytes allocated
    TOffsetArray ends_;                    // end offset of each entry in bytes_
    std::vector<std::uint64_t> gerunds_;   // one bit per entry: ends in "ing"
    std::int32_t gerundCount_ = 0;
    std::string sourceName_;
};

}  // namespace titles
