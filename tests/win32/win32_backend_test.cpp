// The Win32 window system, driven through the seam in this process: styles
// and ownership, the label's measure and text, mouse routing, the failure
// guard of the window procedures and the message loop, minimising, and the
// boxes.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/UMain.h"
#include "base/failure.h"
#include "framework/win32/win32_window_system.h"

namespace titles::framework::win32 {
namespace {

struct TMouseEvent {
    bool press = false;
    TMouseButton button = TMouseButton::Left;
    bool doubleClick = false;
    TPoint point;
    friend bool operator==(const TMouseEvent&, const TMouseEvent&) = default;
};

// What the window system reports up, recorded; a press can be made to fail.
class TRecordingEvents final : public TWindowEvents {
public:
    void LabelPressed(TMouseButton button, bool doubleClick) override {
        if (failOnPress != nullptr) throw TFailure(TFailureKind::CannotCreateWindow, failOnPress);
        events.push_back({true, button, doubleClick, {}});
    }
    void LabelReleased(TMouseButton button, TPoint point) override {
        events.push_back({false, button, false, point});
    }
    void LabelActionInvoked() override { ADD_FAILURE() << "the Win32 window system has no screen-reader action"; }
    void DisplayLost(std::exception_ptr) noexcept override { ADD_FAILURE() << "a Win32 desktop never goes away"; }
    void CloseRequested() override { ++closeRequests; }
    void EventFailed(std::exception_ptr failure) noexcept override {
        try {
            std::rethrow_exception(failure);
        } catch (const TFailure& e) {
            failures.push_back(e.Facts().name);
        } catch (...) {
            failures.emplace_back("?");
        }
    }

