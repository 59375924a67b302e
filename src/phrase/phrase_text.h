// The text of a phrase while it is composed: its pieces gather on the
// stack and reach the caller's string together, each short piece copied
// without a call into the C library.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

#include "phrase/byte_copy.h"
#include "phrase/word_file.h"
#include "phrase/word_list.h"

namespace titles {

// An entry as a list holds it, to be appended to a phrase.
struct TEntry {
    std::string_view bytes;
};

inline TEntry EntryOf(const TWordList& list, std::int32_t index) { return {list.WordAt(index)}; }

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

    // An entry of a word list, whose storage may be read past it
    // (kTextPadding): a short one is copied as one block of fixed size.
    [[gnu::always_inline]] TPhraseText& operator+=(const TEntry& entry) {
        constexpr std::size_t block = 16;
        static_assert(kTextPadding >= block);
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

}  // namespace titles
