// Word lists on POSIX systems: what a named list is, reading streams, and
// the XDG data folders.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "base/texts.h"
#include "cli/input.h"

namespace titles::cli {
namespace {

// Word files, streamed or not, stop short of 2 GiB.
constexpr std::size_t kMaxListBytes = std::numeric_limits<std::int32_t>::max();

class TDescriptor {
public:
    explicit TDescriptor(int fd) noexcept : fd_(fd) {}
    TDescriptor(const TDescriptor&) = delete;
    TDescriptor& operator=(const TDescriptor&) = delete;
    ~TDescriptor() {
        if (fd_ > STDERR_FILENO) ::close(fd_);
    }
    int Get() const noexcept { return fd_; }

private:
    int fd_;
};

std::string ReadToEnd(int fd, const std::string& name, TLanguage language) {
    std::string text;
    std::size_t got = 0;
    for (;;) {
        if (text.size() - got < 65536) text.resize(got + std::max<std::size_t>(65536, got / 2));
        const ssize_t r = ::read(fd, text.data() + got, text.size() - got);
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) throw CannotOpen(name, std::strerror(errno), language);
        if (r == 0) break;
        got += static_cast<std::size_t>(r);
        if (got > kMaxListBytes) throw CannotOpen(name, std::string(texts::kCliTooLarge), language);
    }
    text.resize(got);
    return text;
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
        TDescriptor file(fd);
        if (::fstat(file.Get(), &info) != 0 || !S_ISFIFO(info.st_mode)) {
            throw CannotOpen(name, std::string(texts::kCliNotAFile), language);
        }
        return {true, ReadToEnd(file.Get(), name, language)};
    }
    if (!S_ISREG(info.st_mode)) throw CannotOpen(name, std::string(texts::kCliNotAFile), language);
    // A regular file is read by the word-list reader; opening it here first
    // finds the reason should that fail.
    TDescriptor file(::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (file.Get() < 0) throw CannotOpen(name, std::strerror(errno), language);
    if (::fstat(file.Get(), &info) == 0 && static_cast<std::uint64_t>(info.st_size) > kMaxListBytes) {
        throw CannotOpen(name, std::string(texts::kCliTooLarge), language);
    }
    return {};
}

std::vector<std::string> InstalledListFolders() {
    const auto variable = [](const char* name) -> std::string {
        const char* value = std::getenv(name);
        return value != nullptr ? value : "";
    };
    std::vector<std::string> folders;
    std::string home = variable("XDG_DATA_HOME");
    if (home.empty() && !variable("HOME").empty()) home = variable("HOME") + "/.local/share";
    if (!home.empty()) folders.push_back(home + "/titles");
    std::string dirs = variable("XDG_DATA_DIRS");
    if (dirs.empty()) dirs = "/usr/local/share:/usr/share";
    for (std::size_t start = 0; start <= dirs.size();) {
        std::size_t end = dirs.find(':', start);
        if (end == std::string::npos) end = dirs.size();
        if (end > start) folders.push_back(dirs.substr(start, end - start) + "/titles");
        start = end + 1;
    }
    return folders;
}

bool PathExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

}  // namespace titles::cli
