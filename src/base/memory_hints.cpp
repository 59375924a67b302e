#include "base/memory_hints.h"

#include <cstdint>
#include <utility>

#if __has_include(<sys/mman.h>)
#include <sys/mman.h>
#endif

namespace titles {
namespace {

// The whole large pages inside a buffer, or an empty range.
[[maybe_unused]] std::pair<std::uintptr_t, std::uintptr_t> LargePagesOf(void* buffer, std::size_t size) noexcept {
    constexpr std::uintptr_t kHuge = std::uintptr_t{2} << 20;
    const auto begin = (reinterpret_cast<std::uintptr_t>(buffer) + kHuge - 1) & ~(kHuge - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(buffer) + size) & ~(kHuge - 1);
    return {begin, end > begin ? end : begin};
}

}  // namespace

// Systems without these advices (Windows) take no hint.
void AdviseLargePagesOnly([[maybe_unused]] void* buffer, [[maybe_unused]] std::size_t size) noexcept {
#ifdef MADV_HUGEPAGE
    const auto [begin, end] = LargePagesOf(buffer, size);
    if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#endif
}

void PrepareLargePages(void* buffer, std::size_t size) noexcept {
    // Most of the time spent loading a large file went into the kernel
    // handing out fresh zeroed pages one fault at a time.
    AdviseLargePagesOnly(buffer, size);
#ifdef MADV_POPULATE_WRITE
    const auto [begin, end] = LargePagesOf(buffer, size);
    if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_POPULATE_WRITE);
#endif
}

}  // namespace titles
