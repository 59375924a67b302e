#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "phrase/errors.h"
#include "phrase/grammar.h"
#include "phrase/word_list.h"

namespace titles {
namespace {

std::vector<std::string> Entries(const TWordList& list) {
    std::vector<std::string> out;
    for (std::int32_t i = 0; i < list.WordCount(); ++i) out.emplace_back(list.WordAt(i));
    return out;
}

using Words = std::vector<std::string>;

struct LineCase {
    std::string text;
    Words entries;
};

// Names a case by its text, escaped, so that failures read well.
void PrintTo(const LineCase& c, std::ostream* os) { *os << ::testing::PrintToString(c.text); }

class AssignTextLines : public ::testing::TestWithParam<LineCase> {};

TEST_P(AssignTextLines, SplitsExactly) {
    TWordList list;
    list.AppendWord("stale");
    list.AssignText(GetParam().text);
    EXPECT_EQ(Entries(list), GetParam().entries);
    // Each entry knows from the split whether it ends in "ing".
    std::int32_t gerunds = 0;
    for (std::int32_t i = 0; i < list.WordCount(); ++i) {
        EXPECT_EQ(list.IsGerundAt(i), EndsWithGerund(list.WordAt(i))) << i;
        gerunds += list.IsGerundAt(i) ? 1 : 0;
    }
    EXPECT_EQ(list.GerundCount(), gerunds);
}

using namespace std::string_literals;
INSTANTIATE_TEST_SUITE_P(
    LineRules, AssignTextLines,
    ::testing::Values(
        LineCase{"abc\r\ndef\r\n", {"abc", "def"}},
        LineCase{"abc\ndef", {"abc", "def"}},
        LineCase{"abc\rdef", {"abc", "def"}},
        LineCase{"abc\r\n\r\ndef", {"abc", "", "def"}},
        LineCase{"abc\n\rdef", {"abc", "", "def"}},
        LineCase{"abc\r\r\ndef", {"abc", "", "def"}},
        LineCase{"abc", {"abc"}},
        LineCase{"\r\nabc", {"", "abc"}},
        LineCase{"\r\n", {""}},
        LineCase{"", {}},
        LineCase{"abc\0def\r\nghi"s, {"abc"}},
        LineCase{"\0abc"s, {}},
        LineCase{"  abc\t", {"  abc\t"}},
        LineCase{"abc\r\nabc", {"abc", "abc"}},
        LineCase{"\xEF\xBB\xBFword\n", {"\xEF\xBB\xBFword"}},
        LineCase{"a\x1a\f\x7f\xff\n", {"a\x1a\f\x7f\xff"}},
        LineCase{"w\0o\0r\0d\0"s, {"w"}},             // UTF-16 little-endian stops early
        LineCase{"\n\n\n", {"", "", ""}},
        LineCase{"\r\r", {"", ""}},
        // Bytes just below a line end or the end are no line ends: taken
        // for one, they once made a scanner cut lines short.
        LineCase{"a\x0b\nb\x0c\rc\x01", {"a\x0b", "b\x0c", "c\x01"}},
        LineCase{"\x0e\x0b\x0c\x01\x09\x11\x8a\x8d\r\n\x01", {"\x0e\x0b\x0c\x01\x09\x11\x8a\x8d", "\x01"}},
        LineCase{"Running\nin\ning\nsing \nING\nRunning", {"Running", "in", "ing", "sing ", "ING", "Running"}},
        // Entries longer than the scanner's word size, line ends on every offset.
        LineCase{"0123456789abcdef\n0123456\r\n01234567\r", {"0123456789abcdef", "0123456", "01234567"}}));

TEST(WordList, AppendAndIndexErrors) {
    TWordList list;
    EXPECT_EQ(list.WordCount(), 0);
    EXPECT_EQ(list.AppendWord("one"), 0);
    EXPECT_EQ(list.AppendWord(""), 1);
    EXPECT_EQ(list.AppendWord("three"), 2);
    EXPECT_EQ(Entries(list), (Words{"one", "", "three"}));

    for (const std::int32_t index : {-1, 3, 2147483647}) {
        try {
            (void)list.WordAt(index);
            ADD_FAILURE() << "no error for index " << index;
        } catch (const TListIndexError& e) {
            EXPECT_EQ(e.Facts().kind, TFailureKind::ListIndex);
            EXPECT_EQ(e.Facts().index, index);
        }
    }
    list.ClearWords();
    EXPECT_EQ(list.WordCount(), 0);
    EXPECT_THROW((void)list.WordAt(0), TListIndexError);
}

TEST(WordList, AppendAfterAssignKeepsEarlierEntries) {
    TWordList list;
    list.AssignText("alpha\nbeta\n");
    for (int i = 0; i < 1000; ++i) list.AppendWord("w" + std::to_string(i));
    ASSERT_EQ(list.WordCount(), 1002);
    EXPECT_EQ(list.WordAt(0), "alpha");
    EXPECT_EQ(list.WordAt(1), "beta");
    EXPECT_EQ(list.WordAt(1001), "w999");
}

}  // namespace
}  // namespace titles

namespace titles {
namespace {

// Entries of every length up to 40 bytes, after line ends of every kind, so
// that each entry moves down over a different gap in the text buffer.
TEST(WordList, EntriesOfEveryLengthSurviveTheSplit) {
    const char* const ends[] = {"\n", "\r\n", "\r", "\n\r\n"};
    std::string text;
    std::vector<std::string> expected;
    for (std::size_t len = 0; len <= 40; ++len) {
        std::string entry;
        for (std::size_t i = 0; i < len; ++i) entry += static_cast<char>('a' + (len + i) % 26);
        text += entry;
        text += ends[len % 4];
        expected.push_back(entry);
        if (len % 4 == 3) expected.emplace_back();  // LF CR LF: an empty line between
    }
    TWordList list;
    list.AssignText(text);
    EXPECT_EQ(Entries(list), expected);
}

}  // namespace
}  // namespace titles
