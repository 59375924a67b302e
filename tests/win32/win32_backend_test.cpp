// The Win32 backend's windows, in this process: styles and ownership, the
// label's measure and text, mouse routing, the failure guard of the window
// procedures and the message loop, minimising, and the error boxes.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "framework/win32/win32_internal.h"
#include "base/failure.h"

namespace titles::framework::win32 {
namespace {

struct TMouseEvent {
    bool press = false;
    TMouseButton button = TMouseButton::Left;
    bool doubleClick = false;
    TPoint point;
    friend bool operator==(const TMouseEvent&, const TMouseEvent&) = default;
};

class TRecordingInput : public TLabelInput, public TFormInput {
public:
    void MousePress(TMouseButton button, bool doubleClick) override {
        if (failOnPress) throw TFailure(failOnPress);
        events.push_back({true, button, doubleClick, {}});
    }
    void MouseRelease(TMouseButton button, TPoint point) override {
        events.push_back({false, button, false, point});
    }
    void CloseRequested() override { ++closeRequests; }
    void Click() override { ADD_FAILURE() << "the Win32 backend raises clicks only through the mouse"; }

    const char* failOnPress = nullptr;
    std::vector<TMouseEvent> events;
    int closeRequests = 0;
};

class TRecordingSink : public TFailureSink {
public:
    void HandleEventFailure(std::exception_ptr failure) noexcept override {
        try {
            std::rethrow_exception(failure);
        } catch (const std::exception& e) {
            messages.emplace_back(e.what());
        }
    }
    void DeferFailure(std::exception_ptr) noexcept override { ADD_FAILURE() << "no failure is deferred"; }
    void ShowDeferredFailures() noexcept override {}
    std::vector<std::string> messages;
};

TFormDesign MainDesign() {
    TFormDesign design;
    design.name = "FormMain";
    design.className = "TTestForm";
    design.position = {300, 130};
    design.clientSize = {361, 26};
    return design;
}

const TFontSpec kArial{"Arial", 13, TCharset::Ansi};

RECT WindowRectOf(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

LPARAM At(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

void PumpPending() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

class Win32Backend : public ::testing::Test {
protected:
    void SetUp() override {
        backend_.CreateProgramWindow("Titles");
        form_ = std::make_unique<TWin32Form>(backend_, MainDesign(), input_);
        label_ = form_->CreateLabel(input_);
        labelWindow_ = static_cast<TWin32Label&>(*label_).Handle();
    }
    void TearDown() override {
        label_.reset();
        form_.reset();
        PumpPending();
    }

    TWin32Backend backend_;
    TRecordingInput input_;
    std::unique_ptr<TWin32Form> form_;
    std::unique_ptr<TNativeLabel> label_;
    HWND labelWindow_ = nullptr;
};

TEST_F(Win32Backend, ProgramWindowCarriesTheTitleAndATrimmedWindowMenu) {
    EXPECT_EQ(backend_.ProgramWindowTitle(), "Titles");
    HWND program = backend_.ProgramWindow();
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
    HWND main = form_->Handle();
    const auto style = static_cast<DWORD>(GetWindowLongA(main, GWL_STYLE));
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX), DWORD{WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX});
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MAXIMIZEBOX | WS_VISIBLE), 0u);
    EXPECT_EQ(GetClassLongPtrA(main, GCL_STYLE) & CS_DBLCLKS, ULONG_PTR{CS_DBLCLKS});
    EXPECT_EQ(GetClassLongPtrA(labelWindow_, GCL_STYLE) & CS_DBLCLKS, ULONG_PTR{CS_DBLCLKS});
    EXPECT_EQ(GetWindow(main, GW_OWNER), backend_.ProgramWindow());
    EXPECT_EQ(WindowRectOf(main).left, 300);
    EXPECT_EQ(WindowRectOf(main).top, 130);
    EXPECT_EQ(form_->ClientSize(), (TSize{361, 26}));
    EXPECT_FALSE(form_->IsVisible());
}

TEST_F(Win32Backend, ClientSizeKeepsTheCorner) {
    const RECT before = WindowRectOf(form_->Handle());
    form_->SetClientSize({200, 40});
    EXPECT_EQ(form_->ClientSize(), (TSize{200, 40}));
    const RECT after = WindowRectOf(form_->Handle());
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
}

