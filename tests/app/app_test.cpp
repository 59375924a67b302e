// The desktop program on the headless window system: its start-up, its
// clicks and its failures, through the real start-up (RunProgram) or the
// window model itself (TFormMain).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <optional>

#include "app/UMain.h"
#include "app/messages.h"
#include "framework/headless/headless_window_system.h"
#include "phrase/composer.h"
#include "phrase/random_source.h"
#include "support/test_support.h"

namespace titles::app {
namespace {

using framework::TMouseButton;
using framework::TPoint;
using framework::TRect;
using framework::TSize;
using framework::headless::THeadlessConfig;
using framework::headless::THeadlessWindowSystem;
using namespace std::chrono_literals;

constexpr const char* kAdjectives = "Dark\r\nSilent\r\nGolden\r\nBroken\r\n";
constexpr const char* kNouns = "Running\nCastle\nDragon\nFalling\nStar\nMoon\nSword\n";

TWordList ListOf(const char* text) {
    TWordList list;
    list.AssignText(text);
    return list;
}

// Runs the program in a fresh working directory holding the given files.
class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = std::filesystem::current_path();
        std::filesystem::current_path(dir_.Path());
        RandomSeed = 0;
    }
    void TearDown() override { std::filesystem::current_path(saved_); }
    void WriteLists(const char* adjectives = kAdjectives, const char* nouns = kNouns) {
        if (adjectives) dir_.Write("adjectives.txt", adjectives);
        if (nouns) dir_.Write("nouns.txt", nouns);
    }
    int Run(THeadlessWindowSystem& windows) {
        test_support::TWatchdog watchdog(20s, "program run");
        return RunProgram(windows);
    }
    // The label's and window's state, read inside the loop.
    struct TState {
        std::string text;
        TRect label;
        TSize client;
        TRect outer;
    };
    static TState Snapshot(const THeadlessWindowSystem& windows) {
        return {windows.LabelText(), windows.LabelBounds(), windows.ClientSize(), windows.OuterBounds()};
    }

    test_support::TTempDir dir_;
    std::filesystem::path saved_;
};

TEST_F(ProgramTest, FirstPhraseIsInPlaceBeforeTheWindowIsShown) {
    WriteLists();
    THeadlessWindowSystem windows;
    windows.Post([&] {
        const TState s = Snapshot(windows);
        EXPECT_NE(s.text, "Label1");
        EXPECT_EQ(s.client, (TSize{s.label.width, s.label.height})) << "the client area is exactly the label";
        EXPECT_EQ(s.label.left, 0);
        EXPECT_EQ(s.label.top, 0);
        EXPECT_EQ(s.outer.left, 300);
        EXPECT_EQ(s.outer.top, 130);
        EXPECT_EQ(s.label.height, 16) << "one line of a 13-pixel font";
    });
    windows.PostClose();
    EXPECT_EQ(Run(windows), 0);
    EXPECT_TRUE(windows.Boxes().empty());
    const auto& log = windows.Log();
    ASSERT_EQ(log.size(), 5u);
    EXPECT_EQ(log[0], "window titles");
    EXPECT_EQ(log[1].rfind("show ", 0), 0u);
    EXPECT_NE(log[1], "show Label1");
    EXPECT_EQ(log[2], "loop");
    EXPECT_EQ(log[3], "quit");
    EXPECT_EQ(log[4], "loop end");
}

TEST_F(ProgramTest, ThePhraseIsTheFirstCompositionFromTheClockSeed) {
    WriteLists();
    THeadlessWindowSystem windows;
    std::string shown;
    windows.Post([&] { shown = windows.LabelText(); });
    const std::uint32_t before = UtcMillisecondsOfDay();
    EXPECT_EQ(Run(windows), 0);
    const std::uint32_t after = UtcMillisecondsOfDay();
    // Some seed between the two readings composes the phrase shown.
    const TWordList adjectives = ListOf(kAdjectives);
    const TWordList nouns = ListOf(kNouns);
    bool found = false;
    for (std::uint32_t s = before; s <= after && !found; ++s) {
        RandomSeed = s;
        found = ComposePhrase(adjectives, nouns) == shown;
    }
    EXPECT_TRUE(found) << shown;
}

struct FailureRow {
    const char* name;
    const char* adjectives;  // null: the file is missing
    const char* nouns;
    std::string boxText;
    int adjectiveCount;
    int nounCount;
    // Test listings show the row by its name, not as a hex dump.
    friend void PrintTo(const FailureRow& row, std::ostream* os) { *os << row.name; }
};

