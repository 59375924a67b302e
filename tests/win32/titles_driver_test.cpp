// titles.exe end to end: started the way Windows starts it, looked at and
// clicked through its windows from this process.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "support/test_support.h"
#include "window_probe.h"

namespace titles::test_support {
namespace {

constexpr const char* kMainClass = "TFormMain";
constexpr const char* kLabelClass = "TitlesLabel";
constexpr const char* kProgramClass = "TitlesApplication";
constexpr const char* kBoxClass = "#32770";
constexpr int kBoxTextId = 0xFFFF;

std::string DataFile(const std::string& name) { return WindowsPath(std::string(TITLES_DATA_DIR) + "/" + name); }

// Copies titles.exe to dir\relative and returns the copy's full path.
std::string CopyProgram(const std::filesystem::path& dir, const std::string& relative,
                        const std::string& source = WindowsPath(TITLES_EXE)) {
    const std::filesystem::path target = dir / relative;
    std::filesystem::create_directories(target.parent_path());
    const std::string path = target.string();
    if (!CopyFileA(source.c_str(), path.c_str(), FALSE)) throw std::runtime_error("cannot copy to " + path);
    return path;
}

void CopyWordFiles(const std::filesystem::path& dir, bool adjectives = true, bool nouns = true) {
    for (const char* name : {"adjectives.txt", "nouns.txt"}) {
        const bool wanted = std::string(name) == "adjectives.txt" ? adjectives : nouns;
        if (!wanted) continue;
        const std::string target = (dir / name).string();
        if (!CopyFileA(DataFile(name).c_str(), target.c_str(), FALSE)) throw std::runtime_error("cannot copy " + target);
    }
}

HWND LabelOf(HWND main) { return FindWindowExA(main, nullptr, kLabelClass, nullptr); }

RECT WindowRectOf(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

// The designed client size as this screen scales it: by the height of "0"
// in the window's font against the designed 15.
SIZE ScaledDesignClientSize() {
    HFONT font = CreateFontA(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "MS Sans Serif");
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, font);
    SIZE zero{};
    GetTextExtentPoint32A(screen, "0", 1, &zero);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    DeleteObject(font);
    return {MulDiv(361, zero.cy, 15), MulDiv(26, zero.cy, 15)};
}

void ExpectFitted(HWND main, HWND label) {
    const SIZE client = ClientSizeOf(main);
    const SIZE text = ClientSizeOf(label);
    EXPECT_GT(text.cx, 0);
    EXPECT_GT(text.cy, 0);
    EXPECT_EQ(client.cy, text.cy);
    if (client.cx > text.cx) {
        // A short phrase: the system keeps a captioned window at its
        // minimum width, and the rest of the client area is background.
        const RECT outer = WindowRectOf(main);
        EXPECT_EQ(outer.right - outer.left, GetSystemMetrics(SM_CXMINTRACK)) << "client wider than the phrase";
    } else {
        EXPECT_EQ(client.cx, text.cx);
    }
    POINT corner{0, 0};
    MapWindowPoints(label, main, &corner, 1);
    EXPECT_EQ(corner.x, 0);
    EXPECT_EQ(corner.y, 0);
}

// The pixels of a screen rectangle, row by row, as 0x00RRGGBB.
std::vector<std::uint32_t> ScreenPixels(const RECT& area) {
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    GdiFlush();
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    std::vector<std::uint32_t> copy(pixels, pixels + static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return copy;
}

std::uint32_t AsPixel(COLORREF color) {
    return (static_cast<std::uint32_t>(GetRValue(color)) << 16) | (static_cast<std::uint32_t>(GetGValue(color)) << 8) |
           GetBValue(color);
}

// How many pixels are much darker than the button face: the drawn text.
std::size_t TextPixels(const std::vector<std::uint32_t>& pixels) {
    std::size_t dark = 0;
    for (std::uint32_t p : pixels) {
        if (((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF) < 300) ++dark;
    }
    return dark;
}

LPARAM At(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

class TitlesProgram : public ::testing::Test {
protected:
    // The program gets a %APPDATA% of its own, empty unless a test fills it:
    // the user's real one (which other suites fill for a while) is never read.
    void SetUp() override {
        char old[MAX_PATH + 1] = {};
        const DWORD length = GetEnvironmentVariableA("APPDATA", old, MAX_PATH);
        oldAppData_ = length > 0 && length < MAX_PATH ? std::optional<std::string>(old) : std::nullopt;
        SetEnvironmentVariableA("APPDATA", (dir_.Path() / "appdata").string().c_str());
    }
    void TearDown() override { SetEnvironmentVariableA("APPDATA", oldAppData_ ? oldAppData_->c_str() : nullptr); }

    // Starts titles.exe in the test directory with the word files, as
    // bin\TITLES.EXE, and waits for its visible main window.
    void StartWithWords(std::optional<WORD> show = std::nullopt) {
        CopyWordFiles(dir_.Path());
        Start(show);
        main_ = program_->WaitForTopLevel(kMainClass, true);
        ASSERT_NE(main_, nullptr) << "no visible main window";
        label_ = LabelOf(main_);
        ASSERT_NE(label_, nullptr);
        programWindow_ = GetWindow(main_, GW_OWNER);
    }

    void Start(std::optional<WORD> show = std::nullopt, const std::string& name = "bin\\TITLES.EXE") {
        program_ = std::make_unique<TProgram>(CopyProgram(dir_.Path(), name), dir_.Path().string(), show);
    }

    // Closes the main window and expects the process to end with code 0.
    void CloseAndExpectExitZero() {
        PostMessageA(main_, WM_CLOSE, 0, 0);
        const auto code = program_->WaitForExit();
        ASSERT_TRUE(code.has_value()) << "still running after WM_CLOSE";
        EXPECT_EQ(*code, 0u);
    }

    HWND WaitForBox() const { return program_->WaitForTopLevel(kBoxClass, true); }

    // Clicks with messages handled one by one, as the left button makes them.
    void Click(int x = 2, int y = 2) {
        Send(label_, WM_LBUTTONDOWN, MK_LBUTTON, At(x, y));
        Send(label_, WM_LBUTTONUP, 0, At(x, y));
    }

    TTempDir dir_;
    std::optional<std::string> oldAppData_;
    std::unique_ptr<TProgram> program_;
    HWND main_ = nullptr;
    HWND label_ = nullptr;
    HWND programWindow_ = nullptr;
};

TEST_F(TitlesProgram, ShowsAPhraseInAFixedWindowFittedToIt) {
    StartWithWords();
    const std::string phrase = TextOf(label_);
    EXPECT_FALSE(phrase.empty());
    EXPECT_NE(phrase, "Label1");
    ExpectFitted(main_, label_);

    const RECT outer = WindowRectOf(main_);
    EXPECT_EQ(outer.left, 300);
    EXPECT_EQ(outer.top, 130);
    EXPECT_EQ(TextOf(main_), "") << "the title bar stays empty";

    const auto style = static_cast<DWORD>(GetWindowLongA(main_, GWL_STYLE));
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX), DWORD{WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX});
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MAXIMIZEBOX | WS_CHILD), 0u);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(main_, GWL_EXSTYLE)) & (WS_EX_APPWINDOW | WS_EX_TOPMOST), 0u);

    // The program-level window owns the main window and carries the title
    // derived from TITLES.EXE; it has no size and is shown for the task bar.
    ASSERT_NE(programWindow_, nullptr);
    EXPECT_EQ(ClassNameOf(programWindow_), kProgramClass);
    EXPECT_EQ(TextOf(programWindow_), "Titles");
    EXPECT_TRUE(IsWindowVisible(programWindow_));
    const RECT programRect = WindowRectOf(programWindow_);
    EXPECT_EQ(programRect.right - programRect.left, 0);
    EXPECT_EQ(programRect.bottom - programRect.top, 0);
    EXPECT_EQ(GetWindow(programWindow_, GW_OWNER), nullptr);

    CloseAndExpectExitZero();
}

