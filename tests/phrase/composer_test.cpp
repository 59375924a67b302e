#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "phrase/composer.h"
#include "phrase/errors.h"
#include "phrase/random_source.h"
#include "support/reference_composition.h"
#include "support/test_support.h"

namespace titles {
namespace {

using namespace std::chrono_literals;

TWordList ListOf(std::initializer_list<std::string_view> words) {
    TWordList list;
    for (const auto w : words) list.AppendWord(w);
    return list;
}

TEST(ComposePhrase, WorkedExampleWithSeeds) {
    const TWordList adjectives = ListOf({"Dark", "Silent", "Golden", "Broken"});
    const TWordList nouns = ListOf({"Running", "Castle", "Dragon", "Falling", "Star", "Moon", "Sword"});
    const std::pair<std::string_view, std::uint32_t> expected[] = {
        {"Dark Castle Star", 1368768587u},
        {"Silent Running", 2039224980u},
        {"Broken Dragon of Silent Moon and Castle", 698472713u},
        {"Silent Moon", 1198422506u},
        {"Dark Dragon and Sword", 2115391597u},
        {"Running using Dark Star Moon for Golden Sword", 4103653339u},
        {"Broken Star", 1270000484u},
        {"Broken Sword of Golden Running", 32674050u},
        {"Broken Moon Castle for Golden Running", 402196751u},
        {"Silent Castle Falling using Star", 2477317715u},
        {"Silent Star for Running", 256761112u},
        {"Broken Dragon and Falling of Moon and Running", 607289132u},
        {"Dark Castle using Silent Moon", 3595263626u},
        {"Silent Star and Dragon", 2055905421u},
        {"Broken Falling Moon", 1768055095u},
        {"Golden Star Falling", 1733689846u},
        {"Dark Star Sword for Silent Moon and Falling", 2147480339u},
        {"Dark Sword", 1567333884u},
        {"Broken Running", 437805113u},
        {"Falling for Dark Running Dragon of Sword", 3868194461u},
    };
    RandomSeed = 0;
    int row = 1;
    for (const auto& [phrase, seed] : expected) {
        EXPECT_EQ(ComposePhrase(adjectives, nouns), phrase) << "row " << row;
        EXPECT_EQ(RandomSeed, seed) << "row " << row;
        ++row;
    }
}

std::vector<std::string> WordsOf(const TWordList& list) {
    std::vector<std::string> words;
    for (std::int32_t i = 0; i < list.WordCount(); ++i) words.emplace_back(list.WordAt(i));
    return words;
}

TEST(ComposePhrase, DrawsExactlyLikeTheFlagPerEntryComposition) {
    test_support::TWatchdog watchdog(60s, "comparison with the reference composition");
    std::mt19937 gen(12345);
    const std::string pool[] = {"Running", "Castle", "ing", "", " Spring ", "Moon", "RUNNING", "Falling",
                                "in", "Sword", "Sing", "Castle"};
    for (int trial = 0; trial < 300; ++trial) {
        // Lists at or above the limits: 2+ adjectives, 5+ nouns, one ending in "ing".
        TWordList adjectives;
        TWordList nouns;
        const int adjCount = 2 + static_cast<int>(gen() % 6);
        const int nounCount = 5 + static_cast<int>(gen() % 10);
        for (int i = 0; i < adjCount; ++i) adjectives.AppendWord(pool[gen() % std::size(pool)]);
        nouns.AppendWord("Ending");
        for (int i = 1; i < nounCount; ++i) nouns.AppendWord(pool[gen() % std::size(pool)]);
        const std::vector<std::string> adjectiveWords = WordsOf(adjectives);
        const std::vector<std::string> nounWords = WordsOf(nouns);
        test_support::TReferenceComposition reference(adjectiveWords, nounWords, 1000000);
        const std::uint32_t start = static_cast<std::uint32_t>(gen());
        for (int i = 0; i < 50; ++i) {
            RandomSeed = start + static_cast<std::uint32_t>(i) * 7919u;
            const std::optional<std::string> expected = reference.Compose();
            ASSERT_TRUE(expected) << "lists at the limits always compose";
            const std::uint32_t seedAfter = RandomSeed;
            RandomSeed = start + static_cast<std::uint32_t>(i) * 7919u;
            ASSERT_EQ(ComposePhrase(adjectives, nouns), *expected) << "trial " << trial;
            ASSERT_EQ(RandomSeed, seedAfter) << "trial " << trial;
        }
    }
}

TEST(ComposePhrase, SecondConnectorDiffersFromTheFirst) {
    const TWordList adjectives = ListOf({"A", "B"});
    const TWordList nouns = ListOf({"Xing", "N1", "N2", "N3", "N4"});
    RandomSeed = 99;
    int pairs = 0;
    for (int i = 0; i < 20000; ++i) {
        const std::string phrase = ComposePhrase(adjectives, nouns);
        std::vector<std::string> connectors;
        std::size_t pos = 0;
        while (pos <= phrase.size()) {
            const std::size_t next = std::min(phrase.find(' ', pos), phrase.size());
            const std::string word = phrase.substr(pos, next - pos);
            if (word == "using" || word == "of" || word == "for") connectors.push_back(word);
            pos = next + 1;
        }
        ASSERT_LE(connectors.size(), 2u) << phrase;
        if (connectors.size() == 2) {
            ASSERT_NE(connectors[0], connectors[1]) << phrase;
            ++pairs;
        }
    }
    EXPECT_GT(pairs, 1000) << "an opening with a second clause should come in about one phrase in eight";
}

struct SmallListCase {
    const char* name;
    std::vector<std::string_view> adjectives;
    std::vector<std::string_view> nouns;
    TFailureKind kind;
    std::string file;  // the list's file, for a list that is too small
};

void PrintTo(const SmallListCase& c, std::ostream* os) { *os << c.name; }

class TooSmallLists : public ::testing::TestWithParam<SmallListCase> {};

// Lists below the limits never hang: each composition either completes or
// raises a failure naming the file and what it lacks.
TEST_P(TooSmallLists, FailClearlyInsteadOfDrawingForever) {
    const auto& c = GetParam();
    TWordList adjectives;
    TWordList nouns;
    for (auto w : c.adjectives) adjectives.AppendWord(w);
    for (auto w : c.nouns) nouns.AppendWord(w);
    test_support::TWatchdog watchdog(20s, c.name);
    RandomSeed = 0;
    int failures = 0;
    for (int i = 0; i < 2000; ++i) {
        try {
            (void)ComposePhrase(adjectives, nouns);
        } catch (const TFailure& e) {
            EXPECT_EQ(e.Facts().kind, c.kind);
            EXPECT_EQ(e.Facts().name, c.file);
            EXPECT_EQ(e.Facts().index, 0);
            ++failures;
        }
    }
    EXPECT_GT(failures, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Guards, TooSmallLists,
    ::testing::Values(
        SmallListCase{"no adjectives", {}, {"Aing", "B", "C", "D", "E"}, TFailureKind::ListIndex, ""},
        SmallListCase{"no nouns", {"A", "B"}, {}, TFailureKind::ListIndex, ""},
        SmallListCase{"one adjective", {"A"}, {"Aing", "B", "C", "D", "E"}, TFailureKind::NoFreeEntry,
                      "adjectives.txt"},
        SmallListCase{"two nouns", {"A", "B"}, {"Xing", "Y"}, TFailureKind::NoFreeEntry, "nouns.txt"},
        SmallListCase{"no gerund", {"A", "B"}, {"N1", "N2", "N3", "N4", "N5"}, TFailureKind::NoGerund,
                      "nouns.txt"}),
    [](const auto& param) {
        std::string name = param.param.name;
        for (auto& ch : name) ch = ch == ' ' ? '_' : ch;
        return name;
    });

TEST(ComposePhrase, TooSmallFailureNamesTheLoadedFile) {
    test_support::TTempDir dir;
    TWordList adjectives = ListOf({"A", "B"});
    TWordList nouns;
    const auto path = dir.Write("my-nouns.txt", "N1\nN2\nN3\nN4\nN5\n");
    nouns.LoadWordFile(path);
    test_support::TWatchdog watchdog(10s, "gerund guard");
    RandomSeed = 0;
    std::optional<TFailureFacts> facts;
    for (int i = 0; i < 100 && !facts; ++i) {
        try {
            (void)ComposePhrase(adjectives, nouns);
        } catch (const TListTooSmallError& e) {
            facts = e.Facts();
        }
    }
    ASSERT_TRUE(facts);
    EXPECT_EQ(facts->kind, TFailureKind::NoGerund);
    EXPECT_EQ(facts->name, path);
}

TEST(ComposePhrase, MinimalListsAlwaysComplete) {
    const TWordList adjectives = ListOf({"A", "B"});
    const TWordList nouns = ListOf({"N1", "N2", "Ning", "N4", "N5"});
    test_support::TWatchdog watchdog(30s, "minimal lists");
    RandomSeed = 0;
    for (int i = 0; i < 100000; ++i) ASSERT_NO_THROW((void)ComposePhrase(adjectives, nouns));
}

TEST(EndsWithGerund, ComparesTheLastThreeBytesExactly) {
    EXPECT_TRUE(EndsWithGerund("Running"));
    EXPECT_TRUE(EndsWithGerund("ing"));
    EXPECT_FALSE(EndsWithGerund("RUNNING"));
    EXPECT_FALSE(EndsWithGerund("in"));
    EXPECT_FALSE(EndsWithGerund("ng"));
    EXPECT_FALSE(EndsWithGerund(""));
    EXPECT_FALSE(EndsWithGerund("Spring "));
}

}  // namespace
}  // namespace titles
