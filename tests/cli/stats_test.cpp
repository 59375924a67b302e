#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "cli/stats.h"
#include "cli/stats_report.h"
#include "phrase/composer.h"
#include "phrase/random_source.h"

namespace titles::cli {
namespace {

// ---- Brute force ----------------------------------------------------------
//
// Walks every sequence of choices the composer can make on the given lists,
// by entry position, and tallies the complete ones per shape (and, when
// asked, the text each one gives).
class TEnumerator {
public:
    TEnumerator(std::vector<std::string> adjectives, std::vector<std::string> nouns, bool keepTexts)
        : adj_(std::move(adjectives)), nouns_(std::move(nouns)), keepTexts_(keepTexts) {}

    void Run() {
        // No opening.
        Adjective(TShape{}, "", -1, {});
        // Opening gerund with each connector.
        for (std::size_t g = 0; g < nouns_.size(); ++g) {
            if (!EndsWithGerund(nouns_[g])) continue;
            for (int c = 0; c < 3; ++c) {
                TShape shape;
                shape.opening = true;
                Adjective(shape, Text({nouns_[g], " ", kConnectorWords[static_cast<std::size_t>(c)], " "}), c, {g});
            }
        }
        for (const bool opening : {false, true}) {
            for (const int first : {1, 2}) {
                for (const int second : {0, 1, 2}) {
                    for (const bool adjective : {false, true}) {
                        const std::uint64_t n = tally_[opening][first - 1][second][adjective];
                        if (n > 0) perShape[ShapeName({opening, first, second, adjective})] = n;
                    }
                }
            }
        }
    }

    std::map<std::string, std::uint64_t> perShape;
    std::uint64_t total = 0;
    std::map<std::string, std::string> shapeOfText;  // when keeping texts

private:
    using Used = std::vector<std::size_t>;
    static bool Has(const Used& used, std::size_t k) {
        return std::find(used.begin(), used.end(), k) != used.end();
    }

    void Adjective(TShape shape, const std::string& text, int connector, const Used& nounsUsed) {
        for (std::size_t a = 0; a < adj_.size(); ++a) {
            const std::string withAdjective = Text({text, adj_[a], " "});
            for (std::size_t n1 = 0; n1 < nouns_.size(); ++n1) {
                if (Has(nounsUsed, n1)) continue;
                Used used = nounsUsed;
                used.push_back(n1);
                shape.firstGroup = 1;
                SecondClause(shape, Text({withAdjective, nouns_[n1]}), connector, a, used);
                const std::vector<std::string> separators =
                    EndsWithGerund(nouns_[n1]) ? std::vector<std::string>{" "} : std::vector<std::string>{" and ", " "};
                for (const auto& sep : separators) {
                    for (std::size_t n2 = 0; n2 < nouns_.size(); ++n2) {
                        if (Has(used, n2)) continue;
                        Used both = used;
                        both.push_back(n2);
                        shape.firstGroup = 2;
                        SecondClause(shape, Text({withAdjective, nouns_[n1], sep, nouns_[n2]}), connector, a, both);
                    }
                }
            }
        }
    }

    void SecondClause(TShape shape, const std::string& text, int firstConnector, std::size_t firstAdjective,
                      const Used& used) {
        shape.secondGroup = 0;
        shape.secondAdjective = false;
        Record(shape, text);
        for (int c = 0; c < 3; ++c) {
            if (c == firstConnector) continue;
            const std::string withConnector = Text({text, " ", kConnectorWords[static_cast<std::size_t>(c)], " "});
            shape.secondAdjective = false;
            SecondGroup(shape, withConnector, used);
            shape.secondAdjective = true;
            for (std::size_t a = 0; a < adj_.size(); ++a) {
                if (a != firstAdjective) SecondGroup(shape, Text({withConnector, adj_[a], " "}), used);
            }
        }
    }

    void SecondGroup(TShape shape, const std::string& text, const Used& used) {
        for (std::size_t n1 = 0; n1 < nouns_.size(); ++n1) {
            if (Has(used, n1)) continue;
            shape.secondGroup = 1;
            Record(shape, Text({text, nouns_[n1]}));
            for (std::size_t n2 = 0; n2 < nouns_.size(); ++n2) {
                if (n2 == n1 || Has(used, n2)) continue;
                shape.secondGroup = 2;
                Record(shape, Text({text, nouns_[n1], " and ", nouns_[n2]}));
            }
        }
    }