TEST_F(TitlesProgram, ThePhraseIsDrawnOnTheButtonFaceAndRedrawnAfterAClick) {
    StartWithWords();
    SetForegroundWindow(main_);
    RECT area{};
    GetWindowRect(label_, &area);
    // Text on the label, drawn over a background of the button face.
    const std::uint32_t face = AsPixel(GetSysColor(COLOR_BTNFACE));
    auto drawn = [&](const std::vector<std::uint32_t>& pixels) {
        const auto background = static_cast<std::size_t>(std::count(pixels.begin(), pixels.end(), face));
        return background > pixels.size() / 2 && TextPixels(pixels) > 20;
    };
    std::vector<std::uint32_t> before;
    ASSERT_TRUE(WaitUntil([&] {
        before = ScreenPixels(area);
        return drawn(before);
    })) << "the phrase was not drawn on the button face";

    const std::string shown = TextOf(label_);
    Click();
    ASSERT_NE(TextOf(label_), shown);
    GetWindowRect(label_, &area);
    EXPECT_TRUE(WaitUntil([&] {
        const auto after = ScreenPixels(area);
        return drawn(after) && after != before;
    })) << "the new phrase was not drawn";
    CloseAndExpectExitZero();
}

TEST_F(TitlesProgram, ClicksShowNewPhrasesAndADoubleClickExactlyOne) {
    StartWithWords();
    std::string shown = TextOf(label_);

    for (int i = 0; i < 3; ++i) {
        Click();
        const std::string next = TextOf(label_);
        EXPECT_NE(next, shown) << "click " << i;
        ExpectFitted(main_, label_);
        shown = next;
    }

    // Press, release, second press, release: one click, one new phrase.
    Click();
    const std::string afterFirst = TextOf(label_);
    EXPECT_NE(afterFirst, shown);
    Send(label_, WM_LBUTTONDBLCLK, MK_LBUTTON, At(2, 2));
    EXPECT_EQ(TextOf(label_), afterFirst);
    Send(label_, WM_LBUTTONUP, 0, At(2, 2));
    EXPECT_EQ(TextOf(label_), afterFirst) << "the release after a double click raised a click";
    shown = afterFirst;

    // Right and middle buttons do nothing.
    for (UINT message : {WM_RBUTTONDOWN, WM_RBUTTONUP, WM_RBUTTONDBLCLK, WM_RBUTTONUP, WM_MBUTTONDOWN,
                         WM_MBUTTONUP, WM_MBUTTONDBLCLK, WM_MBUTTONUP}) {
        Send(label_, message, 0, At(2, 2));
    }
    EXPECT_EQ(TextOf(label_), shown);

    // Pressed on the phrase, released outside it (the label holds the
    // capture, so the release comes to it with outside coordinates).
    const SIZE size = ClientSizeOf(label_);
    Send(label_, WM_LBUTTONDOWN, MK_LBUTTON, At(2, 2));
    Send(label_, WM_LBUTTONUP, 0, At(size.cx + 5, 2));
    Send(label_, WM_LBUTTONDOWN, MK_LBUTTON, At(2, 2));
    Send(label_, WM_LBUTTONUP, 0, At(-3, -3));
    EXPECT_EQ(TextOf(label_), shown);

    // Clicks that come through the message queue.
    PostMessageA(label_, WM_LBUTTONDOWN, MK_LBUTTON, At(1, 1));
    PostMessageA(label_, WM_LBUTTONUP, 0, At(1, 1));
    EXPECT_TRUE(WaitUntil([&] { return TextOf(label_) != shown; })) << "posted click showed nothing";
    ExpectFitted(main_, label_);

    CloseAndExpectExitZero();
}

