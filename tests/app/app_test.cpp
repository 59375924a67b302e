#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "app/UMain.h"
#include "app/program.h"
#include "framework/headless/headless_backend.h"
#include "phrase/composer.h"
#include "phrase/random_source.h"
#include "support/test_support.h"

namespace titles::app {
namespace {

using framework::TMouseButton;
using framework::TPoint;
using framework::TRect;
using framework::TSize;
using framework::headless::THeadlessBackend;
using framework::headless::THeadlessConfig;
using namespace std::chrono_literals;

constexpr const char* kAdjectives = "Dark\r\nSilent\r\nGolden\r\nBroken\r\n";
constexpr const char* kNouns = "Running\nCastle\nDragon\nFalling\nStar\nMoon\nSword\n";

// Runs the program in a fresh working directory holding the given files.
class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = std::filesystem::current_path();
        std::filesystem::current_path(dir_.Path());
        ResetProgramState();
    }
    void TearDown() override {
        std::filesystem::current_path(saved_);
        ResetProgramState();
    }
    void WriteLists(const char* adjectives = kAdjectives, const char* nouns = kNouns) {
        if (adjectives) dir_.Write("adjectives.txt", adjectives);
        if (nouns) dir_.Write("nouns.txt", nouns);
    }
    int Run(THeadlessBackend& backend) {
        test_support::TWatchdog watchdog(20s, "program run");
        return RunProgram(backend);
    }
    // The label's and window's state, read inside the loop.
    struct TState {
        std::string text;
        TRect label;
        TSize client;
        TRect outer;
    };
    static TState Snapshot(THeadlessBackend& backend) {
        return {backend.MainLabel()->Text(), backend.MainLabel()->Bounds(), backend.MainForm()->ClientSize(),
                backend.MainForm()->OuterBounds()};
    }
    static TPoint Inside(THeadlessBackend& backend) {
        const TRect b = backend.MainLabel()->Bounds();
        return {b.left + b.width / 2, b.top + b.height / 2};
    }
    // Posts a click-like sequence and records the states before and after it.
    void PostRecorded(THeadlessBackend& backend, const std::function<void()>& post) {
        backend.Post([this, &backend] { before_.push_back(Snapshot(backend)); });
        post();
        backend.Post([this, &backend] { after_.push_back(Snapshot(backend)); });
    }

    test_support::TTempDir dir_;
    std::filesystem::path saved_;
    std::vector<TState> before_;
    std::vector<TState> after_;
};

TEST_F(ProgramTest, FirstPhraseIsInPlaceBeforeTheWindowIsShown) {
    WriteLists();
    THeadlessBackend backend;
    backend.Post([&] {
        const TState s = Snapshot(backend);
        EXPECT_NE(s.text, "Label1");
        EXPECT_EQ(s.client, (TSize{s.label.width, s.label.height})) << "the client area is exactly the label";
        EXPECT_EQ(s.label.left, 0);
        EXPECT_EQ(s.label.top, 0);
        EXPECT_EQ(s.outer.left, 300);
        EXPECT_EQ(s.outer.top, 130);
        EXPECT_EQ(s.label.height, 16) << "one line of a 13-pixel font";
    });
    backend.PostClose();
    EXPECT_EQ(Run(backend), 0);
    EXPECT_TRUE(backend.Boxes().empty());
    const auto& log = backend.Log();
    ASSERT_GE(log.size(), 5u);
    EXPECT_EQ(log[0], "program window titles");
    EXPECT_EQ(log[1], "create form FormMain");
    EXPECT_EQ(log[2].rfind("show ", 0), 0u);
    EXPECT_NE(log[2], "show Label1");
    EXPECT_EQ(log[3], "loop");
    EXPECT_EQ(log[4], "quit");
    EXPECT_EQ(log.back(), "destroy");
    ASSERT_NE(AdjectiveList, nullptr);
    EXPECT_EQ(AdjectiveList->WordCount(), 4);
    EXPECT_EQ(NounList->WordCount(), 7);
}

