#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "phrase/errors.h"
#include "phrase/word_list.h"
#include "support/open_error.h"
#include "support/test_support.h"

namespace titles {
namespace {

using testing::TTempDir;
using testing::TWatchdog;
using namespace std::chrono_literals;

using testing::ExpectOpenError;
using testing::OpenErrorOf;

TEST(LoadWordFile, ReadsLinesOfARegularFile) {
    TTempDir dir;
    const auto path = dir.Write("nouns.txt", "Running\r\nCastle\nDragon\rStar");
    TWordList list;
    list.LoadWordFile(path);
    ASSERT_EQ(list.WordCount(), 4);
    EXPECT_EQ(list.WordAt(0), "Running");
    EXPECT_EQ(list.WordAt(3), "Star");
    EXPECT_EQ(list.SourceName(), path);
}

TEST(LoadWordFile, EmptyFileGivesNoEntriesAndNoError) {
    TTempDir dir;
    TWordList list;
    list.AppendWord("old");
    list.LoadWordFile(dir.Write("empty.txt", ""));
    EXPECT_EQ(list.WordCount(), 0);
}

TEST(LoadWordFile, RelativeNameResolvesAgainstWorkingDirectory) {
    TTempDir dir;
    dir.Write("adjectives.txt", "Dark\nSilent\n");
    const auto saved = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path());
    TWordList list;
    EXPECT_NO_THROW(list.LoadWordFile("adjectives.txt"));
    std::filesystem::current_path(saved);
    EXPECT_EQ(list.WordCount(), 2);
    // From elsewhere the bare name is not found, and the message keeps it bare.
    ExpectOpenError("adjectives.txt");
}

TEST(LoadWordFile, RefusesWhatIsNotAReadableRegularFile) {
    TTempDir dir;
    const std::string fifo = (dir.Path() / "fifo.txt").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    const std::string sock = (dir.Path() / "s").string();
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", sock.c_str());
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    std::filesystem::create_symlink("loop", dir.Path() / "loop");

    TWatchdog watchdog(10s, "opening special files");
    for (const std::string& name : {(dir.Path() / "missing.txt").string(), dir.Path().string(), fifo, sock,
                                    std::string("/dev/null"), std::string("/dev/zero"),
                                    (dir.Path() / "loop").string(), std::string("")}) {
        ExpectOpenError(name);
    }
    ::close(fd);
}

TEST(LoadWordFile, RefusesAFileWithoutReadPermission) {
    TTempDir dir;
    const auto path = dir.Write("locked.txt", "secret\n");
    ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
    if (::geteuid() != 0) {
        ASSERT_EQ(::chmod(path.c_str(), 0000), 0);
        ExpectOpenError(path);
        return;
    }
    // Root reads everything: check as an unprivileged user in a child.
    ASSERT_EQ(::chmod(dir.Path().c_str(), 0755), 0);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(10);
        TWordList list;
        try {
            list.LoadWordFile(path);
        } catch (const TFileOpenError& e) {
            ::_exit(std::string(e.what()) == OpenErrorOf(path) ? 0 : 11);
        }
        ::_exit(12);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "10: could not drop privileges, 11: wrong message, 12: no error";
}

TEST(LoadWordFile, RefusesAFileOfTwoGibibytesOrMore) {
    TTempDir dir;
    for (const std::uintmax_t size : {std::uintmax_t{2147483648u}, std::uintmax_t{4294967296u + 5}}) {
        const auto path = dir.Write("huge.txt", "word\n");
        std::filesystem::resize_file(path, size);  // sparse
        ExpectOpenError(path);
    }
}

void TruncateOnSizing(const std::string& fileName) { std::filesystem::resize_file(fileName, 9); }

TEST(LoadWordFile, SplitsOnlyTheBytesDeliveredWhenTheFileShrinks) {
    TTempDir dir;
    const auto path = dir.Write("shrinking.txt", "Castle\r\nDragon\r\nStar\r\n");
    SetWordFileSizedHook(&TruncateOnSizing);
    TWordList list;
    list.LoadWordFile(path);
    SetWordFileSizedHook(nullptr);
    ASSERT_EQ(list.WordCount(), 2);
    EXPECT_EQ(list.WordAt(0), "Castle");
    EXPECT_EQ(list.WordAt(1), "D");
}

TEST(LoadWordFile, LargeFileRoundTrips) {
    TTempDir dir;
    std::string text;
    for (int i = 0; i < 100000; ++i) {
        text += "entry" + std::to_string(i);
        text += (i % 3 == 0) ? "\r\n" : (i % 3 == 1 ? "\n" : "\r");
    }
    TWordList list;
    list.LoadWordFile(dir.Write("big.txt", text));
    ASSERT_EQ(list.WordCount(), 100000);
    EXPECT_EQ(list.WordAt(0), "entry0");
    EXPECT_EQ(list.WordAt(54321), "entry54321");
    EXPECT_EQ(list.WordAt(99999), "entry99999");
}

}  // namespace
}  // namespace titles
