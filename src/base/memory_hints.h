// Hints to the system about large buffers: only hints, without which every
// buffer works the same.
#pragma once

#include <cstddef>

namespace titles {

// Buffers smaller than this take no hint: they hold too few large pages
// for one to pay.
inline constexpr std::size_t kLargeBufferBytes = std::size_t{8} << 20;

void PrepareLargePages(void* buffer, std::size_t size) noexcept;
void AdviseLargePagesOnly(void* buffer, std::size_t size) noexcept;

// Asks the system to back a large buffer that is about to be written in
// full with large pages, and to provide them now rather than one page
// fault at a time.
inline void PrepareLargeBuffer(void* buffer, std::size_t size) noexcept {
    if (size >= kLargeBufferBytes) PrepareLargePages(buffer, size);
}
// The same without providing the pages now, for a buffer that may be used
// only in part.
inline void AdviseLargePages(void* buffer, std::size_t size) noexcept {
    if (size >= kLargeBufferBytes) AdviseLargePagesOnly(buffer, size);
}

}  // namespace titles
