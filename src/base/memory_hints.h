// Hints to the system about large buffers: only hints, without which every
// buffer works the same.
#pragma once

#include <cstddef>

namespace titles {

// Asks the system to back a large buffer that is about to be written in
// full with large pages, and to provide them now rather than one page
// fault at a time.
void PrepareLargeBuffer(void* buffer, std::size_t size) noexcept;
// The same without providing the pages now, for a buffer that may be used
// only in part.
void AdviseLargePages(void* buffer, std::size_t size) noexcept;

}  // namespace titles
