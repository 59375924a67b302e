// Loading word files, on every platform: what a regular file gives, and
// how the reader takes a file's bytes whatever its size claimed. The cases
// only one platform can stage are in word_file_posix_test.cpp and
// word_file_win32_test.cpp, one of which the test build adds.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "phrase/errors.h"
#include "phrase/word_file.h"
#include "phrase/word_list.h"
#include "support/open_error.h"
#include "support/test_support.h"

namespace titles {
namespace {

using test_support::ExpectOpenError;
using test_support::TTempDir;

TEST(LoadWordFile, ReadsTheLinesOfAFile) {
    TTempDir dir;
    const auto path = dir.Write("nouns.txt", "Running\r\nCastle\nDragon\rSt\xe4r & \t\x81\x40\r\n");
    TWordList list;
    list.LoadWordFile(path);
    ASSERT_EQ(list.WordCount(), 4);
    EXPECT_EQ(list.WordAt(0), "Running");
    EXPECT_EQ(list.WordAt(1), "Castle");
    EXPECT_EQ(list.WordAt(2), "Dragon");
    EXPECT_EQ(list.WordAt(3), "St\xe4r & \t\x81\x40");
    EXPECT_EQ(list.SourceName(), path);
}

TEST(LoadWordFile, EmptyFileGivesNoEntriesAndNoError) {
    TTempDir dir;
    TWordList list;
    list.AppendWord("old");
    list.LoadWordFile(dir.Write("empty.txt", ""));
    EXPECT_EQ(list.WordCount(), 0);
}

TEST(LoadWordFile, RelativeNameResolvesAgainstTheWorkingDirectory) {
    TTempDir dir;
    dir.Write("adjectives.txt", "Dark\r\nSilent\r\n");
    const auto saved = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path());
    TWordList list;
    EXPECT_NO_THROW(list.LoadWordFile("adjectives.txt"));
    ExpectOpenError("nouns.txt");
    std::filesystem::current_path(saved);
    EXPECT_EQ(list.WordCount(), 2);
    // From elsewhere the bare name is not found, and the message keeps it bare.
    ExpectOpenError("adjectives.txt");
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

// An open file as the reader sees it: the pieces one read each delivers,
// then the end of the file, or a failed read (EIO, 5).
class TScriptedFile final : public TByteSource {
public:
    TScriptedFile(std::vector<std::string> pieces, bool failAtEnd)
        : pieces_(std::move(pieces)), failAtEnd_(failAtEnd) {}

    std::int64_t ReadSome(char* dst, std::size_t max) override {
        if (next_ == pieces_.size()) return failAtEnd_ ? -5 : 0;
        std::string& piece = pieces_[next_];
        const std::size_t n = std::min(max, piece.size());
        std::memcpy(dst, piece.data(), n);
        piece.erase(0, n);
        if (piece.empty()) ++next_;
        return static_cast<std::int64_t>(n);
    }

private:
    std::vector<std::string> pieces_;
    std::size_t next_ = 0;
    bool failAtEnd_;
};

TEST(ReadWholeFile, ReadsToTheEndWhateverTheSizeClaimsAndFailsOnAReadError) {
    struct Case {
        const char* what;
        std::uint64_t claimed;
        std::vector<std::string> pieces;
        bool failAtEnd;
        const char* bytes;  // nullptr: all the pieces
    };
    const std::string many(10000, 'x');
    const Case cases[] = {
        {"as large as claimed", 8, {"Dark\nSun"}, false, "Dark\nSun"},
        {"claims nothing, made on reading", 0, {"Linux version 6\n"}, false, "Linux version 6\n"},
        {"more than claimed, in pieces", 3, {"Dark\n", "Silent\n", many}, false, nullptr},
        {"less than claimed", 100, {"Dark"}, false, "Dark"},
        {"a zero byte does not end a file", 2, {std::string("A\0", 2), "B"}, false, nullptr},
        {"no read succeeds", 10, {}, true, nullptr},
        {"a read fails after some bytes", 10, {"Dark"}, true, nullptr},
        {"a read fails once the claimed bytes are in", 4, {"Dark"}, true, nullptr},
    };
    for (const auto& c : cases) {
        TScriptedFile file(c.pieces, c.failAtEnd);
        std::string expected;
        for (const auto& piece : c.pieces) expected += piece;
        if (c.bytes != nullptr) expected = c.bytes;
        try {
            const TFileBytes got = ReadWholeFile(file, c.claimed, "nouns.txt");
            EXPECT_FALSE(c.failAtEnd) << c.what;
            EXPECT_EQ(std::string(got.data.get(), got.size), expected) << c.what;
            EXPECT_EQ(got.data[got.size], '\0') << c.what;
            EXPECT_GE(got.capacity, got.size + 1 + kTextPadding) << c.what;
        } catch (const TFileOpenError& e) {
            EXPECT_TRUE(c.failAtEnd) << c.what;
            EXPECT_EQ(e.Facts().name, "nouns.txt") << c.what;
            EXPECT_EQ(e.Facts().kind, TFailureKind::FileRead) << c.what;
            EXPECT_EQ(e.Facts().systemError, 5) << c.what;
        }
    }
}

// A stream is read to its end, or to the read that brings its first zero
// byte: nothing after that read is asked for.
TEST(ReadWholeFile, ReadsAStreamToTheEndOrTheFirstZeroByte) {
    struct Case {
        const char* what;
        std::vector<std::string> pieces;
        bool failAtEnd;
        std::string bytes;
    };
    const std::string block(std::size_t{33} << 20, 'x');  // a block of the reader
    const Case cases[] = {
        {"empty", {}, false, ""},
        {"in pieces", {"Dark\n", "Sun"}, false, "Dark\nSun"},
        {"across blocks", {block.substr(3), "abcdef", block}, false, block.substr(3) + "abcdef" + block},
        {"stops after the zero byte", {std::string("Da\0rk", 5), "never read"}, true, std::string("Da\0rk", 5)},
        {"a read fails", {"Dark"}, true, ""},
    };
    for (const auto& c : cases) {
        TScriptedFile stream(c.pieces, c.failAtEnd);
        try {
            const TFileBytes got = ReadWholeFile(stream, 0, "-", true);
            EXPECT_EQ(std::string(got.data.get(), got.size), c.bytes) << c.what;
            EXPECT_EQ(got.data[got.size], '\0') << c.what;
            EXPECT_GE(got.capacity, got.size + 1 + kTextPadding) << c.what;
        } catch (const TFileOpenError& e) {
            EXPECT_EQ(std::string(c.what), "a read fails");
            EXPECT_EQ(e.Facts().kind, TFailureKind::FileRead) << c.what;
        }
    }
}

}  // namespace
}  // namespace titles
