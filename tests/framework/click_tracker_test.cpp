#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/click_tracker.h"

namespace titles::framework {
namespace {

// A step of a mouse script: 'P' press, 'D' second press of a double click,
// 'R' release; at a point relative to a 100x20 label.
struct TStep {
    char what;
    TMouseButton button;
    TPoint at;
};

struct TScript {
    const char* name;
    std::vector<TStep> steps;
    int clicks;
    // Test listings show the row by its name, not as a hex dump.
    friend void PrintTo(const TScript& row, std::ostream* os) { *os << row.name; }
};

constexpr TMouseButton L = TMouseButton::Left;
constexpr TMouseButton R = TMouseButton::Right;
constexpr TMouseButton M = TMouseButton::Middle;

class ClickScripts : public ::testing::TestWithParam<TScript> {};

TEST_P(ClickScripts, RaiseTheExpectedClicks) {
    TClickTracker tracker;
    int clicks = 0;
    for (const auto& step : GetParam().steps) {
        if (step.what != 'R') {
            tracker.Press(step.button, step.what == 'D');
        } else if (tracker.Release(step.button, step.at, {100, 20})) {
            ++clicks;
        }
    }
    EXPECT_EQ(clicks, GetParam().clicks);
}

INSTANTIATE_TEST_SUITE_P(
    Mouse, ClickScripts,
    ::testing::Values(
        TScript{"click", {{'P', L, {5, 5}}, {'R', L, {5, 5}}}, 1},
        TScript{"double_click", {{'P', L, {5, 5}}, {'R', L, {5, 5}}, {'D', L, {5, 5}}, {'R', L, {5, 5}}}, 1},
        TScript{"drag_out", {{'P', L, {5, 5}}, {'R', L, {150, 5}}}, 0},
        TScript{"release_on_right_edge", {{'P', L, {5, 5}}, {'R', L, {100, 5}}}, 0},
        TScript{"release_on_last_pixel", {{'P', L, {5, 5}}, {'R', L, {99, 19}}}, 1},
        TScript{"release_above", {{'P', L, {5, 5}}, {'R', L, {5, -1}}}, 0},
        TScript{"right_button", {{'P', R, {5, 5}}, {'R', R, {5, 5}}}, 0},
        TScript{"middle_button", {{'P', M, {5, 5}}, {'R', M, {5, 5}}}, 0},
        TScript{"right_double", {{'P', R, {5, 5}}, {'R', R, {5, 5}}, {'D', R, {5, 5}}, {'R', R, {5, 5}}}, 0},
        TScript{"release_without_press", {{'R', L, {5, 5}}}, 0},
        TScript{"right_release_keeps_left_pending", {{'P', L, {5, 5}}, {'R', R, {5, 5}}, {'R', L, {5, 5}}}, 1},
        TScript{"triple_click", {{'P', L, {1, 1}}, {'R', L, {1, 1}}, {'D', L, {1, 1}}, {'R', L, {1, 1}},
                                 {'P', L, {1, 1}}, {'R', L, {1, 1}}}, 2},
        TScript{"failed_drag_then_click", {{'P', L, {5, 5}}, {'R', L, {500, 5}}, {'P', L, {5, 5}}, {'R', L, {5, 5}}},
                1}),
    [](const auto& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace titles::framework