    // The text so far, built only when texts are kept: counting alone is
    // many times faster without it.
    std::string Text(std::initializer_list<std::string_view> parts) const {
        std::string text;
        if (keepTexts_) {
            for (const auto part : parts) text += part;
        }
        return text;
    }

    void Record(const TShape& shape, const std::string& text) {
        ++tally_[shape.opening][shape.firstGroup - 1][shape.secondGroup][shape.secondAdjective];
        ++total;
        if (keepTexts_) shapeOfText[text] = ShapeName(shape);
    }

    std::vector<std::string> adj_;
    std::vector<std::string> nouns_;
    bool keepTexts_;
    std::uint64_t tally_[2][2][3][2] = {};  // opening, first group - 1, second group, second adjective
};

TListCounts CountsOfVectors(const std::vector<std::string>& adjectives, const std::vector<std::string>& nouns) {
    TWordList a;
    TWordList n;
    for (const auto& w : adjectives) a.AppendWord(w);
    for (const auto& w : nouns) n.AppendWord(w);
    return CountsOf(a, n);
}

// Lists of the given sizes. Nouns: `gerunds` ending in "ing" first, then
// plain ones; some words repeat, which must not change the count, and some
// look like gerunds but are not ("RUNNING", "Sing " with a space).
std::vector<std::string> Adjectives(int count) {
    const std::string pool[] = {"Dark", "Dark", "Silent", "Golden"};
    return {pool, pool + count};
}
std::vector<std::string> Nouns(int count, int gerunds) {
    const std::string gerundPool[] = {"Running", "Running", "ing", "Falling", "Sing", "Xing", "Ping"};
    const std::string plainPool[] = {"Castle", "RUNNING", "Castle", "Sing ", "", "Moon", "in"};
    std::vector<std::string> list(gerundPool, gerundPool + gerunds);
    list.insert(list.end(), plainPool, plainPool + (count - gerunds));
    return list;
}

TEST(Stats, CountsMatchEnumerationOnSmallLists) {
    int cases = 0;
    for (int a = 0; a <= 3; ++a) {
        for (int n = 0; n <= 7; ++n) {
            for (int g = 0; g <= n; ++g) {
                const auto adjectives = Adjectives(a);
                const auto nouns = Nouns(n, g);
                TEnumerator brute(adjectives, nouns, false);
                brute.Run();
                const TStats stats = ComputeStats(CountsOfVectors(adjectives, nouns));
                const std::string where =
                    "adjectives " + std::to_string(a) + ", nouns " + std::to_string(n) + ", gerunds " + std::to_string(g);
                ASSERT_EQ(stats.counts.gerunds, g) << where;
                EXPECT_EQ(stats.total.ToDecimal(), std::to_string(brute.total)) << where;
                ASSERT_EQ(stats.shapes.size(), 20u);
                std::set<std::string> names;
                for (const auto& s : stats.shapes) {
                    const std::string name = ShapeName(s.shape);
                    names.insert(name);
                    const std::uint64_t expected = brute.perShape.count(name) ? brute.perShape.at(name) : 0;
                    EXPECT_EQ(s.compositions.ToDecimal(), std::to_string(expected)) << where << ", " << name;
                    // A shape completes exactly when some composition of it exists.
                    EXPECT_EQ(s.completes, expected > 0) << where << ", " << name;
                    EXPECT_EQ(s.completes, s.reason.empty()) << where << ", " << name;
                }
                EXPECT_EQ(names.size(), 20u);
                EXPECT_EQ(stats.AllComplete(), a >= 2 && n >= 5 && g >= 1) << where;
                ++cases;
            }
        }
    }
    EXPECT_EQ(cases, 4 * 36);
}

TEST(Stats, ExampleListsAndTheirShapes) {
    const std::vector<std::string> adjectives = {"Dark", "Silent", "Golden", "Broken"};
    const std::vector<std::string> nouns = {"Running", "Castle", "Dragon", "Falling", "Star", "Moon", "Sword"};
    TEnumerator brute(adjectives, nouns, false);
    brute.Run();
    const TStats stats = ComputeStats(CountsOfVectors(adjectives, nouns));
    EXPECT_EQ(brute.total, 298036u);
    EXPECT_EQ(stats.total.ToDecimal(), "298036");
    // Hand-checked: 4 adjectives x 7 nouns; then x 3 connectors x 6 nouns.
    EXPECT_EQ(stats.shapes[0].compositions.ToDecimal(), "28");
    EXPECT_EQ(stats.shapes[1].compositions.ToDecimal(), "504");
    EXPECT_TRUE(stats.AllComplete());
    EXPECT_EQ(stats.failureProbability, 0.0);
}

TEST(Stats, ReasonsNameWhatIsMissing) {
    const TStats stats = ComputeStats({1, 3, 0});
    std::map<std::string, std::string> reasons;
    for (const auto& s : stats.shapes) reasons[ShapeName(s.shape)] = s.reason;
    EXPECT_EQ(reasons["A N"], "");
    EXPECT_EQ(reasons["A N N c N"], "");
    EXPECT_EQ(reasons["A N c A N"], "needs 2 adjectives, the list has 1");
    EXPECT_EQ(reasons["A N N c N and N"], "needs 4 nouns, the list has 3");
    EXPECT_EQ(reasons["G c A N"], "needs a noun ending in \"ing\", the list has none");
    EXPECT_EQ(reasons["G c A N N c A N and N"],
              "needs 2 adjectives, the list has 1; needs 5 nouns, the list has 3; "
              "needs a noun ending in \"ing\", the list has none");
    // Failing: every opening, every second adjective, every pair after a pair.
    double failing = 0;
    for (const auto& s : stats.shapes) {
        if (s.shape.opening || s.shape.secondAdjective || s.shape.firstGroup + s.shape.secondGroup > 3) {
            failing += s.probability;
        }
    }
    EXPECT_DOUBLE_EQ(stats.failureProbability, failing);
    EXPECT_FALSE(stats.AllComplete());
}

TEST(Stats, ShapeProbabilitiesFollowTheThresholds) {
    const TStats stats = ComputeStats({4, 7, 2});
    double sum = 0;
    for (const auto& s : stats.shapes) sum += s.probability;
    EXPECT_NEAR(sum, 1.0, 1e-15);
    // "A N": no opening (seeds up to 0xC0000000), one noun, no second clause
    // (seeds up to 0x80000000).
    const double none = 3221225473.0 / 4294967296.0;
    const double noSecond = 2147483649.0 / 4294967296.0;
    EXPECT_DOUBLE_EQ(stats.shapes[0].probability, none * 0.5 * noSecond);
    EXPECT_DOUBLE_EQ(kOpeningProbability, 0.24999999976716935634613037109375);
    EXPECT_DOUBLE_EQ(stats.andWithoutOpening, 5.0 / 7.0 * kEvenProbability);
    EXPECT_DOUBLE_EQ(stats.andAfterOpening, 5.0 / 6.0 * kEvenProbability);
}

TEST(StatsReport, TextColumnsLineUpAtAnySize) {
    const std::int64_t max = 2147483647;
    for (const TListCounts counts : {TListCounts{4, 7, 2}, TListCounts{1, 3, 0}, TListCounts{max, max, max}}) {
        const std::string text = FormatStatsText(ComputeStats(counts), "a.txt", "n.txt");
        std::istringstream lines(text.substr(text.find("\nShape ") + 1));
        std::string header;
        std::getline(lines, header);
        const std::size_t countEnd = header.find("Compositions") + std::string("Compositions").size();
        int rows = 0;
        for (std::string line; std::getline(lines, line) && !line.empty();) {
            ASSERT_GT(line.size(), countEnd);
            // Digits end right under the header's end, with a gap before them.
            EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(line[countEnd - 1]))) << line;
            EXPECT_EQ(line[countEnd], ' ') << line;
            const std::size_t digitsStart = line.find_last_not_of("0123456789", countEnd - 1) + 1;
            EXPECT_EQ(line.compare(digitsStart - 2, 2, "  "), 0) << line;
            ++rows;
        }
        EXPECT_EQ(rows, 21);
    }
}

