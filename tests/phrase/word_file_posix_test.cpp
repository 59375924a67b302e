// Loading word files on POSIX systems: what is not a readable regular file,
// files larger than a word file can be, and files that change or are made
// while they are read.
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "phrase/errors.h"
#include "phrase/word_file.h"
#include "phrase/word_list.h"
#include "support/open_error.h"
#include "support/test_support.h"

namespace titles {
namespace {

using test_support::TTempDir;
using test_support::TWatchdog;
using namespace std::chrono_literals;

using test_support::ExpectOpenError;

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
            ::_exit(e.Facts().name == path ? 0 : 11);
        }
        ::_exit(12);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "10: could not drop privileges, 11: wrong name, 12: no error";
}

TEST(LoadWordFile, RefusesAFileOfTwoGibibytesOrMore) {
    TTempDir dir;
    for (const std::uintmax_t size : {std::uintmax_t{2147483648u}, std::uintmax_t{4294967296u + 5}}) {
        const auto path = dir.Write("huge.txt", "word\n");
        std::filesystem::resize_file(path, size);  // sparse
        ExpectOpenError(path);
    }
}

// A writer blocked on opening a FIFO stays blocked: looking at the name
// must not open the FIFO, which would let the writer go on, and closing it
// again would kill the writer with SIGPIPE.
TEST(LoadWordFile, LeavesAWriterBlockedOnAFifoAlone) {
    TTempDir dir;
    const std::string fifo = (dir.Path() / "nouns.txt").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    TWatchdog watchdog(20s, "a FIFO with a blocked writer");
    const pid_t writer = ::fork();
    ASSERT_GE(writer, 0);
    if (writer == 0) {
        const int fd = ::open(fifo.c_str(), O_WRONLY);  // blocks until a reader opens
        ::_exit(fd >= 0 && ::write(fd, "Castle\n", 7) == 7 ? 0 : 10);
    }
    std::this_thread::sleep_for(200ms);  // the writer is in its open by now
    ExpectOpenError(fifo);
    std::this_thread::sleep_for(200ms);
    int status = 0;
    EXPECT_EQ(::waitpid(writer, &status, WNOHANG), 0) << "the writer went on";
    // Let it go: it was untouched, so it writes its line and ends normally.
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    ASSERT_EQ(::waitpid(writer, &status, 0), writer);
    ::close(reader);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
}

// A file whose size reads 0 but whose content is made when it is read.
TEST(LoadWordFile, ReadsAFileWhoseSizeClaimsNothing) {
    struct stat info {};
    if (::stat("/proc/version", &info) != 0) GTEST_SKIP() << "no /proc/version here";
    ASSERT_EQ(info.st_size, 0);
    TWordList list;
    list.LoadWordFile("/proc/version");
    ASSERT_EQ(list.WordCount(), 1);
    EXPECT_EQ(list.WordAt(0).substr(0, 14), "Linux version ");
}

}  // namespace
}  // namespace titles