// One mouse event at a point of the screen: every event carries its
// position, so a button goes down or up exactly where it is meant to. time,
// when not 0, is the event's time stamp, by which the system tells a double
// click from two clicks.
void SendMouse(DWORD flags, POINT screen, DWORD time = 0) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.time = time;
    input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    input.mi.dx = MulDiv(screen.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(screen.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    SendInput(1, &input, sizeof input);
    WaitUntil([&] {
        POINT at{};
        GetCursorPos(&at);
        return at.x == screen.x && at.y == screen.y;
    }, std::chrono::seconds(2));
}

// Clicks made with the mouse itself: the system finds the label under the
// pointer and makes the second press of a double click WM_LBUTTONDBLCLK.
TEST_F(TitlesProgram, RealClicksShowOnePhraseEachAndOnePerDoubleClick) {
    StartWithWords();
    SetForegroundWindow(main_);
    RECT labelRect{};
    GetWindowRect(label_, &labelRect);
    const POINT inside{labelRect.left + 3, labelRect.top + 3};
    SendMouse(0, inside);
    Sleep(GetDoubleClickTime() + 50);

    // Input is handled by the program in its own time: each step below is
    // given that time before the label is read.
    const auto settle = [] { Sleep(GetDoubleClickTime() + 300); };
    std::string shown = TextOf(label_);
    SendMouse(MOUSEEVENTF_LEFTDOWN, inside);
    SendMouse(MOUSEEVENTF_LEFTUP, inside);
    ASSERT_TRUE(WaitUntil([&] { return TextOf(label_) != shown; })) << "a real click showed nothing";
    settle();
    shown = TextOf(label_);

    // Pressed on the phrase, dragged off the window, released: nothing;
    // and nothing for the right button.
    const POINT outside{inside.x + 600, inside.y + 400};
    SendMouse(MOUSEEVENTF_LEFTDOWN, inside);
    SendMouse(0, outside);
    SendMouse(MOUSEEVENTF_LEFTUP, outside);
    SendMouse(MOUSEEVENTF_RIGHTDOWN, inside);
    SendMouse(MOUSEEVENTF_RIGHTUP, inside);
    settle();
    EXPECT_EQ(TextOf(label_), shown) << "dragging off or the right button showed a phrase";
    shown = TextOf(label_);

    // A double click shows exactly one phrase: its first click shows one,
    // its second press and release nothing. The events carry time stamps a
    // millisecond apart, as a mouse stamps them, so the system pairs the two
    // clicks however long the test takes between them: stamped as they were
    // sent, a test slowed down by load made them two clicks.
    const DWORD stamp = GetTickCount();
    SendMouse(MOUSEEVENTF_LEFTDOWN, inside, stamp);
    SendMouse(MOUSEEVENTF_LEFTUP, inside, stamp + 1);
    ASSERT_TRUE(WaitUntil([&] { return TextOf(label_) != shown; })) << "a real double click showed nothing";
    const std::string afterDoubleClick = TextOf(label_);
    SendMouse(MOUSEEVENTF_LEFTDOWN, inside, stamp + 2);
    SendMouse(MOUSEEVENTF_LEFTUP, inside, stamp + 3);
    settle();
    EXPECT_EQ(TextOf(label_), afterDoubleClick) << "a double click showed a second phrase";
    ExpectFitted(main_, label_);
    CloseAndExpectExitZero();
}

// Runs xdotool (a Linux program: Wine starts it as one) with arguments
// and gives the X server and Wine time to pass its events on.
bool RunXdotool(const std::string& arguments) {
    const std::string program = "Z:\\usr\\bin\\xdotool";
    if (GetFileAttributesA(program.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::string commandLine = "xdotool " + arguments;
    if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info)) {
        return false;
    }
    // Wine gives no handle for a Linux process: wait for its effect instead.
    if (info.hProcess != nullptr) {
        WaitForSingleObject(info.hProcess, 10000);
        CloseHandle(info.hProcess);
        CloseHandle(info.hThread);
    }
    return true;
}

// Clicks through the X server, as a user's mouse makes them.
TEST_F(TitlesProgram, ClicksThroughTheXServerShowNewPhrases) {
    StartWithWords();
    RECT labelRect{};
    GetWindowRect(label_, &labelRect);
    const std::string at = std::to_string(labelRect.left + 3) + " " + std::to_string(labelRect.top + 3);
    std::string shown = TextOf(label_);
    if (!RunXdotool("mousemove " + at + " click 1")) GTEST_SKIP() << "xdotool is not installed";
    ASSERT_TRUE(WaitUntil([&] { return TextOf(label_) != shown; })) << "a click through X showed nothing";
    ExpectFitted(main_, label_);
    Sleep(GetDoubleClickTime() + 300);
    shown = TextOf(label_);
    // The two clicks go out back to back: with a pause between them, an
    // xdotool slowed down by load could pass the double-click time and make
    // them two clicks.
    ASSERT_TRUE(RunXdotool("mousedown 1 mouseup 1 mousedown 1 mouseup 1"));
    ASSERT_TRUE(WaitUntil([&] { return TextOf(label_) != shown; })) << "a double click through X showed nothing";
    const std::string afterDoubleClick = TextOf(label_);
    Sleep(GetDoubleClickTime() + 300);
    EXPECT_EQ(TextOf(label_), afterDoubleClick) << "a double click through X showed a second phrase";
    CloseAndExpectExitZero();
}

TEST_F(TitlesProgram, AMovedWindowIsResizedAboutItsNewCorner) {
    StartWithWords();
    ASSERT_TRUE(SetWindowPos(main_, nullptr, 420, 250, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE));
    ASSERT_TRUE(WaitUntil([&] { return WindowRectOf(main_).left == 420; }));
    const std::string shown = TextOf(label_);
    Click();
    EXPECT_NE(TextOf(label_), shown);
    const RECT outer = WindowRectOf(main_);
    EXPECT_EQ(outer.left, 420);
    EXPECT_EQ(outer.top, 250);
    ExpectFitted(main_, label_);
    CloseAndExpectExitZero();
}

TEST_F(TitlesProgram, MissingWordFilesGiveOneBoxThenTheDesignedWindow) {
    Start();  // neither word file is there
    const HWND box = WaitForBox();
    ASSERT_NE(box, nullptr) << "no error box";
    main_ = program_->FindTopLevel(kMainClass);
    ASSERT_NE(main_, nullptr);
    label_ = LabelOf(main_);
    programWindow_ = GetWindow(main_, GW_OWNER);
    EXPECT_FALSE(IsWindowVisible(main_)) << "the box comes before the window";
    EXPECT_EQ(GetWindow(box, GW_OWNER), programWindow_);
    EXPECT_EQ(WideTextOf(box), L"Titles");
    EXPECT_EQ(DialogItemText(box, kBoxTextId), L"ファイル adjectives.txt は開けません.");

    PostMessageA(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main_) != FALSE; })) << "no window after the box";
    EXPECT_EQ(TextOf(label_), "Label1");
    const SIZE client = ClientSizeOf(main_);
    const SIZE designed = ScaledDesignClientSize();
    EXPECT_EQ(client.cx, designed.cx);
    EXPECT_EQ(client.cy, designed.cy);
    // nouns.txt was not tried, so no second box follows.
    Sleep(300);
    EXPECT_EQ(program_->FindTopLevel(kBoxClass, true), nullptr);

    // A click composes from the empty lists: its failure comes up in a box
    // while the window is disabled, and the label keeps "Label1".
    PostMessageA(label_, WM_LBUTTONDOWN, MK_LBUTTON, At(2, 2));
    PostMessageA(label_, WM_LBUTTONUP, 0, At(2, 2));
    const HWND clickBox = WaitForBox();
    ASSERT_NE(clickBox, nullptr);
    EXPECT_EQ(DialogItemText(clickBox, kBoxTextId), L"リストのインデックスが範囲を超えています (0)");
    EXPECT_FALSE(IsWindowEnabled(main_)) << "the main window stays usable under the box";
    SendMessageA(GetDlgItem(clickBox, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(main_) != FALSE; })) << "main window left disabled";
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == main_; }))
        << "the main window did not get the activation back";
    EXPECT_EQ(TextOf(label_), "Label1");
    EXPECT_EQ(program_->FindTopLevel(kBoxClass, true), nullptr);

    CloseAndExpectExitZero();
}

