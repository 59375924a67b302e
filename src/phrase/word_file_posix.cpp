// Reading a word file on POSIX systems.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <limits>

#include "base/texts.h"
#include "phrase/errors.h"
#include "phrase/word_list.h"

namespace titles {
namespace {

class TFileDescriptor {
public:
    explicit TFileDescriptor(int fd) noexcept : fd_(fd) {}
    TFileDescriptor(const TFileDescriptor&) = delete;
    TFileDescriptor& operator=(const TFileDescriptor&) = delete;
    ~TFileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    int Get() const noexcept { return fd_; }

private:
    int fd_;
};

// Most of the time spent loading a large file goes into the kernel handing
// out fresh zeroed pages for its buffer; asking for huge pages cuts that
// down a lot. Only a hint: without it the buffer works the same.
void PreferHugePages(char* buffer, std::size_t size) noexcept {
#ifdef MADV_HUGEPAGE
    constexpr std::uintptr_t kHuge = std::uintptr_t{2} << 20;
    if (size < 4 * kHuge) return;
    const auto begin = (reinterpret_cast<std::uintptr_t>(buffer) + kHuge - 1) & ~(kHuge - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(buffer) + size) & ~(kHuge - 1);
    if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)buffer;
    (void)size;
#endif
}

[[noreturn]] void ThrowOpenError(const std::string& fileName) {
    throw TFileOpenError(FormatText(texts::kFileOpen, {std::string_view(fileName)}));
}

}  // namespace

TFileBytes ReadWordFileBytes(const std::string& fileName) {
    // O_NONBLOCK keeps a FIFO without a writer from blocking the open; such
    // a file is refused right after, since only a regular file is a word file.
    TFileDescriptor file(::open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (file.Get() < 0) ThrowOpenError(fileName);

    struct stat info {};
    if (::fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode)) ThrowOpenError(fileName);

    const off_t position = ::lseek(file.Get(), 0, SEEK_CUR);
    const off_t end = ::lseek(file.Get(), 0, SEEK_END);
    if (position < 0 || end < 0 || ::lseek(file.Get(), position, SEEK_SET) < 0) {
        ThrowOpenError(fileName);
    }
    // The byte count is a signed 32-bit number; a file of 2 GiB or more
    // would wrap it, so it is refused rather than silently read as empty.
    const std::int64_t count = static_cast<std::int64_t>(end) - position;
    if (count > std::numeric_limits<std::int32_t>::max()) ThrowOpenError(fileName);

    const std::size_t wanted = count > 0 ? static_cast<std::size_t>(count) : 0;
    TFileBytes buf = AllocateTextBuffer(wanted);
    PreferHugePages(buf.data.get(), wanted);
    if (const auto hook = WordFileSizedHook()) hook(fileName);
    // One request normally delivers the whole file. Should the file shrink
    // meanwhile, or a read fail, only the bytes actually delivered count.
    std::size_t got = 0;
    while (got < wanted) {
        const ssize_t r = ::read(file.Get(), buf.data.get() + got, wanted - got);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) break;
        got += static_cast<std::size_t>(r);
    }
    buf.data[got] = '\0';
    buf.size = got;
    return buf;
}

}  // namespace titles
