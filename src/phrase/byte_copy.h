// Copying a few bytes without a call into the C library: word-list entries
// and the pieces of a phrase are mostly short, and a call to memmove for
// each would cost more than the copy itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace titles {

// Copies len bytes from src to dst; the ranges may overlap. Short runs are
// copied as two words loaded before either is stored.
inline void MoveBytes(char* dst, const char* src, std::size_t len) noexcept {
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

}  // namespace titles
