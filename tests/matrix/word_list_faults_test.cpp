// Faults a file-level test cannot stage from outside the process: the word
// file changing between being sized and being read (a byte source that
// delivers other bytes than the size claimed), and lists reused after being
// moved from.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "phrase/word_file.h"
#include "phrase/word_list.h"
#include "support/test_support.h"

namespace titles {
namespace {


// A file that was sized at claimed bytes and now delivers bytes.
class TChangedFile final : public TByteSource {
public:
    explicit TChangedFile(std::string bytes) : bytes_(std::move(bytes)) {}
    std::int64_t ReadSome(char* dst, std::size_t max) override {
        const std::size_t n = std::min(max, bytes_.size() - at_);
        std::memcpy(dst, bytes_.data() + at_, n);
        at_ += n;
        return static_cast<std::int64_t>(n);
    }

private:
    std::string bytes_;
    std::size_t at_ = 0;
};

std::vector<std::string> EntriesOf(const TWordList& list) {
    std::vector<std::string> entries;
    for (std::int32_t i = 0; i < list.WordCount(); ++i) entries.emplace_back(list.WordAt(i));
    return entries;
}

TEST(WordFileChangingWhileRead, TheBytesDeliveredCount) {
    struct Case {
        const char* what;
        std::uint64_t claimed;
        std::string delivered;
        std::vector<std::string> entries;
    };
    const Case cases[] = {
        {"cut to nothing", 14, "", {}},
        {"cut between CR and LF", 14, "Dark\r", {"Dark"}},
        {"cut inside a word", 14, "Dark\r\nSil", {"Dark", "Sil"}},
        {"grows after sizing: read to its end", 5, "Dark\nSilent\nGolden\n", {"Dark", "Silent", "Golden"}},
    };
    for (const auto& c : cases) {
        TChangedFile file(c.delivered);
        TWordList list;
        list.AppendWord("old");
        EXPECT_NO_THROW(list.AssignText(ReadWholeFile(file, c.claimed, "words.txt"), "words.txt")) << c.what;
        EXPECT_EQ(EntriesOf(list), c.entries) << c.what;
        EXPECT_EQ(list.SourceName(), "words.txt") << c.what;
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
