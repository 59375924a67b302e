#include <gtest/gtest.h>

#include <vector>

#include "phrase/random_source.h"

namespace titles {
namespace {

class RandomSourceTest : public ::testing::Test {
protected:
    void SetUp() override { RandomSeed = 0; }
};

TEST_F(RandomSourceTest, SeedSequenceFromZero) {
    const std::vector<std::uint32_t> expected = {1u,          134775814u,  3698175007u, 870078620u,  1172187917u,
                                                 2884733762u, 1368768587u, 694906232u,  1598751577u, 1828254910u};
    for (const auto seed : expected) {
        NextRandomSeed();
        EXPECT_EQ(RandomSeed, seed);
    }
}

TEST_F(RandomSourceTest, IntegerDrawsFromZero) {
    struct Case {
        std::int32_t bound;
        std::vector<std::int32_t> draws;
    };
    const Case cases[] = {
        {10, {0, 0, 8, 2, 2, 6, 3, 1, 3, 4}},
        {100, {0, 3, 86, 20, 27, 67, 31, 16, 37, 42}},
        {1, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {0, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        RandomSeed = 0;
        std::vector<std::int32_t> got;
        for (std::size_t i = 0; i < c.draws.size(); ++i) got.push_back(RandomInt(c.bound));
        EXPECT_EQ(got, c.draws) << "bound " << c.bound;
        EXPECT_EQ(RandomSeed, 1828254910u) << "every draw advances the seed once";
    }
}

TEST_F(RandomSourceTest, IntegerDrawStaysBelowLargeBounds) {
    const std::uint32_t beforeLargest = (0xFFFFFFFFu - 1u) * 3645876429u;  // next seed is 2^32 - 1
    RandomSeed = beforeLargest;
    EXPECT_EQ(RandomInt(2147483647), 2147483646);
    RandomSeed = beforeLargest;
    EXPECT_EQ(RandomInt(-1), -2) << "a negative bound is read as unsigned";
}

TEST_F(RandomSourceTest, RealDrawsShareTheStream) {
    EXPECT_EQ(RandomReal(), 2.3283064365386962890625e-10);
    EXPECT_EQ(RandomReal(), 134775814.0 / 4294967296.0);
    RandomSeed = 0;
    EXPECT_EQ(RandomReal(), 1.0 / 4294967296.0);
    EXPECT_EQ(RandomInt(10), 0);
    EXPECT_EQ(RandomInt(10), 8);
}

TEST_F(RandomSourceTest, ExtremesOfTheRealDraw) {
    // The seed before 4294967295 is the one the full-period walk reaches it from.
    std::uint32_t before = 0;
    // Invert the step: seed = (next - 1) * inverse(134775813) mod 2^32.
    const std::uint32_t inverse = 3645876429u;  // 134775813 * inverse == 1 (mod 2^32)
    ASSERT_EQ(134775813u * inverse, 1u);
    before = (0xFFFFFFFFu - 1u) * inverse;
    RandomSeed = before;
    EXPECT_EQ(RandomReal(), 0.99999999976716935634613037109375);
    EXPECT_LT(RandomReal(), 1.0);
    EXPECT_EQ(RandomSeed, 4160191484u);
    RandomSeed = (0u - 1u) * inverse;  // next seed is 0
    EXPECT_EQ(RandomReal(), 0.0);
}

TEST_F(RandomSourceTest, SeedFromTimeOfDay) {
    EXPECT_EQ(MillisecondsOfDay(12, 34, 56, 789), 45296789u);
    EXPECT_EQ(MillisecondsOfDay(0, 0, 0, 0), 0u);
    EXPECT_EQ(MillisecondsOfDay(23, 59, 59, 999), 86399999u);
    // From the system clock's seconds since 1970: a day later and before
    // 1970 the same time of day, the millisecond rounded down.
    EXPECT_EQ(MillisecondsOfDayAt(45296 + 86400 * 20000LL, 789999999), 45296789u);
    EXPECT_EQ(MillisecondsOfDayAt(-1, 500500000), 86399500u);  // 1969-12-31 23:59:59.5005
    EXPECT_EQ(MillisecondsOfDayAt(-86400 * 3 + 45296, 789000000), 45296789u);
    RandomSeed = MillisecondsOfDay(12, 34, 56, 789);
    std::vector<std::int32_t> got;
    for (int i = 0; i < 5; ++i) got.push_back(RandomInt(10));
    EXPECT_EQ(got, (std::vector<std::int32_t>{4, 2, 3, 0, 6}));
}

TEST_F(RandomSourceTest, ClockSeedIsTheTimeOfDay) {
    const auto before = UtcMillisecondsOfDay();
    SeedFromClock();
    const auto after = UtcMillisecondsOfDay();
    EXPECT_LT(RandomSeed, 86400000u);
    if (after >= before) {  // not across midnight
        EXPECT_GE(RandomSeed, before);
        EXPECT_LE(RandomSeed, after);
    }
}

}  // namespace
}  // namespace titles