// Started where no list is, from a folder without lists beside it, the
// program finds the user's own in %APPDATA%\Titles.
TEST_F(TitlesProgram, ListsInTheUsersAppDataFolderServeWhereTheWorkingFolderHasNone) {
    const std::filesystem::path own = dir_.Path() / "appdata" / "Titles";
    std::filesystem::create_directories(own);
    CopyWordFiles(own);
    Start();
    main_ = program_->WaitForTopLevel(kMainClass, true);
    ASSERT_NE(main_, nullptr) << "no window: the lists in %APPDATA%\\Titles were not found";
    label_ = LabelOf(main_);
    EXPECT_EQ(program_->FindTopLevel(kBoxClass, true), nullptr);
    EXPECT_NE(TextOf(label_), "Label1");
    CloseAndExpectExitZero();
}

TEST_F(TitlesProgram, MissingNounsAreReportedByName) {
    CopyWordFiles(dir_.Path(), true, false);
    Start();
    const HWND box = WaitForBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(DialogItemText(box, kBoxTextId), L"ファイル nouns.txt は開けません.");
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    main_ = program_->WaitForTopLevel(kMainClass, true);
    ASSERT_NE(main_, nullptr);
    EXPECT_EQ(TextOf(LabelOf(main_)), "Label1");
    CloseAndExpectExitZero();
}