TEST(StatsReport, SizeOfTheCountInWords) {
    const auto firstLine = [](const TListCounts& c) {
        const std::string text = FormatStatsText(ComputeStats(c), "a", "n");
        const std::size_t at = text.find("Compositions: ");
        return text.substr(at, text.find('\n', at) - at);
    };
    EXPECT_EQ(firstLine({4, 7, 2}), "Compositions: 298036");
    // By hand: 40 x (7 x 4321 + 6 x 12 x 3001) + 3 x 2 x 40 x (6 x 2001 + 5 x 11 x 1281).
    EXPECT_EQ(firstLine({40, 7, 2}), "Compositions: 29643400 (about 3.0 x 10^7)");
    EXPECT_EQ(firstLine({0, 7, 2}), "Compositions: 0");
    EXPECT_EQ(firstLine({541, 1346, 148}), "Compositions: 1608217787026741710188 (about 1.6 x 10^21)");
    // However many compositions, the titles are bounded by the random states.
    const std::string text = FormatStatsText(ComputeStats({541, 1346, 148}), "a", "n");
    EXPECT_NE(text.find("\nDistinct titles: at most 4294967296\n"), std::string::npos) << text;
    const std::string json = FormatStatsJson(ComputeStats({541, 1346, 148}), "a", "n");
    EXPECT_NE(json.find("\n  \"distinct_titles_at_most\": \"4294967296\",\n"), std::string::npos) << json;
}

