// Helpers shared by the test suites.
#pragma once

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace titles::test_support {

// A fresh directory under the system's temporary directory, removed with
// everything in it when the object goes.
class TTempDir {
public:
    TTempDir();
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;
    ~TTempDir();
    const std::filesystem::path& Path() const noexcept { return path_; }
    // Writes bytes to a file in the directory and returns its full path.
    std::string Write(std::string_view name, std::string_view bytes) const;

private:
    std::filesystem::path path_;
};

// Ends the whole test process with a message when a scope takes longer than
// its limit, so that a hang fails fast instead of stalling the suite.
class TWatchdog {
public:
    explicit TWatchdog(std::chrono::milliseconds limit, std::string what);
    TWatchdog(const TWatchdog&) = delete;
    TWatchdog& operator=(const TWatchdog&) = delete;
    ~TWatchdog();

private:
    std::mutex mutex_;
    std::condition_variable done_;
    bool finished_ = false;
    std::thread thread_;
};

std::string ReadFileBytes(const std::filesystem::path& path);

// Whether text holds a byte a terminal could act on: a control character
// other than the line feed that ends each line, DEL, or a C1 control
// (U+0080 to U+009F) in UTF-8.
inline bool HoldsControlBytes(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if ((c < 0x20 && c != '\n') || c == 0x7F) return true;
        if (c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) < 0xA0) return true;
    }
    return false;
}

struct TProcessResult {
    int exitCode = -1;  // -1 when the process did not exit normally
    int signal = 0;
    std::string out;
    std::string err;
};

// Runs a program with arguments in a directory (POSIX only), capturing its
// output and failing when it outlives the limit.
TProcessResult RunProcess(const std::vector<std::string>& argv, const std::filesystem::path& cwd,
                          std::chrono::milliseconds limit = std::chrono::seconds(30));

}  // namespace titles::test_support
