// Reading a word file on POSIX systems.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <utility>

#include "phrase/errors.h"
#include "phrase/word_file.h"

namespace titles {
namespace {

class TDescriptorSource final : public TByteSource {
public:
    explicit TDescriptorSource(int fd) noexcept : fd_(fd) {}
    std::int64_t ReadSome(char* dst, std::size_t max) override {
        for (;;) {
            const ssize_t got = ::read(fd_, dst, max);
            if (got >= 0) return got;
            if (errno != EINTR) return -errno;
        }
    }

private:
    int fd_;
};

bool SameFile(const struct stat& a, const struct stat& b) noexcept {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && (a.st_mode & S_IFMT) == (b.st_mode & S_IFMT);
}

}  // namespace

TWordSource::TWordSource(const std::string& name, TSourceKind kind) : name_(name) { Open(kind); }

void TWordSource::Open(TSourceKind kind) {
    struct stat named {};
    if (kind == TSourceKind::StandardInput) {
        handle_ = STDIN_FILENO;
        owned_ = false;
        if (::fstat(STDIN_FILENO, &named) != 0) return Fail(TFailureKind::FileOpen, errno);
        stream_ = standardInput_ = !S_ISREG(named.st_mode);
        return;
    }
    // The type is looked at before the open, so that a FIFO's writer or a
    // device never sees a file it should not read opened, and again on the
    // descriptor, in case the name changed hands meanwhile. O_NOCTTY, and
    // O_NONBLOCK for a regular file, keep the open free of side effects.
    if (::stat(name_.c_str(), &named) != 0) return Fail(TFailureKind::FileOpen, errno, errno == ENOENT);
    if (S_ISDIR(named.st_mode)) return Fail(TFailureKind::FileOpen, EISDIR);
    stream_ = kind == TSourceKind::FileOrStream && (S_ISFIFO(named.st_mode) || S_ISCHR(named.st_mode));
    if (!S_ISREG(named.st_mode) && !stream_) return Fail(TFailureKind::NotAFile, 0);
    // A regular file opens at once; a FIFO's open waits for its writer.
    const int flags = O_RDONLY | O_CLOEXEC | O_NOCTTY | (stream_ ? 0 : O_NONBLOCK);
    int fd = -1;
    do {
        fd = ::open(name_.c_str(), flags);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return Fail(TFailureKind::FileOpen, errno, errno == ENOENT);
    handle_ = fd;
    struct stat opened {};
    if (::fstat(fd, &opened) != 0 || !SameFile(opened, named)) return Fail(TFailureKind::NotAFile, 0);
    struct stat input {};
    standardInput_ = stream_ && ::fstat(STDIN_FILENO, &input) == 0 && SameFile(input, opened);
}

TWordSource::~TWordSource() {
    if (owned_ && handle_ >= 0) ::close(static_cast<int>(handle_));
}

TFileBytes TWordSource::Read() {
    if (failure_) throw TFileOpenError(*failure_, name_, error_);
    const int fd = static_cast<int>(handle_);
    TDescriptorSource source(fd);
    if (stream_) return ReadWholeFile(source, 0, name_, true);
    // The size the file claims, by seeking to its end and back. Files made
    // on reading (procfs) cannot seek to their end; they then claim nothing,
    // and reading finds the rest.
    const off_t position = ::lseek(fd, 0, SEEK_CUR);
    if (position < 0) throw TFileOpenError(TFailureKind::FileRead, name_, errno);
    off_t end = ::lseek(fd, 0, SEEK_END);
    if (end < 0) end = position;
    if (::lseek(fd, position, SEEK_SET) < 0) throw TFileOpenError(TFailureKind::FileRead, name_, errno);
    return ReadWholeFile(source, end > position ? static_cast<std::uint64_t>(end - position) : 0, name_);
}

}  // namespace titles