class StartUpFailures : public ProgramTest, public ::testing::WithParamInterface<FailureRow> {};

TEST_P(StartUpFailures, ShowOneBoxThenTheDesignedWindow) {
    const FailureRow& row = GetParam();
    WriteLists(row.adjectives, row.nouns);
    THeadlessWindowSystem windows;
    std::optional<TState> state;
    windows.Post([&] { state = Snapshot(windows); });
    windows.PostClose();
    EXPECT_EQ(Run(windows), 0) << "closing ends the program normally after a start-up failure too";
    ASSERT_EQ(windows.Boxes().size(), 1u);
    const auto& box = windows.Boxes()[0];
    EXPECT_FALSE(box.fatal);
    EXPECT_EQ(box.caption, "titles");
    EXPECT_EQ(box.text, row.boxText);
    EXPECT_FALSE(box.windowVisible) << "the box comes before the window";
    EXPECT_EQ(windows.Log()[1], "box " + row.boxText);
    EXPECT_EQ(windows.Log()[2], "show Label1");
    ASSERT_TRUE(state);
    EXPECT_EQ(state->text, "Label1");
    EXPECT_EQ(state->client, (TSize{361, 26}));
    EXPECT_EQ(state->label.width, 42) << "\"Label1\" measured: 6 bytes of 7 pixels";
}

// What the failed creation handler left in the lists: both exist, and only
// what was read before the failure is in them.
TEST_P(StartUpFailures, LeaveTheListsAsFarAsTheyWereRead) {
    const FailureRow& row = GetParam();
    WriteLists(row.adjectives, row.nouns);
    THeadlessWindowSystem windows;
    const TFormMain form(windows, "titles");
    ASSERT_EQ(windows.Boxes().size(), 1u);
    EXPECT_EQ(windows.Boxes()[0].text, row.boxText);
    EXPECT_EQ(form.AdjectiveList.WordCount(), row.adjectiveCount);
    EXPECT_EQ(form.NounList.WordCount(), row.nounCount);
    EXPECT_EQ(form.Label1().caption, "Label1");
}