TEST_F(TitlesProgram, AFailedStartGivesTheFatalBoxAndExitCodeOne) {
    program_ = std::make_unique<TProgram>(WindowsPath(TITLES_FATAL_EXE), dir_.Path().string());
    const HWND box = WaitForBox();
    ASSERT_NE(box, nullptr) << "no fatal box";
    EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr);
    EXPECT_EQ(WideTextOf(box), L"アプリケーション エラー");
    const std::wstring text = DialogItemText(box, kBoxTextId);
    EXPECT_EQ(text.rfind(L"TFailureがモジュール titles-fatal-test.exe の ", 0), 0u) << std::string(text.begin(), text.end());
    const std::wstring ending = L" で発生しました。\nウィンドウを作成できません.";
    EXPECT_TRUE(text.size() > ending.size() && text.compare(text.size() - ending.size(), ending.size(), ending) == 0);
    EXPECT_EQ(program_->FindTopLevel(kMainClass), nullptr);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    const auto code = program_->WaitForExit();
    ASSERT_TRUE(code.has_value());
    EXPECT_EQ(*code, 1u);
}

TEST_F(TitlesProgram, StartsMaximisedOnShowRequestThree) {
    StartWithWords(SW_SHOWMAXIMIZED);
    EXPECT_TRUE(WaitUntil([&] { return IsZoomed(main_) != FALSE; }));
    EXPECT_NE(TextOf(label_), "Label1");
    CloseAndExpectExitZero();
}

