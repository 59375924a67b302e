// The Win32 window system's insides, for its own sources and its tests; the
// program knows it only by CreateWindowSystem. Three windows: the
// program-level window, which carries the title, the icon and the task bar
// entry and owns the others; the main window; and its label, a child window.
// Every window procedure hands whatever its handlers throw up as a failed
// event: no exception crosses a Win32 frame.
#pragma once

#include <exception>
#include <string>
#include <string_view>

#include "framework/win32/win32_handles.h"
#include "framework/window_system.h"

namespace titles::framework::win32 {

// Window class names, also used by the tools that look for the windows.
inline constexpr const char* kProgramWindowClass = "TitlesApplication";
inline constexpr const char* kMainWindowClass = "TFormMain";
inline constexpr const char* kLabelWindowClass = "TitlesLabel";

// The launcher's show request (STARTUPINFO) as the program applies it:
// 3 maximised, 7 minimised without activation, anything else normal.
TShowRequest ShowRequestFromStartup(bool useShowWindow, unsigned showWindow) noexcept;
TShowRequest LauncherShowRequest() noexcept;

// The monitor functions, looked up in user32 by name at run time. Where the
// system lacks them they stay null and the whole screen is one monitor.
struct TMonitorApi {
    HMONITOR(WINAPI* monitorFromWindow)(HWND, DWORD) = nullptr;
    BOOL(WINAPI* getMonitorInfo)(HMONITOR, LPMONITORINFO) = nullptr;
    static TMonitorApi Lookup() noexcept;
};

class TWin32WindowSystem final : public TWindowSystem {
public:
    explicit TWin32WindowSystem(TShowRequest showRequest = LauncherShowRequest());
    TWin32WindowSystem(const TWin32WindowSystem&) = delete;
    TWin32WindowSystem& operator=(const TWin32WindowSystem&) = delete;
    ~TWin32WindowSystem() override;

    std::string ProgramFilePath() override;
    TTitleRules TitleRules() override;
    int PixelsPerInch() override;
    bool SystemCharsetIsShiftJis() override { return GetACP() == 932; }
    int ZeroTextHeight(const TFontSpec& font) override;
    void BuildWindow(const TWindowDesign& design, std::string_view title, TWindowEvents& events) override;
    TSize SetLabelText(std::string_view text, const TFontSpec& font) override;
    void SetLabelBounds(const TRect& bounds) override;
    void SetClientSize(TSize size) override;
    void Show() override;
    void Run() override;
    void Quit() override { PostQuitMessage(0); }
    void ErrorBox(std::string_view caption, std::string_view text) override;
    void FatalBox(std::string_view caption, std::string_view text) override;

    HWND ProgramWindow() const noexcept { return program_.Get(); }
    HWND MainWindow() const noexcept { return main_.Get(); }
    HWND LabelWindow() const noexcept { return label_.Get(); }
    // Stands in for the monitor functions (tests put windows on other monitors).
    void SetMonitorApi(const TMonitorApi& api) noexcept { monitors_ = api; }

private:
    using THandler = LRESULT (TWin32WindowSystem::*)(HWND, UINT, WPARAM, LPARAM);
    template <THandler Handler>
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    LRESULT OnProgramMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMainMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnLabelMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void RegisterClasses(int colour) const;
    void CreateProgramWindow(std::string_view title);
    void PaintLabel();
    void LabelPressed(TMouseButton button, bool doubleClick);
    void LabelReleased(TMouseButton button, LPARAM position);
    void MinimizeProgram();
    void ProgramSized(WPARAM kind);
    void HideProgramWindowIfAlone();
    void Failed(std::exception_ptr failure) noexcept;

    const TShowRequest showRequest_;
    const HINSTANCE instance_;
    const HICON icon_;
    TMonitorApi monitors_ = TMonitorApi::Lookup();
    TWindowEvents* events_ = nullptr;
    int colour_ = COLOR_BTNFACE;
    int textColour_ = COLOR_WINDOWTEXT;
    // The label's text as far as it is laid out, and its font.
    std::string labelText_;
    std::string fontName_;
    TFontSpec fontSpec_;
    TFontHandle font_;
    TRect labelBounds_;
    // The main window was hidden with the program minimised, to come back
    // when the program is restored.
    bool mainHiddenByMinimize_ = false;
    // Destroyed in reverse: the label, the main window, the program-level window.
    TWindowHandle program_;
    TWindowHandle main_;
    TWindowHandle label_;
};

}  // namespace titles::framework::win32