TEST(StatsReport, JsonMarksShapesThatCannotComplete) {
    const std::string json = FormatStatsJson(ComputeStats({1, 3, 0}), "a.txt", "n.txt");
    EXPECT_NE(json.find("\"all_complete\": false"), std::string::npos);
    EXPECT_NE(json.find("{\"shape\": \"A N\", \"opening\": false, \"first_group\": 1, \"second_clause\": false, "
                        "\"second_adjective\": false, \"second_group\": 0, \"compositions\": \"3\", "),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("{\"shape\": \"G c A N\", \"opening\": true, \"first_group\": 1, \"second_clause\": false, "
                        "\"second_adjective\": false, \"second_group\": 0, \"compositions\": \"0\", \"probability\": "
                        "0.06249999997089617, \"completes\": false, "
                        "\"reason\": \"needs a noun ending in \\\"ing\\\", the list has none\"}"),
              std::string::npos)
        << json;
}

// The enumeration is only as good as its model of the composer: on lists
// whose words give every composition a different text, the real composer,
// run long enough, produces exactly the enumerated texts, and each shape
// about as often as its computed probability says.
TEST(Stats, EnumerationAgreesWithTheComposer) {
    const std::vector<std::string> adjectives = {"Dark", "Silent"};
    const std::vector<std::string> nouns = {"Running", "Castle", "Dragon", "Star", "Moon"};
    TEnumerator brute(adjectives, nouns, true);
    brute.Run();
    ASSERT_EQ(brute.shapeOfText.size(), brute.total) << "texts should be distinct on these lists";
    const TStats stats = ComputeStats(CountsOfVectors(adjectives, nouns));
    ASSERT_EQ(stats.total.ToDecimal(), std::to_string(brute.total));

    TWordList a;
    TWordList n;
    for (const auto& w : adjectives) a.AppendWord(w);
    for (const auto& w : nouns) n.AppendWord(w);
    RandomSeed = 20240601u;
    constexpr int kRuns = 1000000;
    std::set<std::string> seen;
    std::map<std::string, int> shapeRuns;
    int pairs = 0;
    int andPairs = 0;
    for (int i = 0; i < kRuns; ++i) {
        const std::string text = ComposePhrase(a, n);
        const auto it = brute.shapeOfText.find(text);
        ASSERT_NE(it, brute.shapeOfText.end()) << "not enumerated: " << text;
        seen.insert(text);
        ++shapeRuns[it->second];
        if (it->second.rfind("A N N", 0) == 0) {  // a first-group pair, no opening
            ++pairs;
            const std::size_t firstNounEnd = text.find(' ', text.find(' ') + 1);
            if (text.compare(firstNounEnd, 5, " and ") == 0) ++andPairs;
        }
    }
    EXPECT_EQ(seen.size(), brute.shapeOfText.size()) << "some enumerated texts never came up";
    for (const auto& s : stats.shapes) {
        const double observed = shapeRuns[ShapeName(s.shape)] / static_cast<double>(kRuns);
        EXPECT_NEAR(observed, s.probability, 0.002) << ShapeName(s.shape);
    }
    EXPECT_NEAR(andPairs / static_cast<double>(pairs), stats.andWithoutOpening, 0.005);
}

// ---- Big counts -------------------------------------------------------------

std::uint64_t DecimalMod(const std::string& digits, std::uint64_t m) {
    std::uint64_t r = 0;
    for (const char d : digits) r = (r * 10 + static_cast<std::uint64_t>(d - '0')) % m;
    return r;
}

