// Word lists on POSIX systems: what a named list is, and reading streams.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

#include "base/texts.h"
#include "cli/input.h"

namespace titles::cli {
namespace {

std::string ReadToEnd(int fd, const std::string& name, TLanguage language) {
    const auto readSome = [&](char* buffer, std::size_t size) -> std::size_t {
        for (;;) {
            const ssize_t r = ::read(fd, buffer, size);
            if (r >= 0) return static_cast<std::size_t>(r);
            if (errno != EINTR) throw CannotOpen(name, std::strerror(errno), language);
        }
    };
    return cli::ReadToEnd(readSome, name, language);
}

}  // namespace

TListInput ExamineList(const std::string& name, TLanguage language) {
    if (name == kStandardInputName) return {true, ReadToEnd(STDIN_FILENO, name, language)};
    // The type is looked at before anything is opened: opening a device or
    // a FIFO is not free of effects.
    struct stat info {};
    if (::stat(name.c_str(), &info) != 0) throw CannotOpen(name, std::strerror(errno), language);
    if (S_ISDIR(info.st_mode)) throw CannotOpen(name, std::strerror(EISDIR), language);
    if (S_ISFIFO(info.st_mode)) {
        int fd = -1;
        do {
            fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);  // waits for a writer
        } while (fd < 0 && errno == EINTR);
        if (fd < 0) throw CannotOpen(name, std::strerror(errno), language);
        TListInput input{true, {}};
        try {
            if (::fstat(fd, &info) != 0 || !S_ISFIFO(info.st_mode)) {
                throw CannotOpen(name, std::string(texts::kCliNotAFile), language);
            }
            input.text = ReadToEnd(fd, name, language);
        } catch (...) {
            ::close(fd);
            throw;
        }
        ::close(fd);
        return input;
    }
    if (!S_ISREG(info.st_mode)) throw CannotOpen(name, std::string(texts::kCliNotAFile), language);
    // A regular file is read by the word-list reader; opening it here first
    // finds the reason should that fail.
    const int fd = ::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) throw CannotOpen(name, std::strerror(errno), language);
    const bool tooLarge = ::fstat(fd, &info) == 0 && static_cast<std::uint64_t>(info.st_size) > kMaxListBytes;
    ::close(fd);
    if (tooLarge) throw CannotOpen(name, std::string(texts::kCliTooLarge), language);
    return {};
}

bool PathExists(const std::string& path) {
    // A broken link counts: the list is there, and opening it says why not.
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

}  // namespace titles::cli
