// Faults a file-level test cannot stage from outside the process: the word
// file changing between being sized and being read, and lists reused after
// being moved from.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <utility>

#include "phrase/word_file.h"
#include "phrase/word_list.h"
#include "support/test_support.h"

namespace titles {
namespace {

using test_support::TTempDir;

// The sized hook is a plain function; these say what it does to the file.
std::uintmax_t gCutTo = 0;
std::string gAppend;

void ChangeOnSizing(const std::string& fileName) {
    if (!gAppend.empty()) {
        std::ofstream(fileName, std::ios::binary | std::ios::app) << gAppend;
    } else {
        std::filesystem::resize_file(fileName, gCutTo);
    }
}

std::vector<std::string> EntriesOf(const TWordList& list) {
    std::vector<std::string> entries;
    for (std::int32_t i = 0; i < list.WordCount(); ++i) entries.emplace_back(list.WordAt(i));
    return entries;
}

TEST(WordFileChangingWhileRead, TheBytesDeliveredCount) {
    struct Case {
        const char* what;
        std::string bytes;
        std::uintmax_t cutTo;
        std::string append;
        std::vector<std::string> entries;
    };
    const Case cases[] = {
        {"cut to nothing", "Dark\r\nSilent\r\n", 0, "", {}},
        {"cut between CR and LF", "Dark\r\nSilent\r\n", 5, "", {"Dark"}},
        {"cut inside a word", "Dark\r\nSilent\r\n", 9, "", {"Dark", "Sil"}},
        {"grows after sizing: read to its end", "Dark\n", 0, "Silent\nGolden\n", {"Dark", "Silent", "Golden"}},
    };
    TTempDir dir;
    for (const auto& c : cases) {
        const auto path = dir.Write("words.txt", c.bytes);
        gCutTo = c.cutTo;
        gAppend = c.append;
        SetWordFileSizedHook(&ChangeOnSizing);
        TWordList list;
        list.AppendWord("old");
        EXPECT_NO_THROW(list.LoadWordFile(path)) << c.what;
        SetWordFileSizedHook(nullptr);
        EXPECT_EQ(EntriesOf(list), c.entries) << c.what;
        EXPECT_EQ(list.SourceName(), path) << c.what;
    }
}

// A list that was moved from must be usable again: appending to it once
// wrote through a null buffer, since only the buffer moved while its size
// stayed behind. Run in a child so that a crash fails one test only.
TEST(MovedFromWordList, AcceptsNewEntries) {
    EXPECT_EXIT(
        {
            TWordList a;
            a.AppendWord("Dark");
            TWordList b(std::move(a));
            TWordList c;
            c.AppendWord("Golden");
            TWordList d;
            d = std::move(c);
            a.AppendWord("Silent");
            c.AppendWord("Broken");
            const bool ok = EntriesOf(a) == std::vector<std::string>{"Silent"} &&
                            EntriesOf(b) == std::vector<std::string>{"Dark"} &&
                            EntriesOf(c) == std::vector<std::string>{"Broken"} &&
                            EntriesOf(d) == std::vector<std::string>{"Golden"};
            std::_Exit(ok ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

// Moving a list onto itself (std::swap of a list with itself does) keeps
// it consistent: what is appended afterwards reads back unchanged.
TEST(MovedFromWordList, SelfMoveKeepsTheListConsistent) {
    TWordList a;
    a.AppendWord("Dark");
    TWordList& alias = a;
    a = std::move(alias);
    const std::int32_t index = a.AppendWord("Silent");
    ASSERT_EQ(index, a.WordCount() - 1);
    EXPECT_EQ(a.WordAt(index), "Silent");
    for (std::int32_t i = 0; i < a.WordCount(); ++i) EXPECT_NE(a.WordAt(i), "DarkSilent");
}

}  // namespace
}  // namespace titles
