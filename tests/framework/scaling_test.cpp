#include <gtest/gtest.h>

#include "framework/layout.h"

namespace titles::framework {
namespace {

TEST(MulDiv, RoundsHalvesAwayFromZero) {
    struct Case {
        int a, b, c, expected;
    };
    const Case cases[] = {
        {13, 72, 96, 10},   // 9.75
        {13, 72, 144, 7},   // 6.5
        {-13, 72, 144, -7}, // -6.5
        {13, -72, 144, -7},
        {13, 72, -144, -7},
        {-13, -72, 144, 7},
        {8, 94, 72, 10},    // 10.44
        {41, 13, 15, 36},   // 35.53
        {1, 1, 3, 0},
        {2, 1, 3, 1},
        {7, 1, 2, 4},
        {0, 5, 7, 0},
        {5, 7, 0, -1},      // division by zero
        {2147483647, 2, 1, -1},  // overflow
        {2147483647, 2, 2, 2147483647},  // the intermediate product does not overflow
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MulDiv(c.a, c.b, c.c), c.expected) << c.a << "*" << c.b << "/" << c.c;
    }
}

const TFontSpec kWindowFont{"MS Sans Serif", 11, TCharset::Default};

TEST(Scaling, WindowFontFollowsTheScreenUnlessItIsTheDefaultFont) {
    const std::pair<int, int> cases[] = {
        {96, 11}, {95, 11}, {100, 11}, {103, 11},  // equal to the 8-point default font: kept
        {104, 12}, {120, 14}, {144, 17}, {72, 8}, {94, 11},
    };
    for (const auto& [ppi, height] : cases) {
        EXPECT_EQ(ScaledWindowFontHeight(kWindowFont, 96, ppi), height) << ppi;
    }
    TFontSpec arial = kWindowFont;
    arial.name = "Arial";
    EXPECT_EQ(ScaledWindowFontHeight(arial, 96, 103), 12);
    // On a Japanese system the default font is 9 points of Shift-JIS.
    TFontSpec gothic{"MS UI Gothic", 12, TCharset::ShiftJis};
    EXPECT_EQ(ScaledWindowFontHeight(gothic, 96, 97, true), 12);
    EXPECT_EQ(ScaledWindowFontHeight(kWindowFont, 96, 100, true), 11);
    EXPECT_EQ(ScaledWindowFontHeight(kWindowFont, 96, 103, true), 12);
}

TEST(Scaling, LabelAndClientFollowTheHeightOfZero) {
    struct Case {
        int ppi, zeroHeight;
        bool scaled;
        int fontHeight;
        TSize client;
        TRect label;
    };
    const Case cases[] = {
        {96, 15, false, 13, {361, 26}, {0, 0, 41, 16}},
        {96, 13, true, 12, {313, 23}, {0, 0, 36, 14}},
        {96, 16, true, 15, {385, 28}, {0, 0, 44, 17}},
        {120, 15, false, 13, {361, 26}, {0, 0, 41, 16}},
        {120, 13, true, 12, {313, 23}, {0, 0, 36, 14}},
        {120, 16, true, 15, {385, 28}, {0, 0, 44, 17}},
        {144, 13, true, 12, {313, 23}, {0, 0, 36, 14}},
        {144, 16, true, 14, {385, 28}, {0, 0, 44, 17}},
    };
    for (const auto& c : cases) {
        const TScaleResult r = ScaleDesign({0, 0, 41, 16}, 13, {361, 26}, 15, c.ppi, c.zeroHeight);
        EXPECT_EQ(r.scaled, c.scaled) << c.ppi << "/" << c.zeroHeight;
        EXPECT_EQ(r.labelFontHeight, c.fontHeight) << c.ppi << "/" << c.zeroHeight;
        EXPECT_EQ(r.clientSize, c.client) << c.ppi << "/" << c.zeroHeight;
        EXPECT_EQ(r.labelBounds, c.label) << c.ppi << "/" << c.zeroHeight;
    }
}

TEST(Scaling, OffsetLabelScalesItsEdgesNotItsSize) {
    // Right and bottom edges are scaled, and the size is what lies between.
    const TScaleResult r = ScaleDesign({7, 3, 10, 10}, 13, {100, 50}, 15, 96, 20);
    EXPECT_EQ(r.labelBounds, (TRect{9, 4, MulDiv(17, 20, 15) - 9, MulDiv(13, 20, 15) - 4}));
}

}  // namespace
}  // namespace titles::framework