INSTANTIATE_TEST_SUITE_P(
    Rows, StartUpFailures,
    ::testing::Values(
        FailureRow{"adjectives_missing", nullptr, kNouns, "ファイル adjectives.txt は開けません.", 0, 0},
        FailureRow{"both_missing", nullptr, nullptr, "ファイル adjectives.txt は開けません.", 0, 0},
        FailureRow{"nouns_missing", kAdjectives, nullptr, "ファイル nouns.txt は開けません.", 4, 0},
        FailureRow{"adjectives_empty", "", kNouns, "リストのインデックスが範囲を超えています (0)", 0, 7},
        FailureRow{"nouns_empty", kAdjectives, "", "リストのインデックスが範囲を超えています (0)", 4, 0}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(ProgramTest, SeedStaysZeroWhenALoadFails) {
    WriteLists(nullptr, kNouns);
    THeadlessWindowSystem windows;
    std::uint32_t seedInLoop = 1;
    windows.Post([&] { seedInLoop = RandomSeed; });
    Run(windows);
    EXPECT_EQ(seedInLoop, 0u);
}

// Mouse scripts at the label, which shows "ABCDEFGHIJKLMN": 98 by 16 pixels.
// 'P' press, 'D' second press of a double click, 'R' release, at a point of
// the client area (the label is at its top-left corner).
struct TStep {
    char what;
    TMouseButton button;
    TPoint at;
};

struct ClickRow {
    const char* name;
    std::vector<TStep> steps;
    int clicks;
    // Test listings show the row by its name, not as a hex dump.
    friend void PrintTo(const ClickRow& row, std::ostream* os) { *os << row.name; }
};

class Clicks : public ProgramTest, public ::testing::WithParamInterface<ClickRow> {};

TEST_P(Clicks, ComposeOncePerRecognisedClick) {
    WriteLists();
    THeadlessWindowSystem windows;
    TFormMain form(windows, "titles");
    form.ShowPhrase("ABCDEFGHIJKLMN");
    ASSERT_EQ(windows.LabelBounds(), (TRect{0, 0, 98, 16}));
    // The titles the expected number of compositions would show.
    std::string expected = form.Label1().caption;
    RandomSeed = 4321;
    for (int i = 0; i < GetParam().clicks; ++i) expected = ComposePhrase(form.AdjectiveList, form.NounList);
    const std::uint32_t seedAfter = RandomSeed;
    RandomSeed = 4321;
    // Each click's phrase is put back, so that every step meets the same label.
    std::vector<std::string> shown;
    for (const TStep& step : GetParam().steps) {
        if (step.what == 'R') {
            windows.PostRelease(step.at, step.button);
        } else {
            windows.PostPress(step.at, step.button, step.what == 'D');
        }
        windows.Post([&] {
            if (windows.LabelText() == "ABCDEFGHIJKLMN") return;
            shown.push_back(windows.LabelText());
            form.ShowPhrase("ABCDEFGHIJKLMN");
        });
    }
    windows.Run();
    EXPECT_EQ(shown.size(), static_cast<std::size_t>(GetParam().clicks));
    if (!shown.empty()) {
        EXPECT_EQ(shown.back(), expected);
    }
    EXPECT_EQ(RandomSeed, seedAfter);
    EXPECT_FALSE(windows.LabelHoldsMouse());
    EXPECT_TRUE(windows.Boxes().empty());
}

constexpr TMouseButton L = TMouseButton::Left;
constexpr TMouseButton R = TMouseButton::Right;
constexpr TMouseButton M = TMouseButton::Middle;

INSTANTIATE_TEST_SUITE_P(
    Mouse, Clicks,
    ::testing::Values(
        ClickRow{"click", {{'P', L, {5, 5}}, {'R', L, {5, 5}}}, 1},
        ClickRow{"two_clicks", {{'P', L, {5, 5}}, {'R', L, {5, 5}}, {'P', L, {9, 9}}, {'R', L, {9, 9}}}, 2},
        ClickRow{"double_click", {{'P', L, {5, 5}}, {'R', L, {5, 5}}, {'D', L, {5, 5}}, {'R', L, {5, 5}}}, 1},
        ClickRow{"press_inside_release_outside", {{'P', L, {5, 5}}, {'R', L, {150, 5}}}, 0},
        ClickRow{"press_outside_release_inside", {{'P', L, {150, 5}}, {'R', L, {5, 5}}}, 0},
        ClickRow{"release_on_right_edge", {{'P', L, {5, 5}}, {'R', L, {98, 5}}}, 0},
        ClickRow{"release_on_last_pixel", {{'P', L, {5, 5}}, {'R', L, {97, 15}}}, 1},
        ClickRow{"release_above", {{'P', L, {5, 5}}, {'R', L, {5, -1}}}, 0},
        ClickRow{"right_click", {{'P', R, {5, 5}}, {'R', R, {5, 5}}}, 0},
        ClickRow{"middle_double_click", {{'P', M, {5, 5}}, {'R', M, {5, 5}}, {'D', M, {5, 5}}, {'R', M, {5, 5}}}, 0},
        ClickRow{"release_without_press", {{'R', L, {5, 5}}}, 0},
        ClickRow{"right_release_keeps_left_pending", {{'P', L, {5, 5}}, {'R', R, {5, 5}}, {'R', L, {5, 5}}}, 1},
        ClickRow{"triple_click", {{'P', L, {1, 1}}, {'R', L, {1, 1}}, {'D', L, {1, 1}}, {'R', L, {1, 1}},
                                  {'P', L, {1, 1}}, {'R', L, {1, 1}}}, 2},
        ClickRow{"failed_drag_then_click", {{'P', L, {5, 5}}, {'R', L, {500, 5}}, {'P', L, {5, 5}}, {'R', L, {5, 5}}},
                 1}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(ProgramTest, AnEqualPhraseChangesNothingAndTheLabelIsItsDrawnText) {
    WriteLists();
    THeadlessWindowSystem windows;
    TFormMain form(windows, "titles");
    form.ShowPhrase("Dark Castle");
    const int resizes = windows.Resizes();
    const int repaints = windows.Repaints();
    form.ShowPhrase("Dark Castle");
    EXPECT_EQ(windows.Resizes(), resizes);
    EXPECT_EQ(windows.Repaints(), repaints);
    form.ShowPhrase("A&&B\tC");
    // "A&B" is 21 pixels; the tab goes on to the stop at 8 average widths (56).
    EXPECT_EQ(form.Label1().bounds.width, 56 + 7);
    EXPECT_EQ(windows.ClientSize().width, 63);
    form.ShowPhrase("&");
    EXPECT_EQ(form.Label1().bounds.width, 7) << "a lone \"&\" measures as one space";
    form.ShowPhrase("");
    EXPECT_EQ(windows.ClientSize(), (TSize{7, 16}));
}

TEST_F(ProgramTest, AMovedWindowKeepsItsCornerWhenRefitted) {
    WriteLists();
    THeadlessWindowSystem windows;
    TFormMain form(windows, "titles");
    windows.MoveTo({500, 400});
    form.ShowPhrase("A much longer phrase than any composed here");
    EXPECT_EQ(windows.OuterBounds().left, 500);
    EXPECT_EQ(windows.OuterBounds().top, 400);
    EXPECT_EQ(windows.ClientSize().width, form.Label1().bounds.width);
    // Wider than any window: the window's frame stops at the window
    // system's last coordinate and the label is cut at its edge.
    const std::string word(4'000'000, 'W');
    form.ShowPhrase(word + " " + word + " Star");
    EXPECT_EQ(form.Label1().bounds.width, framework::kMaxWindowExtent);
    EXPECT_EQ(windows.OuterBounds(), (TRect{500, 400, framework::kMaxWindowExtent - 500, windows.OuterBounds().height}));
    EXPECT_LT(windows.ClientSize().width, form.Label1().bounds.width);
}

TEST_F(ProgramTest, AFailedClickKeepsThePhraseAndTheNextClickComposesAnew) {
    // One adjective: a composition fails when it draws a second one.
    const TWordList adjectives = ListOf("Lonely\n");
    const TWordList nouns = ListOf(kNouns);
    auto composes = [&](std::uint32_t seed) {
        RandomSeed = seed;
        try {
            (void)ComposePhrase(adjectives, nouns);
            return true;
        } catch (const TFailure&) {
            return false;
        }
    };
    std::uint32_t goodSeed = 0;
    std::uint32_t badSeed = 0;
    while (!composes(goodSeed)) ++goodSeed;
    while (composes(badSeed)) ++badSeed;

    WriteLists("Lonely\n", kNouns);
    THeadlessWindowSystem windows;
    TFormMain form(windows, "titles");
    const std::size_t startUpBoxes = windows.Boxes().size();  // the first composition may fail too
    RandomSeed = goodSeed;
    form.Label1Click();
    const TState before = Snapshot(windows);
    RandomSeed = badSeed;
    windows.PostPress({1, 1});  // holds the mouse while the click fails
    windows.PostRelease({1, 1});
    windows.Post([&] {
        const TState after = Snapshot(windows);
        EXPECT_EQ(after.text, before.text);
        EXPECT_EQ(after.client, before.client);
        EXPECT_EQ(after.outer, before.outer);
        RandomSeed = goodSeed;
    });
    windows.PostClick({1, 1});
    windows.Run();
    RandomSeed = goodSeed;
    EXPECT_EQ(windows.LabelText(), ComposePhrase(adjectives, nouns));
    ASSERT_EQ(windows.Boxes().size(), startUpBoxes + 1);
    EXPECT_EQ(windows.Boxes().back().text, "ファイル adjectives.txt には使える単語が足りません.");
    EXPECT_EQ(windows.Boxes().back().caption, "titles");
}

TEST_F(ProgramTest, AFailureCancelsTheMouseCaptureBeforeItsBox) {
    WriteLists();
    THeadlessWindowSystem windows;
    windows.PostPress({1, 1});  // the label always covers the client area's corner
    windows.Post([&] {
        EXPECT_TRUE(windows.LabelHoldsMouse());
        throw std::runtime_error("boom");
    });
    windows.onBox = [&](const framework::headless::TRecordedBox&) { EXPECT_FALSE(windows.LabelHoldsMouse()); };
    Run(windows);
    ASSERT_EQ(windows.Boxes().size(), 1u);
    EXPECT_EQ(windows.Boxes()[0].text, "boom.");
    const auto& log = windows.Log();
    const auto cancel = std::find(log.begin(), log.end(), "cancel capture");
    const auto box = std::find(log.begin(), log.end(), "box boom.");
    EXPECT_LT(cancel, box);
}

TEST_F(ProgramTest, EveryEventFailureIsShownAndTheLoopGoesOn) {
    WriteLists();
    THeadlessWindowSystem windows;
    windows.Post([] { throw std::runtime_error("first"); });
    windows.Post([] { throw 42; });
    windows.Post([] { throw std::bad_alloc(); });
    windows.Post([] { throw std::runtime_error(""); });
    bool ranAfter = false;
    windows.Post([&] { ranAfter = true; });
    EXPECT_EQ(Run(windows), 0);
    EXPECT_TRUE(ranAfter);
    ASSERT_EQ(windows.Boxes().size(), 4u);
    EXPECT_EQ(windows.Boxes()[0].text, "first.");
    EXPECT_EQ(windows.Boxes()[1].text, "不明な例外が発生しました.");
    EXPECT_EQ(windows.Boxes()[2].text, "メモリが不足しています.");
    EXPECT_EQ(windows.Boxes()[3].text, "") << "an empty message gets no full stop";
}

// One box at a time: a failure raised while a box is up (by an event the
// box's own loop handles) waits until that box is dismissed.
TEST_F(ProgramTest, AFailureDuringABoxWaitsForIt) {
    WriteLists();
    THeadlessWindowSystem windows;
    TFormMain form(windows, "titles");
    int boxesUp = 0;
    windows.onBox = [&](const framework::headless::TRecordedBox& box) {
        EXPECT_EQ(boxesUp++, 0) << box.text;
        if (box.text == "first.") form.ReportFailure(std::make_exception_ptr(std::runtime_error("second")));
        --boxesUp;
    };
    form.ReportFailure(std::make_exception_ptr(std::runtime_error("first")));
    ASSERT_EQ(windows.Boxes().size(), 2u);
    EXPECT_EQ(windows.Boxes()[1].text, "second.");
}

// A screen reader's "click" composes as a left click does, but not while a
// box is up, when no click reaches the label.
TEST_F(ProgramTest, TheLabelsActionComposesUnlessABoxIsUp) {
    WriteLists();
    THeadlessWindowSystem windows;
    TFormMain form(windows, "titles");
    RandomSeed = 99;
    const std::string expected = ComposePhrase(form.AdjectiveList, form.NounList);
    RandomSeed = 99;
    windows.PostLabelAction();
    windows.Run();
    EXPECT_EQ(windows.LabelText(), expected);
    windows.onBox = [&](const framework::headless::TRecordedBox&) {
        windows.PostLabelAction();
        windows.Run();
    };
    form.ReportFailure(std::make_exception_ptr(std::runtime_error("up")));
    EXPECT_EQ(windows.LabelText(), expected);
}

TEST_F(ProgramTest, TitleComesFromTheProgramFileName) {
    THeadlessConfig config;
    config.programPath = "/opt/v1.5/MY.TOOL.EXE";
    THeadlessWindowSystem windows(config);
    Run(windows);
    ASSERT_EQ(windows.Boxes().size(), 1u);
    EXPECT_EQ(windows.Boxes()[0].caption, "My");
}

// In a folder without word lists: the window keeps its designed size.
TEST_F(ProgramTest, ScalingChangesTheLabelFont) {
    struct Row {
        int zeroHeight;
        int fontHeight;
        TSize designClient;
    };
    for (const Row row : {Row{13, 12, {313, 23}}, Row{15, 13, {361, 26}}, Row{16, 15, {385, 28}}}) {
        THeadlessConfig config;
        config.zeroHeight = [&](const framework::TFontSpec&) { return row.zeroHeight; };
        THeadlessWindowSystem windows(config);
        TFormMain form(windows, "titles");
        EXPECT_EQ(windows.LabelFont().height, row.fontHeight) << row.zeroHeight;
        EXPECT_EQ(windows.ClientSize(), row.designClient) << row.zeroHeight;
        EXPECT_EQ(windows.LabelBounds().height, row.fontHeight + 3) << "the label measured with its final font";
    }
}

TEST_F(ProgramTest, AWindowThatCannotBeBuiltIsFatal) {
    WriteLists();
    THeadlessConfig config;
    config.failBuild = true;
    config.programPath = "/usr/bin/titles";
    THeadlessWindowSystem windows(config);
    EXPECT_EQ(Run(windows), 1);
    ASSERT_EQ(windows.Boxes().size(), 1u);
    const auto& box = windows.Boxes()[0];
    EXPECT_TRUE(box.fatal);
    EXPECT_EQ(box.caption, "アプリケーション エラー");
    EXPECT_EQ(box.text.rfind("TFailureがモジュール titles の ", 0), 0u) << box.text;
    EXPECT_NE(box.text.find(" で発生しました。\nウィンドウを作成できません."), std::string::npos) << box.text;
    EXPECT_EQ(RandomSeed, 0u) << "the creation handler never ran";
}

TEST_F(ProgramTest, MinimizedStartShowsNoWindow) {
    WriteLists();
    THeadlessConfig config;
    config.showRequest = framework::TShowRequest::MinimizedNoActivate;
    THeadlessWindowSystem windows(config);
    bool visible = true;
    windows.Post([&] { visible = windows.Visible(); });
    Run(windows);
    EXPECT_FALSE(visible);
}

}  // namespace
}  // namespace titles::app