TEST_F(TitlesProgram, StartsNormallyOnOtherShowRequests) {
    for (WORD request : {WORD{SW_SHOWNORMAL}, WORD{SW_SHOWDEFAULT}, WORD{SW_HIDE}}) {
        TTempDir dir;
        CopyWordFiles(dir.Path());
        TProgram program(CopyProgram(dir.Path(), "TITLES.EXE"), dir.Path().string(), request);
        const HWND main = program.WaitForTopLevel(kMainClass, true);
        ASSERT_NE(main, nullptr) << "request " << request;
        EXPECT_FALSE(IsZoomed(main)) << "request " << request;
        EXPECT_FALSE(IsIconic(main)) << "request " << request;
        PostMessageA(main, WM_CLOSE, 0, 0);
        EXPECT_EQ(program.WaitForExit(), std::optional<DWORD>(0)) << "request " << request;
    }
}

TEST_F(TitlesProgram, StartsMinimisedOnShowRequestSevenUntilRestored) {
    CopyWordFiles(dir_.Path());
    Start(SW_SHOWMINNOACTIVE);
    programWindow_ = program_->WaitForTopLevel(kProgramClass, true);
    ASSERT_NE(programWindow_, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return IsIconic(programWindow_) != FALSE; })) << "program not minimised";
    main_ = program_->FindTopLevel(kMainClass);
    ASSERT_NE(main_, nullptr);
    label_ = LabelOf(main_);
    Sleep(300);
    EXPECT_FALSE(IsWindowVisible(main_)) << "the window showed before it was restored";
    const std::string phrase = TextOf(label_);
    EXPECT_NE(phrase, "Label1");

    PostMessageA(programWindow_, WM_SYSCOMMAND, SC_RESTORE, 0);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main_) != FALSE; })) << "not shown on restore";
    EXPECT_FALSE(IsIconic(main_));
    EXPECT_FALSE(IsZoomed(main_));
    EXPECT_EQ(TextOf(label_), phrase);
    ExpectFitted(main_, label_);
    CloseAndExpectExitZero();
}