TEST_F(Win32Backend, LabelMeasuresAsItDrawsWithPrefixesAndTabs) {
    const TSize plain = label_->SetText("Bold Night", kArial);
    EXPECT_GT(plain.width, 0);
    EXPECT_GT(plain.height, 0);
    // "&" marks the next character and takes no room; "&&" is one "&".
    EXPECT_EQ(label_->SetText("Bold &Night", kArial), plain);
    EXPECT_GT(label_->SetText("a&&b", kArial).width, label_->SetText("ab", kArial).width);
    EXPECT_EQ(label_->SetText("a&&b", kArial), label_->SetText("a&b&&", kArial));
    // A tab moves on to the next stop, past the text before it.
    const TSize tabbed = label_->SetText("a\tb", kArial);
    EXPECT_GT(tabbed.width, label_->SetText("a      b", kArial).width / 2);
    EXPECT_GT(tabbed.width, label_->SetText("ab", kArial).width);
    // A larger font measures larger.
    TFontSpec larger = kArial;
    larger.height = 26;
    EXPECT_GT(label_->SetText("Bold Night", larger).height, plain.height);
}

TEST_F(Win32Backend, LabelUpdateSetsItsWindowTextAndBounds) {
    label_->SetText("Bold Night", kArial);
    label_->SetBounds({0, 0, 80, 16});
    char text[64] = {};
    GetWindowTextA(labelWindow_, text, sizeof text);
    EXPECT_STREQ(text, "Bold Night");
    RECT r{};
    GetWindowRect(labelWindow_, &r);
    MapWindowPoints(nullptr, form_->Handle(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, 80);
    EXPECT_EQ(r.bottom, 16);
}

TEST_F(Win32Backend, MouseMessagesReachTheLabelInputWithSignedPoints) {
    SendMessageA(labelWindow_, WM_LBUTTONDOWN, MK_LBUTTON, At(3, 4));
    SendMessageA(labelWindow_, WM_LBUTTONUP, 0, At(-5, 70));
    SendMessageA(labelWindow_, WM_LBUTTONDBLCLK, MK_LBUTTON, At(3, 4));
    SendMessageA(labelWindow_, WM_RBUTTONDOWN, MK_RBUTTON, At(1, 1));
    SendMessageA(labelWindow_, WM_RBUTTONUP, 0, At(1, 1));
    SendMessageA(labelWindow_, WM_MBUTTONDBLCLK, MK_MBUTTON, At(1, 1));
    const std::vector<TMouseEvent> expected{
        {true, TMouseButton::Left, false, {}},    {false, TMouseButton::Left, false, {-5, 70}},
        {true, TMouseButton::Left, true, {}},     {true, TMouseButton::Right, false, {}},
        {false, TMouseButton::Right, false, {1, 1}}, {true, TMouseButton::Middle, true, {}},
    };
    EXPECT_EQ(input_.events, expected);
}

TEST_F(Win32Backend, TheLabelHoldsTheMouseFromALeftPressToTheRelease) {
    SendMessageA(labelWindow_, WM_RBUTTONDOWN, MK_RBUTTON, At(1, 1));
    EXPECT_EQ(GetCapture(), nullptr);
    SendMessageA(labelWindow_, WM_LBUTTONDOWN, MK_LBUTTON, At(1, 1));
    EXPECT_EQ(GetCapture(), labelWindow_);
    SendMessageA(labelWindow_, WM_LBUTTONUP, 0, At(1, 1));
    EXPECT_EQ(GetCapture(), nullptr);
    SendMessageA(labelWindow_, WM_LBUTTONDBLCLK, MK_LBUTTON, At(1, 1));
    EXPECT_EQ(GetCapture(), labelWindow_);
    backend_.CancelMouseCapture();
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(Win32Backend, CloseRequestsGoToTheFormInputAndLeaveTheWindow) {
    SendMessageA(form_->Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(input_.closeRequests, 1);
    EXPECT_TRUE(IsWindow(form_->Handle()));
    // Close on the task bar entry closes the main window.
    SendMessageA(backend_.ProgramWindow(), WM_CLOSE, 0, 0);
    EXPECT_EQ(input_.closeRequests, 2);
}

TEST_F(Win32Backend, HandlerFailuresInTheLoopGoToTheSinkAndTheLoopGoesOn) {
    input_.failOnPress = "press failed";
    TRecordingSink sink;
    PostMessageA(labelWindow_, WM_LBUTTONDOWN, MK_LBUTTON, At(1, 1));
    PostMessageA(labelWindow_, WM_LBUTTONDOWN, MK_LBUTTON, At(1, 1));
    PostMessageA(labelWindow_, WM_LBUTTONUP, 0, At(2, 2));
    backend_.Quit();
    backend_.SetFailureSink(&sink);
    backend_.RunEventLoop();
    backend_.SetFailureSink(nullptr);
    EXPECT_EQ(sink.messages, (std::vector<std::string>{"press failed", "press failed"}));
    ASSERT_EQ(input_.events.size(), 1u);
    EXPECT_EQ(input_.events[0].point, (TPoint{2, 2}));
}

TEST_F(Win32Backend, HandlerFailuresOutsideTheLoopGoToTheSinkAtOnce) {
    input_.failOnPress = "early failure";
    TRecordingSink sink;
    backend_.SetFailureSink(&sink);
    SendMessageA(labelWindow_, WM_LBUTTONDOWN, MK_LBUTTON, At(1, 1));
    backend_.SetFailureSink(nullptr);
    EXPECT_EQ(sink.messages, std::vector<std::string>{"early failure"});
}

TEST_F(Win32Backend, MinimisingTheMainWindowMinimisesTheProgramWindow) {
    form_->Show(TShowRequest::Normal);
    EXPECT_TRUE(form_->IsVisible());
    EXPECT_TRUE(IsWindowVisible(backend_.ProgramWindow()));
    const RECT before = WindowRectOf(form_->Handle());
    SendMessageA(form_->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_FALSE(form_->IsVisible());
    EXPECT_TRUE(IsIconic(backend_.ProgramWindow()));
    ShowWindow(backend_.ProgramWindow(), SW_RESTORE);
    EXPECT_TRUE(form_->IsVisible());
    EXPECT_FALSE(IsIconic(form_->Handle()));
    const RECT after = WindowRectOf(form_->Handle());
    EXPECT_TRUE(EqualRect(&after, &before));
}

TEST_F(Win32Backend, StartingMinimisedShowsOnlyTheTaskBarEntry) {
    form_->Show(TShowRequest::MinimizedNoActivate);
    EXPECT_FALSE(form_->IsVisible());
    EXPECT_TRUE(IsIconic(backend_.ProgramWindow()));
    SendMessageA(backend_.ProgramWindow(), WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_TRUE(form_->IsVisible());
    EXPECT_FALSE(IsZoomed(form_->Handle()));
}

TEST_F(Win32Backend, DestroyingTheMainWindowHidesTheProgramWindow) {
    form_->Show(TShowRequest::Normal);
    form_->Destroy();
    EXPECT_FALSE(IsWindowVisible(backend_.ProgramWindow()));
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
    form_->Show(TShowRequest::Normal);
    {
        TBoxAnswerer answerer(form_->Handle());
        backend_.ShowErrorBox("Titles", "ファイル caf\xE9.txt は開けません.");
        EXPECT_TRUE(answerer.answered);
        EXPECT_EQ(answerer.owner, backend_.ProgramWindow());
        EXPECT_EQ(answerer.caption, L"Titles");
        if (GetACP() == 1252) {
            EXPECT_EQ(answerer.text, L"ファイル café.txt は開けません.");
        }
        EXPECT_FALSE(answerer.mainEnabledDuringBox);
    }
    EXPECT_TRUE(IsWindowEnabled(form_->Handle()));
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
    form_->Show(TShowRequest::Normal);
    SetActiveWindow(form_->Handle());
    ASSERT_EQ(GetActiveWindow(), form_->Handle());
    HWND program = backend_.ProgramWindow();
    RECT home{};
    GetWindowRect(program, &home);
    gWindowOnSecondMonitor = form_->Handle();

    const struct {
        const char* what;
        TMonitorApi api;
        POINT duringBox;
    } cases[] = {
        {"active window on the second monitor", {&FakeMonitorFromWindow, &FakeGetMonitorInfo}, {2500, 400}},
        {"no monitor functions", {}, {home.left, home.top}},
    };
    for (const auto& c : cases) {
        backend_.SetMonitorApi(c.api);
        {
            TBoxAnswerer answerer(form_->Handle(), program);
            backend_.ShowErrorBox("Titles", "Moved?");
            ASSERT_TRUE(answerer.answered) << c.what;
            EXPECT_EQ(answerer.watchedDuringBox.left, c.duringBox.x) << c.what;
            EXPECT_EQ(answerer.watchedDuringBox.top, c.duringBox.y) << c.what;
        }
        RECT after{};
        GetWindowRect(program, &after);
        EXPECT_EQ(after.left, home.left) << c.what;
        EXPECT_EQ(after.top, home.top) << c.what;
        EXPECT_EQ(GetActiveWindow(), form_->Handle()) << c.what << ": activation not restored";
    }
}

TEST_F(Win32Backend, FatalBoxHasNoOwner) {
    TBoxAnswerer answerer(nullptr);
    backend_.ShowFatalBox("アプリケーション エラー", "Failed.");
    EXPECT_TRUE(answerer.answered);
    EXPECT_EQ(answerer.owner, nullptr);
    EXPECT_EQ(answerer.caption, L"アプリケーション エラー");
    EXPECT_EQ(answerer.text, L"Failed.");
    EXPECT_TRUE(backend_.FatalBoxShown());
}

// The title rules as the system gives them: under the Japanese code page a
// trail byte equal to "\\" is no directory separator ("表" is 0x95 0x5C in
// Shift-JIS), and the lower-casing starts at the second byte.
TEST(Win32TitleRules, FollowTheSystemCodePage) {
    TWin32Backend backend;
    const TTitleRules rules = backend.TitleRules();
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
