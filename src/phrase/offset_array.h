// A growable array of 32-bit offsets, for the word list's entry ends.
#pragma once

#include <cstddef>
#include <cstdint>

namespace titles {

// A growable array of 32-bit offsets kept in one malloc'd block. Growing it
// goes through realloc, which large blocks can extend in place (or remap),
// so a list of millions of entries never holds two copies of its offsets.
class TOffsetArray {
public:
    TOffsetArray() = default;
    TOffsetArray(TOffsetArray&& other) noexcept;
    TOffsetArray& operator=(TOffsetArray&& other) noexcept;
    ~TOffsetArray();

    std::size_t size() const noexcept { return size_; }
    bool empty() const noexcept { return size_ == 0; }
    std::uint32_t operator[](std::size_t i) const noexcept { return data_[i]; }
    void push_back(std::uint32_t value) {
        if (size_ == capacity_) Grow();
        data_[size_++] = value;
    }
    void clear() noexcept;  // also releases the memory
    // Makes room for count values in all, the memory provided at once.
    void Reserve(std::size_t count);
    // Gives back the room beyond size().
    void ShrinkToFit() noexcept;

private:
    void Grow();

    std::uint32_t* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

}  // namespace titles