TEST_F(TitlesProgram, MinimisingTheWindowMinimisesTheProgram) {
    StartWithWords();
    const std::string phrase = TextOf(label_);
    const RECT before = WindowRectOf(main_);
    PostMessageA(main_, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(WaitUntil([&] { return IsIconic(programWindow_) && !IsWindowVisible(main_); }));
    PostMessageA(programWindow_, WM_SYSCOMMAND, SC_RESTORE, 0);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main_) != FALSE; }));
    EXPECT_FALSE(IsIconic(programWindow_));
    EXPECT_EQ(TextOf(label_), phrase);
    const RECT after = WindowRectOf(main_);
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
    EXPECT_EQ(after.right, before.right);
    EXPECT_EQ(after.bottom, before.bottom);
    CloseAndExpectExitZero();
}

TEST_F(TitlesProgram, ClosingFromTheTaskBarEntryEndsTheProgram) {
    StartWithWords();
    PostMessageA(programWindow_, WM_CLOSE, 0, 0);
    const auto code = program_->WaitForExit();
    ASSERT_TRUE(code.has_value());
    EXPECT_EQ(*code, 0u);
}

// The title comes from the program's own file name as Windows reports it.
TEST(TitlesProgramName, TitleIsCutAtTheFirstFullStopOfTheFileName) {
    const struct {
        const char* relative;
        const char* title;
    } cases[] = {
        {"v1.2\\MY.TOOL.EXE", "My"},
        {"TITLES.EXE", "Titles"},
        {"lower\\my.tool.exe", "my"},
        {"a.b.c\\ABC", "Abc"},
    };
    for (const auto& c : cases) {
        TTempDir dir;
        CopyWordFiles(dir.Path());
        TProgram program(CopyProgram(dir.Path(), c.relative), dir.Path().string());
        const HWND main = program.WaitForTopLevel(kMainClass, true);
        ASSERT_NE(main, nullptr) << c.relative;
        EXPECT_EQ(TextOf(GetWindow(main, GW_OWNER)), c.title) << c.relative;
        PostMessageA(main, WM_CLOSE, 0, 0);
        EXPECT_EQ(program.WaitForExit(), std::optional<DWORD>(0)) << c.relative;
    }
}

