// Loading word files on Windows: share modes, devices and pipes; and the
// system clock.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "base/failure.h"
#include "phrase/random_source.h"
#include "phrase/word_file.h"
#include "phrase/word_list.h"
#include "support/open_error.h"
#include "support/test_support.h"

namespace titles {
namespace {

using test_support::TTempDir;

using test_support::ExpectOpenError;

// A Win32 file handle closed at the end of the scope.
class THandle {
public:
    explicit THandle(HANDLE h) : h_(h) {}
    THandle(const THandle&) = delete;
    THandle& operator=(const THandle&) = delete;
    ~THandle() {
        if (h_ != INVALID_HANDLE_VALUE && h_ != nullptr) ::CloseHandle(h_);
    }
    HANDLE Get() const { return h_; }
    bool Valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }

private:
    HANDLE h_;
};

HANDLE OpenExisting(const std::string& path, DWORD access, DWORD share) {
    return ::CreateFileA(path.c_str(), access, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

TEST(LoadWordFileWin32, RefusesWhatCannotBeOpenedAsAFile) {
    TTempDir dir;
    const auto directory = (dir.Path() / "folder").string();
    ASSERT_TRUE(::CreateDirectoryA(directory.c_str(), nullptr));
    ExpectOpenError((dir.Path() / "missing.txt").string());
    ExpectOpenError((dir.Path() / "no-such-folder" / "nouns.txt").string());
    ExpectOpenError(directory);
    ExpectOpenError("");
    // Devices and pipes open, but are no word files.
    ExpectOpenError("NUL");
    const std::string pipeName = "\\\\.\\pipe\\titles-test-" + std::to_string(::GetCurrentProcessId());
    THandle pipe(::CreateNamedPipeA(pipeName.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE, 1, 4096, 4096, 0,
                                    nullptr));
    ASSERT_TRUE(pipe.Valid());
    ExpectOpenError(pipeName);
}

TEST(LoadWordFileWin32, RefusesAFileThatSomeoneIsWriting) {
    TTempDir dir;
    const auto path = dir.Write("nouns.txt", "Castle\r\n");
    {
        // The writer lets others read, but our open does not let anyone
        // write, so the two cannot both hold the file.
        THandle writer(OpenExisting(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE));
        ASSERT_TRUE(writer.Valid());
        ExpectOpenError(path);
    }
    {
        // A reader that shares reading does not stand in the way.
        THandle reader(OpenExisting(path, GENERIC_READ, FILE_SHARE_READ));
        ASSERT_TRUE(reader.Valid());
        TWordList list;
        EXPECT_NO_THROW(list.LoadWordFile(path));
        EXPECT_EQ(list.WordCount(), 1);
    }
    // With the writer gone the file loads.
    TWordList list;
    list.LoadWordFile(path);
    EXPECT_EQ(list.WordCount(), 1);
}

// While a word file is open, others may read it but not write it; checked
// between opening and reading.
TEST(LoadWordFileWin32, OthersMayReadButNotWriteWhileTheFileIsOpen) {
    TTempDir dir;
    const auto path = dir.Write("adjectives.txt", "Dark\r\nSilent\r\n");
    TWordSource source(path, TSourceKind::RegularFile);
    THandle reader(OpenExisting(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE));
    EXPECT_TRUE(reader.Valid());
    THandle writer(OpenExisting(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE));
    EXPECT_FALSE(writer.Valid());
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    TWordList list;
    EXPECT_NO_THROW(list.AssignText(source.Read(), path));
    EXPECT_EQ(list.WordCount(), 2);
}

TEST(LoadWordFileWin32, ClosesTheFileAfterLoading) {
    TTempDir dir;
    const auto path = dir.Write("nouns.txt", "Castle\r\nStar");
    TWordList list;
    list.LoadWordFile(path);
    // Exclusive access succeeds only when no handle is left open.
    THandle exclusive(OpenExisting(path, GENERIC_READ | GENERIC_WRITE, 0));
    EXPECT_TRUE(exclusive.Valid()) << ::GetLastError();
    ExpectOpenError(path);
}

std::uint32_t SystemMillisecondsOfDay() {
    SYSTEMTIME now{};
    ::GetSystemTime(&now);
    return MillisecondsOfDay(now.wHour, now.wMinute, now.wSecond, now.wMilliseconds);
}

TEST(ClockWin32, UtcTimeOfDayAgreesWithTheSystemTime) {
    // Retried when the readings straddle midnight, where the count restarts.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const std::uint32_t before = SystemMillisecondsOfDay();
        const std::uint32_t ours = UtcMillisecondsOfDay();
        const std::uint32_t after = SystemMillisecondsOfDay();
        if (after < before) continue;
        EXPECT_LE(before, ours);
        EXPECT_LE(ours, after);
        EXPECT_LT(ours, 86400000u);
        return;
    }
    FAIL() << "the clock kept running backwards";
}

TEST(ClockWin32, SeedFromClockUsesTheTimeOfDay) {
    const std::uint32_t before = SystemMillisecondsOfDay();
    SeedFromClock();
    const std::uint32_t seed = RandomSeed;
    const std::uint32_t after = SystemMillisecondsOfDay();
    if (after >= before) {
        EXPECT_LE(before, seed);
        EXPECT_LE(seed, after);
    }
    RandomSeed = 0;
}

}  // namespace
}  // namespace titles
