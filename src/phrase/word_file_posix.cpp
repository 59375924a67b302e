// Reading a word file on POSIX systems.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <utility>

#include "phrase/word_file.h"

namespace titles {
namespace {

class TFileDescriptor final : public TByteSource {
public:
    explicit TFileDescriptor(int fd) noexcept : fd_(fd) {}
    TFileDescriptor(const TFileDescriptor&) = delete;
    TFileDescriptor& operator=(const TFileDescriptor&) = delete;
    ~TFileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    int Get() const noexcept { return fd_; }

    std::int64_t ReadSome(char* dst, std::size_t max) override {
        for (;;) {
            const ssize_t got = ::read(fd_, dst, max);
            if (got >= 0) return got;
            if (errno != EINTR) return -1;
        }
    }

private:
    int fd_;
};

bool IsRegularFile(const struct stat& info) noexcept { return S_ISREG(info.st_mode); }

}  // namespace

namespace {

// The whole large pages inside a buffer, or an empty range.
std::pair<std::uintptr_t, std::uintptr_t> LargePagesOf(void* buffer, std::size_t size) noexcept {
    constexpr std::uintptr_t kHuge = std::uintptr_t{2} << 20;
    if (size < 4 * kHuge) return {0, 0};
    const auto begin = (reinterpret_cast<std::uintptr_t>(buffer) + kHuge - 1) & ~(kHuge - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(buffer) + size) & ~(kHuge - 1);
    return {begin, end > begin ? end : begin};
}

}  // namespace

void AdviseLargePages(void* buffer, std::size_t size) noexcept {
    const auto [begin, end] = LargePagesOf(buffer, size);
#ifdef MADV_HUGEPAGE
    if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#endif
}

void PrepareLargeBuffer(void* buffer, std::size_t size) noexcept {
    // Most of the time spent loading a large file went into the kernel
    // handing out fresh zeroed pages one fault at a time.
    AdviseLargePages(buffer, size);
    const auto [begin, end] = LargePagesOf(buffer, size);
#ifdef MADV_POPULATE_WRITE
    if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_POPULATE_WRITE);
#endif
}

TFileBytes ReadWordFileBytes(const std::string& fileName) {
    // Only a regular file is a word file. Its type is checked before the
    // open, so that a FIFO's writer or a device never sees it opened, and
    // again on the descriptor, in case the name changed hands meanwhile.
    // O_NONBLOCK and O_NOCTTY keep the open free of side effects even then.
    struct stat named {};
    if (::stat(fileName.c_str(), &named) != 0 || !IsRegularFile(named)) ThrowFileOpenError(fileName);
    TFileDescriptor file(::open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (file.Get() < 0) ThrowFileOpenError(fileName);
    struct stat opened {};
    if (::fstat(file.Get(), &opened) != 0 || !IsRegularFile(opened) || opened.st_dev != named.st_dev ||
        opened.st_ino != named.st_ino) {
        ThrowFileOpenError(fileName);
    }

    // The size the file claims, by seeking to its end and back. Files made
    // on reading (procfs) cannot seek to their end; their size is then
    // taken as stated, which for them is 0, and reading finds the rest.
    const off_t position = ::lseek(file.Get(), 0, SEEK_CUR);
    if (position < 0) ThrowFileOpenError(fileName);
    off_t end = ::lseek(file.Get(), 0, SEEK_END);
    if (end < 0) end = opened.st_size;
    if (::lseek(file.Get(), position, SEEK_SET) < 0) ThrowFileOpenError(fileName);
    const std::int64_t count = static_cast<std::int64_t>(end) - position;
    return ReadWholeFile(file, count > 0 ? static_cast<std::uint64_t>(count) : 0, fileName);
}

}  // namespace titles