    const char* failOnPress = nullptr;
    std::vector<TMouseEvent> events;
    std::vector<std::string> failures;
    int closeRequests = 0;
};

const TWindowDesign kDesign{{300, 130}, {361, 26}, TSystemColour::ButtonFace, TSystemColour::WindowText, {0, 0, 41, 16}};

const TFontSpec kArial{"Arial", 13, TCharset::Ansi};

RECT WindowRectOf(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

std::string TitleOf(HWND window) {
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

LPARAM At(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

void PumpPending() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

SIZE ClientSizeOf(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    return {r.right - r.left, r.bottom - r.top};
}

class Win32Backend : public ::testing::Test {
protected:
    void SetUp() override { Build(TShowRequest::Normal); }
    void TearDown() override {
        windows_.reset();
        PumpPending();
    }
    // The window system as a launcher with this show request starts it.
    void Build(TShowRequest request) {
        windows_.reset();
        windows_ = std::make_unique<TWin32WindowSystem>(request);
        windows_->BuildWindow(kDesign, "Titles", events_);
        program_ = windows_->ProgramWindow();
        main_ = windows_->MainWindow();
        label_ = windows_->LabelWindow();
    }

    TRecordingEvents events_;
    std::unique_ptr<TWin32WindowSystem> windows_;
    HWND program_ = nullptr;
    HWND main_ = nullptr;
    HWND label_ = nullptr;
};

TEST_F(Win32Backend, ProgramWindowCarriesTheTitleAndATrimmedWindowMenu) {
    EXPECT_EQ(TitleOf(program_), "Titles");
    HWND program = program_;
    RECT r{};
    GetWindowRect(program, &r);
    EXPECT_EQ(r.right - r.left, 0);
    EXPECT_EQ(r.bottom - r.top, 0);
    // The program's icon, for the task bar entry.
    EXPECT_NE(GetClassLongPtrA(program, GCLP_HICON), 0u);
    EXPECT_NE(SendMessageA(program, WM_GETICON, ICON_BIG, 0), 0);
    HMENU menu = GetSystemMenu(program, FALSE);
    ASSERT_NE(menu, nullptr);
    for (UINT removed : {SC_MAXIMIZE, SC_SIZE, SC_MOVE}) {
        EXPECT_EQ(GetMenuState(menu, removed, MF_BYCOMMAND), static_cast<UINT>(-1)) << removed;
    }
    for (UINT kept : {SC_RESTORE, SC_MINIMIZE, SC_CLOSE}) {
        EXPECT_NE(GetMenuState(menu, kept, MF_BYCOMMAND), static_cast<UINT>(-1)) << kept;
    }
}

TEST_F(Win32Backend, MainWindowIsAFixedFrameOwnedByTheProgramWindow) {
    HWND main = main_;
    const auto style = static_cast<DWORD>(GetWindowLongA(main, GWL_STYLE));
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX), DWORD{WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX});
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MAXIMIZEBOX | WS_VISIBLE), 0u);
    EXPECT_EQ(GetClassLongPtrA(main, GCL_STYLE) & CS_DBLCLKS, ULONG_PTR{CS_DBLCLKS});
    EXPECT_EQ(GetClassLongPtrA(label_, GCL_STYLE) & CS_DBLCLKS, ULONG_PTR{CS_DBLCLKS});
    EXPECT_EQ(GetWindow(main, GW_OWNER), program_);
    EXPECT_EQ(WindowRectOf(main).left, 300);
    EXPECT_EQ(WindowRectOf(main).top, 130);
    EXPECT_EQ(ClientSizeOf(main_).cx, 361);
    EXPECT_EQ(ClientSizeOf(main_).cy, 26);
    EXPECT_FALSE(IsWindowVisible(main_));
}

TEST_F(Win32Backend, ClientSizeKeepsTheCorner) {
    const RECT before = WindowRectOf(main_);
    windows_->SetClientSize({200, 40});
    EXPECT_EQ(ClientSizeOf(main_).cx, 200);
    EXPECT_EQ(ClientSizeOf(main_).cy, 40);
    const RECT after = WindowRectOf(main_);
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
}

TEST_F(Win32Backend, LabelMeasuresAsItDrawsWithPrefixesAndTabs) {
    const TSize plain = windows_->SetLabelText("Bold Night", kArial);
    EXPECT_GT(plain.width, 0);
    EXPECT_GT(plain.height, 0);
    // "&" marks the next character and takes no room; "&&" is one "&".
    EXPECT_EQ(windows_->SetLabelText("Bold &Night", kArial), plain);
    EXPECT_GT(windows_->SetLabelText("a&&b", kArial).width, windows_->SetLabelText("ab", kArial).width);
    EXPECT_EQ(windows_->SetLabelText("a&&b", kArial), windows_->SetLabelText("a&b&&", kArial));
    // A tab moves on to the next stop, past the text before it.
    const TSize tabbed = windows_->SetLabelText("a\tb", kArial);
    EXPECT_GT(tabbed.width, windows_->SetLabelText("a      b", kArial).width / 2);
    EXPECT_GT(tabbed.width, windows_->SetLabelText("ab", kArial).width);
    // A larger font measures larger.
    TFontSpec larger = kArial;
    larger.height = 26;
    EXPECT_GT(windows_->SetLabelText("Bold Night", larger).height, plain.height);
}

TEST_F(Win32Backend, LabelUpdateSetsItsWindowTextAndBounds) {
    windows_->SetLabelText("Bold Night", kArial);
    windows_->SetLabelBounds({0, 0, 80, 16});
    char text[64] = {};
    GetWindowTextA(label_, text, sizeof text);
    EXPECT_STREQ(text, "Bold Night");
    RECT r{};
    GetWindowRect(label_, &r);
    MapWindowPoints(nullptr, main_, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, 80);
    EXPECT_EQ(r.bottom, 16);
}

TEST_F(Win32Backend, MouseMessagesReachTheLabelInputWithSignedPoints) {
    SendMessageA(label_, WM_LBUTTONDOWN, MK_LBUTTON, At(3, 4));
    SendMessageA(label_, WM_LBUTTONUP, 0, At(-5, 70));
    SendMessageA(label_, WM_LBUTTONDBLCLK, MK_LBUTTON, At(3, 4));
    SendMessageA(label_, WM_RBUTTONDOWN, MK_RBUTTON, At(1, 1));
    SendMessageA(label_, WM_RBUTTONUP, 0, At(1, 1));
    SendMessageA(label_, WM_MBUTTONDBLCLK, MK_MBUTTON, At(1, 1));
    const std::vector<TMouseEvent> expected{
        {true, TMouseButton::Left, false, {}},    {false, TMouseButton::Left, false, {-5, 70}},
        {true, TMouseButton::Left, true, {}},     {true, TMouseButton::Right, false, {}},
        {false, TMouseButton::Right, false, {1, 1}}, {true, TMouseButton::Middle, true, {}},
    };
    EXPECT_EQ(events_.events, expected);
}

TEST_F(Win32Backend, TheLabelHoldsTheMouseFromALeftPressToTheRelease) {
    SendMessageA(label_, WM_RBUTTONDOWN, MK_RBUTTON, At(1, 1));
    EXPECT_EQ(GetCapture(), nullptr);
    SendMessageA(label_, WM_LBUTTONDOWN, MK_LBUTTON, At(1, 1));
    EXPECT_EQ(GetCapture(), label_);
    SendMessageA(label_, WM_LBUTTONUP, 0, At(1, 1));
    EXPECT_EQ(GetCapture(), nullptr);
    SendMessageA(label_, WM_LBUTTONDBLCLK, MK_LBUTTON, At(1, 1));
    EXPECT_EQ(GetCapture(), label_);
}

TEST_F(Win32Backend, CloseRequestsGoUpAndLeaveTheWindow) {
    SendMessageA(main_, WM_CLOSE, 0, 0);
    EXPECT_EQ(events_.closeRequests, 1);
    EXPECT_TRUE(IsWindow(main_));
    // Close on the task bar entry closes the main window.
    SendMessageA(program_, WM_CLOSE, 0, 0);
    EXPECT_EQ(events_.closeRequests, 2);
}

TEST_F(Win32Backend, HandlerFailuresInTheLoopGoUpAndTheLoopGoesOn) {
    events_.failOnPress = "press failed";
    PostMessageA(label_, WM_LBUTTONDOWN, MK_LBUTTON, At(1, 1));
    PostMessageA(label_, WM_LBUTTONDOWN, MK_LBUTTON, At(1, 1));
    PostMessageA(label_, WM_LBUTTONUP, 0, At(2, 2));
    windows_->Quit();
    windows_->Run();
    EXPECT_EQ(events_.failures, (std::vector<std::string>{"press failed", "press failed"}));
    ASSERT_EQ(events_.events.size(), 1u);
    EXPECT_EQ(events_.events[0].point, (TPoint{2, 2}));
}

TEST_F(Win32Backend, HandlerFailuresOutsideTheLoopGoUpAtOnce) {
    events_.failOnPress = "early failure";
    SendMessageA(label_, WM_LBUTTONDOWN, MK_LBUTTON, At(1, 1));
    EXPECT_EQ(events_.failures, std::vector<std::string>{"early failure"});
}

TEST_F(Win32Backend, MinimisingTheMainWindowMinimisesTheProgramWindow) {
    windows_->Show();
    EXPECT_TRUE(IsWindowVisible(main_));
    EXPECT_TRUE(IsWindowVisible(program_));
    const RECT before = WindowRectOf(main_);
    SendMessageA(main_, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_FALSE(IsWindowVisible(main_));
    EXPECT_TRUE(IsIconic(program_));
    ShowWindow(program_, SW_RESTORE);
    EXPECT_TRUE(IsWindowVisible(main_));
    EXPECT_FALSE(IsIconic(main_));
    const RECT after = WindowRectOf(main_);
    EXPECT_TRUE(EqualRect(&after, &before));
}

TEST_F(Win32Backend, StartingMinimisedShowsOnlyTheTaskBarEntry) {
    Build(TShowRequest::MinimizedNoActivate);
    windows_->Show();
    EXPECT_FALSE(IsWindowVisible(main_));
    EXPECT_TRUE(IsIconic(program_));
    SendMessageA(program_, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_TRUE(IsWindowVisible(main_));
    EXPECT_FALSE(IsZoomed(main_));
}

TEST_F(Win32Backend, StartingMaximisedZoomsTheMainWindow) {
    Build(TShowRequest::Maximized);
    windows_->Show();
    EXPECT_TRUE(IsZoomed(main_));
    EXPECT_TRUE(IsWindowVisible(program_));
}

TEST_F(Win32Backend, TheWindowSystemTakesItsWindowsWithItWhenItGoes) {
    windows_->Show();
    windows_.reset();
    for (HWND window : {program_, main_, label_}) EXPECT_FALSE(IsWindow(window));
}

// Answers the first message box of this process from another thread, after
// recording what it showed and whether the main window was disabled.
class TBoxAnswerer {
public:
    explicit TBoxAnswerer(HWND main, HWND watched = nullptr)
        : main_(main), watched_(watched), thread_([this] { Run(); }) {}
    ~TBoxAnswerer() { thread_.join(); }

    HWND owner = nullptr;
    std::wstring caption;
    std::wstring text;
    bool mainEnabledDuringBox = true;
    RECT watchedDuringBox{};  // where the watched window was while the box was up
    std::atomic<bool> answered{false};

private:
    void Run() {
        for (int i = 0; i < 500 && !answered; ++i) {
            HWND box = FindBox();
            if (box != nullptr) {
                owner = GetWindow(box, GW_OWNER);
                wchar_t buffer[512] = {};
                GetWindowTextW(box, buffer, 512);
                caption = buffer;
                GetDlgItemTextW(box, 0xFFFF, buffer, 512);
                text = buffer;
                mainEnabledDuringBox = main_ != nullptr && IsWindowEnabled(main_);
                if (watched_ != nullptr) GetWindowRect(watched_, &watchedDuringBox);
                // Recorded before the answer, which lets the box's caller go on.
                answered = true;
                PostMessageA(box, WM_COMMAND, IDOK, 0);
                return;
            }
            Sleep(20);
        }
    }
    static BOOL CALLBACK Match(HWND window, LPARAM found) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        char name[16] = {};
        GetClassNameA(window, name, sizeof name);
        if (process == GetCurrentProcessId() && std::string(name) == "#32770" && IsWindowVisible(window)) {
            *reinterpret_cast<HWND*>(found) = window;
            return FALSE;
        }
        return TRUE;
    }
    static HWND FindBox() {
        HWND found = nullptr;
        EnumWindows(&Match, reinterpret_cast<LPARAM>(&found));
        return found;
    }

    HWND main_;
    HWND watched_;
    std::thread thread_;
};

TEST_F(Win32Backend, ErrorBoxIsOwnedByTheProgramWindowAndDisablesTheOthers) {
    windows_->Show();
    {
        TBoxAnswerer answerer(main_);
        windows_->ErrorBox("Titles", "ファイル caf\xE9.txt は開けません.");
        EXPECT_TRUE(answerer.answered);
        EXPECT_EQ(answerer.owner, program_);
        EXPECT_EQ(answerer.caption, L"Titles");
        if (GetACP() == 1252) {
            EXPECT_EQ(answerer.text, L"ファイル café.txt は開けません.");
        }
        EXPECT_FALSE(answerer.mainEnabledDuringBox);
    }
    EXPECT_TRUE(IsWindowEnabled(main_));
}

// Two monitors side by side, the second from x 2000 to 3000: the main
// window counts as lying on the second, everything else on the first.
HWND gWindowOnSecondMonitor = nullptr;
HMONITOR WINAPI FakeMonitorFromWindow(HWND window, DWORD) {
    return reinterpret_cast<HMONITOR>(static_cast<INT_PTR>(window == gWindowOnSecondMonitor ? 2 : 1));
}
BOOL WINAPI FakeGetMonitorInfo(HMONITOR monitor, LPMONITORINFO info) {
    info->rcMonitor = monitor == reinterpret_cast<HMONITOR>(INT_PTR{2}) ? RECT{2000, 0, 3000, 800}
                                                                        : RECT{0, 0, 1280, 1024};
    info->rcWork = info->rcMonitor;
    return TRUE;
}

TEST_F(Win32Backend, ErrorBoxComesUpOnTheMonitorOfTheActiveWindow) {
    windows_->Show();
    SetActiveWindow(main_);
    ASSERT_EQ(GetActiveWindow(), main_);
    HWND program = program_;
    RECT home{};
    GetWindowRect(program, &home);
    gWindowOnSecondMonitor = main_;

    const struct {
        const char* what;
        TMonitorApi api;
        POINT duringBox;
    } cases[] = {
        {"active window on the second monitor", {&FakeMonitorFromWindow, &FakeGetMonitorInfo}, {2500, 400}},
        {"no monitor functions", {}, {home.left, home.top}},
    };
    for (const auto& c : cases) {
        windows_->SetMonitorApi(c.api);
        {
            TBoxAnswerer answerer(main_, program);
            windows_->ErrorBox("Titles", "Moved?");
            ASSERT_TRUE(answerer.answered) << c.what;
            EXPECT_EQ(answerer.watchedDuringBox.left, c.duringBox.x) << c.what;
            EXPECT_EQ(answerer.watchedDuringBox.top, c.duringBox.y) << c.what;
        }
        RECT after{};
        GetWindowRect(program, &after);
        EXPECT_EQ(after.left, home.left) << c.what;
        EXPECT_EQ(after.top, home.top) << c.what;
        EXPECT_EQ(GetActiveWindow(), main_) << c.what << ": activation not restored";
    }
}

TEST_F(Win32Backend, FatalBoxHasNoOwnerAndACaptionOfAtMost63Bytes) {
    const struct {
        std::string caption;
        std::wstring shown;
    } cases[] = {
        {"アプリケーション エラー", L"アプリケーション エラー"},
        {std::string(70, 'x'), std::wstring(63, L'x')},
    };
    for (const auto& c : cases) {
        TBoxAnswerer answerer(nullptr);
        windows_->FatalBox(c.caption, "Failed.");
        EXPECT_TRUE(answerer.answered);
        EXPECT_EQ(answerer.owner, nullptr);
        EXPECT_EQ(answerer.caption, c.shown);
        EXPECT_EQ(answerer.text, L"Failed.");
    }
}

// The title rules as the system gives them: under the Japanese code page a
// trail byte equal to "\\" is no directory separator ("表" is 0x95 0x5C in
// Shift-JIS), and the lower-casing starts at the second byte.
TEST(Win32TitleRules, FollowTheSystemCodePage) {
    TWin32WindowSystem windows(TShowRequest::Normal);
    const TTitleRules rules = windows.TitleRules();
    using app::DeriveProgramTitle;
    EXPECT_EQ(DeriveProgramTitle("C:\\Program Files\\v1.2\\MY.TOOL.EXE", rules), "My");
    EXPECT_EQ(DeriveProgramTitle("C:\\ABC", rules), "Abc");
    if (GetACP() != 932) GTEST_SKIP() << "the double-byte cases need code page 932 (LC_ALL=ja_JP.UTF-8)";
    EXPECT_EQ(DeriveProgramTitle("C:\\\x83\x5C\x83\x74\x83\x67\\\x95\x5C.EXE", rules), "\x95\x5C");
    EXPECT_EQ(DeriveProgramTitle("C:\\\x95\x5C" "ABC.EXE", rules), "\x95\x5C" "abc");
}

TEST(ShowRequestFromStartup, OnlyThreeAndSevenChangeTheFirstShowing) {
    EXPECT_EQ(ShowRequestFromStartup(false, SW_SHOWMAXIMIZED), TShowRequest::Normal);
    EXPECT_EQ(ShowRequestFromStartup(true, SW_SHOWMAXIMIZED), TShowRequest::Maximized);
    EXPECT_EQ(ShowRequestFromStartup(true, SW_SHOWMINNOACTIVE), TShowRequest::MinimizedNoActivate);
    for (unsigned other : {0u, 1u, 2u, 4u, 5u, 6u, 8u, 9u, 10u, 11u}) {
        EXPECT_EQ(ShowRequestFromStartup(true, other), TShowRequest::Normal) << other;
    }
}

}  // namespace
}  // namespace titles::framework::win32