// Under code page 932 a trail byte that equals "\\" is no directory
// separator: "表" is 0x95 0x5C in Shift-JIS. The files are made with the
// ANSI functions, so the bytes below are code page 932.
TEST(TitlesProgramShiftJis, TrailBytesAreNotSeparatorsInTheProgramsName) {
    if (GetACP() != 932) GTEST_SKIP() << "needs code page 932";
    TTempDir dir;
    CopyWordFiles(dir.Path());
    const std::string folder = dir.Path().string() + "\\\x83\x5C\x83\x74\x83\x67";  // ソフト
    const std::string copy = folder + "\\\x95\x5C.EXE";                          // 表.EXE
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << "error " << GetLastError();
    ASSERT_TRUE(CopyFileA(WindowsPath(TITLES_EXE).c_str(), copy.c_str(), FALSE)) << "error " << GetLastError();
    TProgram program(copy, dir.Path().string());
    const HWND main = program.WaitForTopLevel(kMainClass, true);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(TextOf(GetWindow(main, GW_OWNER)), "\x95\x5C");
    EXPECT_EQ(WideTextOf(GetWindow(main, GW_OWNER)), L"表");
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(), std::optional<DWORD>(0));
}

// The program's own messages read the same under a double-byte code page.
TEST(TitlesProgramShiftJis, TheFileOpenBoxReadsInJapanese) {
    if (GetACP() != 932) GTEST_SKIP() << "needs code page 932";
    TTempDir dir;
    TProgram program(CopyProgram(dir.Path(), "TITLES.EXE"), dir.Path().string());
    const HWND box = program.WaitForTopLevel(kBoxClass, true);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(WideTextOf(box), L"Titles");
    EXPECT_EQ(DialogItemText(box, kBoxTextId), L"ファイル adjectives.txt は開けません.");
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    const HWND main = program.WaitForTopLevel(kMainClass, true);
    ASSERT_NE(main, nullptr);
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(), std::optional<DWORD>(0));
}

// Words are bytes of the system's code page, shown as they are.
TEST(TitlesProgramShiftJis, ShiftJisWordsAreShownAsJapanese) {
    if (GetACP() != 932) GTEST_SKIP() << "needs code page 932";
    TTempDir dir;
    // 赤い 青い 古い / 猫 犬 鳥 星 海 山, and one gerund for the opening.
    dir.Write("adjectives.txt", "\x90\xD4\x82\xA2\r\n\x90\xC2\x82\xA2\r\n\x8C\xC3\x82\xA2\r\n");
    dir.Write("nouns.txt",
              "\x94\x4C\r\n\x8C\xA2\r\n\x92\xB9\r\n\x90\xAF\r\n\x8A\x43\r\n\x8E\x52\r\nRunning\r\n");
    const std::wstring words[] = {L"赤い", L"青い", L"古い", L"猫", L"犬", L"鳥", L"星", L"海", L"山",
                                  L"Running", L"using", L"of", L"for", L"and"};
    TProgram program(CopyProgram(dir.Path(), "TITLES.EXE"), dir.Path().string());
    const HWND main = program.WaitForTopLevel(kMainClass, true);
    ASSERT_NE(main, nullptr);
    ASSERT_EQ(program.FindTopLevel(kBoxClass, true), nullptr) << "the start-up failed";
    const HWND label = LabelOf(main);
    for (int click = 0; click < 5; ++click) {
        const std::wstring phrase = WideTextOf(label);
        std::size_t start = 0;
        while (start <= phrase.size()) {
            const std::size_t end = std::min(phrase.find(L' ', start), phrase.size());
            const std::wstring word = phrase.substr(start, end - start);
            EXPECT_NE(std::find(std::begin(words), std::end(words), word), std::end(words))
                << "unexpected word in phrase " << click;
            start = end + 1;
        }
        Send(label, WM_LBUTTONDOWN, MK_LBUTTON, At(1, 1));
        Send(label, WM_LBUTTONUP, 0, At(1, 1));
    }
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(), std::optional<DWORD>(0));
}

}  // namespace
}  // namespace titles::test_support