TEST(BigCount, ArithmeticAcrossLimbs) {
    struct Case {
        TBigCount value;
        const char* decimal;
    };
    const std::uint64_t max64 = ~std::uint64_t{0};
    const Case cases[] = {
        {TBigCount(), "0"},
        {TBigCount(0) * 12345, "0"},
        {TBigCount(1), "1"},
        {TBigCount(4294967295u) + TBigCount(1), "4294967296"},
        {TBigCount(max64), "18446744073709551615"},
        {TBigCount(max64) + TBigCount(1), "18446744073709551616"},
        {TBigCount(max64) * max64, "340282366920938463426481119284349108225"},
        {TBigCount(1000000000000000000u) * 1000000000000000000u, "1000000000000000000000000000000000000"},
        {TBigCount(1000000000u) * 1000000000u * 1000000000u * 1000000000u + TBigCount(7),
         "1000000000000000000000000000000000007"},
        {TBigCount(123456789u) * 0, "0"},
        {TBigCount(3) * 4294967296u, "12884901888"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.value.ToDecimal(), c.decimal);
    EXPECT_TRUE((TBigCount(max64) * 0).IsZero());
    EXPECT_EQ(TBigCount(max64) * 2, TBigCount(max64) + TBigCount(max64));
    EXPECT_DOUBLE_EQ((TBigCount(max64) * max64).ToDouble(), 3.402823669209385e38);
}

// The closed form of the whole count, evaluated modulo a prime: with k
// connectors left for the second clause and v nouns used before it, the
// clause allows 1 + k * A * (N - v)^2 continuations. Checked against the
// enumeration on small lists, then against the big count at the limits.
std::uint64_t ClosedFormMod(std::uint64_t a, std::uint64_t n, std::uint64_t g, std::uint64_t p) {
    const auto m = [p](std::uint64_t x) { return x % p; };
    const auto mul = [&](std::uint64_t x, std::uint64_t y) { return m(m(x) * m(y)); };
    const auto second = [&](std::uint64_t k, std::uint64_t v) {
        const std::uint64_t free = n >= v ? n - v : 0;
        return m(1 + mul(mul(k, a), mul(free, free)));
    };
    const std::uint64_t plain = n - g;
    std::uint64_t total = mul(a, m(mul(n, second(3, 1)) + (n >= 2 ? mul(mul(n - 1, g + 2 * plain), second(3, 2)) : 0)));
    if (g >= 1) {
        const std::uint64_t afterOpening =
            m((n >= 2 ? mul(n - 1, second(2, 2)) : 0) + (n >= 3 ? mul(mul(n - 2, g - 1 + 2 * plain), second(2, 3)) : 0));
        total = m(total + mul(mul(3 * g, a), afterOpening));
    }
    return total;
}

TEST(BigCount, CountAtTheFormatLimitsIsExact) {
    const std::uint64_t primes[] = {2147483647u, 2147483629u, 1000000007u, 998244353u};
    // The closed form agrees with the enumeration...
    for (int a = 2; a <= 3; ++a) {
        for (int n = 5; n <= 7; ++n) {
            for (int g = 1; g <= 3; ++g) {
                TEnumerator brute(Adjectives(a), Nouns(n, g), false);
                brute.Run();
                EXPECT_EQ(ClosedFormMod(static_cast<std::uint64_t>(a), static_cast<std::uint64_t>(n),
                                        static_cast<std::uint64_t>(g), 1000000007u),
                          brute.total % 1000000007u);
            }
        }
    }
    // ...and with the big count where it runs to about 2^221.
    const std::int64_t max = 2147483647;
    const TListCounts limits[] = {{max, max, max}, {max, max, 1}, {max, max, max / 2}, {2, max, 1}, {max, 5, 1}};
    for (const auto& c : limits) {
        const std::string total = ComputeStats(c).total.ToDecimal();
        for (const auto p : primes) {
            EXPECT_EQ(DecimalMod(total, p),
                      ClosedFormMod(static_cast<std::uint64_t>(c.adjectives), static_cast<std::uint64_t>(c.nouns),
                                    static_cast<std::uint64_t>(c.gerunds), p))
                << c.adjectives << " " << c.nouns << " " << c.gerunds << " mod " << p;
        }
    }
    EXPECT_EQ(ComputeStats(limits[0]).total.ToDecimal().size(), 67u);  // 12 A^2 N^5 ~ 3.2e66
}

}  // namespace
}  // namespace titles::cli