TEST_F(ProgramTest, ThePhraseIsTheFirstCompositionFromTheClockSeed) {
    WriteLists();
    THeadlessBackend backend;
    std::string shown;
    backend.Post([&] { shown = backend.MainLabel()->Text(); });
    const std::uint32_t before = UtcMillisecondsOfDay();
    EXPECT_EQ(Run(backend), 0);
    const std::uint32_t after = UtcMillisecondsOfDay();
    // Some seed between the two readings composes the phrase shown.
    bool found = false;
    for (std::uint32_t s = before; s <= after && !found; ++s) {
        RandomSeed = s;
        found = ComposePhrase(*AdjectiveList, *NounList) == shown;
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
    THeadlessBackend backend;
    backend.PostClose();
    EXPECT_EQ(Run(backend), 0) << "closing ends the program normally after a start-up failure too";
    ASSERT_EQ(backend.Boxes().size(), 1u);
    const auto& box = backend.Boxes()[0];
    EXPECT_FALSE(box.fatal);
    EXPECT_EQ(box.caption, "titles");
    EXPECT_EQ(box.text, row.boxText);
    EXPECT_FALSE(box.mainWindowVisible) << "the box comes before the window";
    const auto show = std::find_if(backend.Log().begin(), backend.Log().end(),
                                   [](const std::string& e) { return e.rfind("show", 0) == 0; });
    ASSERT_NE(show, backend.Log().end());
    EXPECT_EQ(*show, "show Label1");
    ASSERT_NE(AdjectiveList, nullptr);
    ASSERT_NE(NounList, nullptr);
    EXPECT_EQ(AdjectiveList->WordCount(), row.adjectiveCount);
    EXPECT_EQ(NounList->WordCount(), row.nounCount);
}

TEST_P(StartUpFailures, LeaveTheDesignedClientSize) {
    const FailureRow& row = GetParam();
    WriteLists(row.adjectives, row.nouns);
    THeadlessBackend backend;
    std::optional<TState> state;
    backend.Post([&] { state = Snapshot(backend); });
    Run(backend);
    ASSERT_TRUE(state);
    EXPECT_EQ(state->text, "Label1");
    EXPECT_EQ(state->client, (TSize{361, 26}));
    EXPECT_EQ(state->label.width, 42) << "\"Label1\" measured: 6 bytes of 7 pixels";
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
    THeadlessBackend backend;
    std::uint32_t seedInLoop = 1;
    backend.Post([&] { seedInLoop = RandomSeed; });
    Run(backend);
    EXPECT_EQ(seedInLoop, 0u);
}

// Clicks compose exactly as often as the mouse script says.
struct ClickRow {
    const char* name;
    std::function<void(THeadlessBackend&, TPoint inside, TPoint outside)> post;
    int compositions;
    // Test listings show the row by its name, not as a hex dump.
    friend void PrintTo(const ClickRow& row, std::ostream* os) { *os << row.name; }
};

class Clicks : public ProgramTest, public ::testing::WithParamInterface<ClickRow> {};

TEST_P(Clicks, ComposeOncePerRecognisedClick) {
    WriteLists();
    THeadlessBackend backend;
    std::uint32_t seedBefore = 0;
    std::uint32_t seedAfter = 0;
    std::string expected;
    backend.Post([&] {
        seedBefore = RandomSeed;
        // What the expected number of compositions would show.
        std::string phrase = backend.MainLabel()->Text();
        for (int i = 0; i < GetParam().compositions; ++i) phrase = ComposePhrase(*AdjectiveList, *NounList);
        expected = phrase;
        seedAfter = RandomSeed;
        RandomSeed = seedBefore;
        // The corner stays inside the label whatever phrase a click brings.
        const TPoint inside{1, 1};
        const TRect label = backend.MainLabel()->Bounds();
        GetParam().post(backend, inside, {label.Right() + 5, inside.y});
        backend.Post([&] {
            EXPECT_EQ(RandomSeed, seedAfter);
            EXPECT_EQ(backend.MainLabel()->Text(), expected);
            EXPECT_EQ(backend.MainForm()->ClientSize(),
                      (TSize{backend.MainLabel()->Bounds().width, backend.MainLabel()->Bounds().height}));
            EXPECT_EQ(backend.CapturedLabel(), nullptr);
        });
        backend.PostClose();
    });
    EXPECT_EQ(Run(backend), 0);
    EXPECT_TRUE(backend.Boxes().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Mouse, Clicks,
    ::testing::Values(
        ClickRow{"click", [](THeadlessBackend& b, TPoint in, TPoint) { b.PostClick(in); }, 1},
        ClickRow{"two_clicks", [](THeadlessBackend& b, TPoint in, TPoint) { b.PostClick(in); b.PostClick(in); }, 2},
        ClickRow{"double_click", [](THeadlessBackend& b, TPoint in, TPoint) { b.PostDoubleClick(in); }, 1},
        ClickRow{"press_inside_release_outside",
                 [](THeadlessBackend& b, TPoint in, TPoint out) { b.PostPress(in); b.PostRelease(out); }, 0},
        ClickRow{"press_outside_release_inside",
                 [](THeadlessBackend& b, TPoint in, TPoint out) { b.PostPress(out); b.PostRelease(in); }, 0},
        ClickRow{"right_click",
                 [](THeadlessBackend& b, TPoint in, TPoint) {
                     b.PostPress(in, TMouseButton::Right);
                     b.PostRelease(in, TMouseButton::Right);
                 },
                 0},
        ClickRow{"middle_double_click",
                 [](THeadlessBackend& b, TPoint in, TPoint) {
                     b.PostPress(in, TMouseButton::Middle);
                     b.PostRelease(in, TMouseButton::Middle);
                     b.PostPress(in, TMouseButton::Middle, true);
                     b.PostRelease(in, TMouseButton::Middle);
                 },
                 0}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(ProgramTest, AnEqualPhraseChangesNothing) {
    WriteLists();
    THeadlessBackend backend;
    backend.Post([&] {
        const int resizes = backend.MainForm()->Resizes();
        const int repaints = backend.MainLabel()->Repaints();
        FormMain->ShowPhrase(FormMain->Label1->Caption());
        EXPECT_EQ(backend.MainForm()->Resizes(), resizes);
        EXPECT_EQ(backend.MainLabel()->Repaints(), repaints);
        FormMain->ShowPhrase("A&&B\tC");
        // "A&B" is 21 pixels; the tab goes on to the stop at 8 average widths (56).
        EXPECT_EQ(FormMain->Label1->Width(), 56 + 7);
        EXPECT_EQ(FormMain->ClientWidth(), 63);
        FormMain->ShowPhrase("&");
        EXPECT_EQ(FormMain->Label1->Width(), 7) << "a lone \"&\" measures as one space";
        FormMain->ShowPhrase("");
        EXPECT_EQ(FormMain->ClientWidth(), 7);
        EXPECT_EQ(FormMain->ClientHeight(), 16);
    });
    Run(backend);
}

TEST_F(ProgramTest, AMovedWindowKeepsItsCornerWhenRefitted) {
    WriteLists();
    THeadlessBackend backend;
    backend.Post([&] {
        backend.MainForm()->MoveTo({500, 400});
        FormMain->ShowPhrase("A much longer phrase than any composed here");
        EXPECT_EQ(backend.MainForm()->OuterBounds().left, 500);
        EXPECT_EQ(backend.MainForm()->OuterBounds().top, 400);
        EXPECT_EQ(FormMain->ClientWidth(), FormMain->Label1->Width());
        // Wider than any window: the window's frame stops at the window
        // system's last coordinate and the label is cut at its edge.
        const std::string word(4'000'000, 'W');
        FormMain->ShowPhrase(word + " " + word + " Star");
        EXPECT_EQ(FormMain->Label1->Width(), framework::kMaxWindowExtent);
        EXPECT_EQ(backend.MainForm()->OuterBounds(), (TRect{500, 400, framework::kMaxWindowExtent - 500,
                                                             backend.MainForm()->OuterBounds().height}));
        EXPECT_LT(FormMain->ClientWidth(), FormMain->Label1->Width());
    });
    Run(backend);
}

TEST_F(ProgramTest, AFailedClickKeepsThePhraseAndTheNextClickComposesAnew) {
    // One adjective: a composition fails when it draws a second one.
    WriteLists("Lonely\n", kNouns);
    TWordList adjectives;
    TWordList nouns;
    adjectives.AssignText("Lonely\n");
    nouns.AssignText(kNouns);
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

    THeadlessBackend backend;
    std::optional<TState> before;
    std::size_t startUpBoxes = 0;  // the first composition, from the clock, may fail too
    backend.Post([&] {
        startUpBoxes = backend.Boxes().size();
        RandomSeed = goodSeed;
        FormMain->Label1Click(nullptr);
        before = Snapshot(backend);
        RandomSeed = badSeed;
        backend.PostPress(Inside(backend));  // holds the capture while the click fails
        backend.PostRelease(Inside(backend));
        backend.Post([&] {
            const TState after = Snapshot(backend);
            EXPECT_EQ(after.text, before->text);
            EXPECT_EQ(after.client, before->client);
            EXPECT_EQ(after.outer, before->outer);
            RandomSeed = goodSeed;
            backend.PostClick(Inside(backend));
            backend.Post([&] {
                RandomSeed = goodSeed;
                const std::string expected = ComposePhrase(adjectives, nouns);
                EXPECT_EQ(backend.MainLabel()->Text(), expected);
            });
            backend.PostClose();
        });
    });
    EXPECT_EQ(Run(backend), 0);
    ASSERT_EQ(backend.Boxes().size(), startUpBoxes + 1);
    EXPECT_EQ(backend.Boxes().back().text, "ファイル adjectives.txt には使える単語が足りません.");
    EXPECT_TRUE(backend.Boxes().back().mainWindowVisible);
}

TEST_F(ProgramTest, AFailureCancelsTheMouseCaptureBeforeItsBox) {
    WriteLists();
    THeadlessBackend backend;
    backend.PostPress({1, 1});  // the label always covers the client area's corner
    backend.Post([&] {
        EXPECT_NE(backend.CapturedLabel(), nullptr);
        throw TFailure("boom");
    });
    backend.onBox = [&](const framework::headless::TRecordedBox&) { EXPECT_EQ(backend.CapturedLabel(), nullptr); };
    Run(backend);
    ASSERT_EQ(backend.Boxes().size(), 1u);
    EXPECT_EQ(backend.Boxes()[0].text, "boom.");
    const auto& log = backend.Log();
    const auto cancel = std::find(log.begin(), log.end(), "cancel capture");
    const auto box = std::find(log.begin(), log.end(), "box boom.");
    EXPECT_LT(cancel, box);
}

TEST_F(ProgramTest, EveryEventFailureIsShownAndTheLoopGoesOn) {
    WriteLists();
    THeadlessBackend backend;
    backend.Post([] { throw std::runtime_error("first"); });
    backend.Post([] { throw 42; });
    backend.Post([] { throw TFailure(""); });
    bool ranAfter = false;
    backend.Post([&] { ranAfter = true; });
    EXPECT_EQ(Run(backend), 0);
    EXPECT_TRUE(ranAfter);
    ASSERT_EQ(backend.Boxes().size(), 3u);
    EXPECT_EQ(backend.Boxes()[0].text, "first.");
    EXPECT_EQ(backend.Boxes()[1].text, "不明な例外が発生しました.");
    EXPECT_EQ(backend.Boxes()[2].text, "") << "an empty message gets no full stop";
}

TEST_F(ProgramTest, TitleComesFromTheProgramFileName) {
    THeadlessConfig config;
    config.programPath = "/opt/v1.5/MY.TOOL.EXE";
    THeadlessBackend backend(config);
    Run(backend);
    ASSERT_EQ(backend.Boxes().size(), 1u);
    EXPECT_EQ(backend.Boxes()[0].caption, "My");
}

TEST_F(ProgramTest, ScalingChangesTheLabelFont) {
    struct Row {
        int zeroHeight;
        int fontHeight;
        TSize designClient;
    };
    for (const Row row : {Row{13, 12, {313, 23}}, Row{15, 13, {361, 26}}, Row{16, 15, {385, 28}}}) {
        ResetProgramState();
        THeadlessConfig config;
        config.zeroHeight = [&](const framework::TFontSpec&) { return row.zeroHeight; };
        THeadlessBackend backend(config);
        std::optional<TState> state;
        int fontHeight = 0;
        backend.Post([&] {
            state = Snapshot(backend);
            fontHeight = backend.MainLabel()->Font().height;
        });
        Run(backend);  // no word files: the window keeps its designed size
        ASSERT_TRUE(state);
        EXPECT_EQ(fontHeight, row.fontHeight) << row.zeroHeight;
        EXPECT_EQ(state->client, row.designClient) << row.zeroHeight;
        EXPECT_EQ(state->label.height, row.fontHeight + 3) << "the label measured with its final font";
    }
}

TEST_F(ProgramTest, AWindowThatCannotBeCreatedIsFatal) {
    WriteLists();
    THeadlessConfig config;
    config.failFormCreation = true;
    config.programPath = "/usr/bin/titles";
    THeadlessBackend backend(config);
    EXPECT_EQ(Run(backend), 1);
    ASSERT_EQ(backend.Boxes().size(), 1u);
    const auto& box = backend.Boxes()[0];
    EXPECT_TRUE(box.fatal);
    EXPECT_EQ(box.caption, "アプリケーション エラー");
    EXPECT_EQ(box.text.rfind("TFailureがモジュール titles の ", 0), 0u) << box.text;
    EXPECT_NE(box.text.find(" で発生しました。\nウィンドウを作成できません."), std::string::npos) << box.text;
    EXPECT_EQ(FormMain, nullptr);
    EXPECT_EQ(AdjectiveList, nullptr) << "the creation handler never ran";
}

TEST_F(ProgramTest, MinimizedStartShowsNoWindow) {
    WriteLists();
    THeadlessConfig config;
    config.showRequest = framework::TShowRequest::MinimizedNoActivate;
    THeadlessBackend backend(config);
    bool visible = true;
    backend.Post([&] { visible = backend.MainForm()->IsVisible(); });
    Run(backend);
    EXPECT_FALSE(visible);
}

}  // namespace
}  // namespace titles::app
