#include <gtest/gtest.h>

#include <algorithm>

#include "framework/layout.h"

namespace titles::framework {
namespace {

// Every byte 7 pixels wide but the combining acute accent (U+0301, "\xCC\x81"),
// which has no width; lines 16 high, tab stops every 8 * 6 = 48 pixels;
// UTF-8 sequences are one character.
class TFixedMetrics : public TTextMetrics {
public:
    TFixedMetrics() : TTextMetrics(true) {}
    int TextWidth(std::string_view run) const override {
        const auto accents = std::count(run.begin(), run.end(), '\xCC');
        return 7 * static_cast<int>(run.size() - 2 * static_cast<std::size_t>(accents));
    }
    int LineHeight() const override { return 16; }
    int AverageCharWidth() const override { return 6; }
};

struct LayoutCase {
    const char* name;
    std::string text;
    int width;
    std::vector<TTextRun> runs;
    std::vector<TUnderline> underlines;
    std::size_t laidOutBytes = std::string::npos;  // the whole text
    // Test listings show the row by its name, not as a hex dump.
    friend void PrintTo(const LayoutCase& row, std::ostream* os) { *os << row.name; }
};

class Layouts : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(Layouts, DrawAndMeasureAlike) {
    const auto& c = GetParam();
    const TTextLayout layout = LayoutText(c.text, TFixedMetrics());
    EXPECT_EQ(layout.extent, (TSize{c.width, 16}));
    EXPECT_EQ(layout.runs, c.runs);
    EXPECT_EQ(layout.underlines, c.underlines);
    EXPECT_EQ(layout.laidOutBytes, std::min(c.laidOutBytes, c.text.size()));
}

const std::string kA = std::string(1024, 'a');

std::string Repeat(std::string_view piece, std::size_t times) {
    std::string text;
    for (std::size_t i = 0; i < times; ++i) text += piece;
    return text;
}

// A letter and a mebibyte of accents: laid out in 1024-byte runs, all at the
// letter's width, up to the first whole accent past kMaxLaidOutBytes.
const std::string kAccents = "a" + Repeat("\xCC\x81", 1 << 20);
constexpr std::size_t kAccentsLaidOut = kMaxLaidOutBytes + 1;
std::vector<TTextRun> AccentRuns() {
    std::vector<TTextRun> runs{{0, kAccents.substr(0, 1025)}};
    for (std::size_t at = 1025; at < kAccentsLaidOut; at += 1024) {
        runs.push_back({7, kAccents.substr(at, std::min<std::size_t>(1024, kAccentsLaidOut - at))});
    }
    return runs;
}

INSTANTIATE_TEST_SUITE_P(
    Text, Layouts,
    ::testing::Values(
        LayoutCase{"plain", "Dark Star", 63, {{0, "Dark Star"}}, {}},
        LayoutCase{"empty", "", 7, {}, {}},
        LayoutCase{"mnemonic", "a&bc", 21, {{0, "abc"}}, {{7, 7}}},
        LayoutCase{"double_ampersand", "a&&b", 21, {{0, "a&b"}}, {}},
        LayoutCase{"lone_ampersand", "&", 7, {}, {}},
        LayoutCase{"ampersand_space", "& ", 7, {{0, " "}}, {{0, 7}}},
        LayoutCase{"trailing_ampersand", "ab&", 14, {{0, "ab"}}, {}},
        LayoutCase{"two_mnemonics", "&a&b", 14, {{0, "ab"}}, {{0, 7}, {7, 7}}},
        LayoutCase{"triple_ampersand", "&&&x", 14, {{0, "&x"}}, {{7, 7}}},
        LayoutCase{"tab", "a\tb", 55, {{0, "a"}, {48, "b"}}, {}},
        LayoutCase{"leading_tab", "\tb", 55, {{48, "b"}}, {}},
        LayoutCase{"trailing_tab", "ab\t", 48, {{0, "ab"}}, {}},
        LayoutCase{"tab_past_a_stop", "1234567\tX", 103, {{0, "1234567"}, {96, "X"}}, {}},
        LayoutCase{"two_tabs", "\t\t", 96, {}, {}},
        LayoutCase{"mnemonic_after_tab", "a\t&bc", 62, {{0, "a"}, {48, "bc"}}, {{48, 7}}},
        LayoutCase{"utf8_mnemonic", "x&\xE6\x97\xA5y", 35, {{0, "x\xE6\x97\xA5y"}}, {{7, 21}}},
        // Past the widest window nothing more is measured or drawn.
        LayoutCase{"longer_than_any_window", std::string(1 << 20, 'a'), kMaxWindowExtent,
                   {{0, kA}, {7168, kA}, {14336, kA}, {21504, kA}, {28672, kA}}, {}, 5 * 1024},
        LayoutCase{"tabs_past_any_window", std::string(1 << 20, '\t'), kMaxWindowExtent, {}, {}, 683},
        LayoutCase{"marks_past_any_window", "&x" + std::string(1 << 20, 'a'), kMaxWindowExtent,
                   {{0, "x" + kA.substr(1)}, {7168, kA}, {14336, kA}, {21504, kA}, {28672, kA}}, {{0, 7}},
                   5 * 1024 + 1},
        LayoutCase{"zero_width_past_the_byte_bound", kAccents, 7, AccentRuns(), {}, kAccentsLaidOut}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(TextToMeasure, NeverMeasuresNothing) {
    EXPECT_EQ(TextToMeasure(""), " ");
    EXPECT_EQ(TextToMeasure("&"), "& ");
    EXPECT_EQ(TextToMeasure("&&"), "&&");
    EXPECT_EQ(TextToMeasure(" "), " ");
    EXPECT_EQ(TextToMeasure("Label1"), "Label1");
    EXPECT_GT(LayoutText(TextToMeasure("&"), TFixedMetrics()).extent.width, 0);
}

}  // namespace
}  // namespace titles::framework
