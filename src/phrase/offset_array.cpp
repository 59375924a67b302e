#include "phrase/offset_array.h"

#include <cstdlib>
#include <new>

#include "base/memory_hints.h"

namespace titles {

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

void TOffsetArray::Reserve(std::size_t count) {
    if (count <= capacity_) return;
    void* fresh = std::realloc(data_, count * sizeof(std::uint32_t));
    if (fresh == nullptr) throw std::bad_alloc();
    data_ = static_cast<std::uint32_t*>(fresh);
    AdviseLargePages(data_, count * sizeof(std::uint32_t));
    capacity_ = count;
}

void TOffsetArray::ShrinkToFit() noexcept {
    if (size_ == capacity_) return;
    if (size_ == 0) {
        clear();
        return;
    }
    if (void* fresh = std::realloc(data_, size_ * sizeof(std::uint32_t))) {
        data_ = static_cast<std::uint32_t*>(fresh);
        capacity_ = size_;
    }
}

}  // namespace titles
