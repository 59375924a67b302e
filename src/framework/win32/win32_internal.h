// The Win32 backend's insides, for its own sources and its own tests only:
// the program-level window that carries the title, the
// icon and the task bar entry; the main window with its label as a child
// window; the message loop; and the message boxes.
//
// Every window procedure catches whatever its handlers throw and hands it
// to the failure sink, which shows it at once. No exception crosses a Win32
// frame.
#pragma once

#include <exception>
#include <memory>
#include <string>
#include <string_view>

#include "framework/backend.h"
#include "framework/win32/win32_backend.h"
#include "framework/win32/win32_handles.h"

namespace titles::framework::win32 {

class TWin32Backend;

// Window class names, also used by tools that look for the windows.
inline constexpr const char* kProgramWindowClass = "TitlesApplication";
inline constexpr const char* kLabelWindowClass = "TitlesLabel";

// The launcher's show request (STARTUPINFO) as the program applies it:
// 3 maximised, 7 minimised without activation, anything else normal.
TShowRequest ShowRequestFromStartup(bool useShowWindow, unsigned showWindow) noexcept;

// A font as the design describes it (character height as a negative
// height). Raises TFailure when the system cannot create it.
TFontHandle CreateDesignFont(const TFontSpec& design);

// Base of the objects behind the backend's windows: the shared window
// procedure finds the object through the window's user data and hands it
// the message.
class TWindowObject {
public:
    explicit TWindowObject(TWin32Backend& backend) noexcept : backend_(backend) {}
    TWindowObject(const TWindowObject&) = delete;
    TWindowObject& operator=(const TWindowObject&) = delete;
    virtual ~TWindowObject() = default;

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

protected:
    virtual LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) = 0;
    TWin32Backend& backend_;
};

class TWin32Label final : public TNativeLabel, private TWindowObject {
public:
    TWin32Label(TWin32Backend& backend, HWND parent, TLabelInput& input);
    ~TWin32Label() override;

    TSize SetText(std::string_view text, const TFontSpec& font) override;
    void SetBounds(const TRect& bounds) override;

    HWND Handle() const noexcept { return window_.Get(); }

private:
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnPaint(HWND window);
    void OnPress(TMouseButton button, bool doubleClick);
    void OnRelease(TMouseButton button, LPARAM position);

    TLabelInput& input_;
    HWND parent_;
    std::string text_;
    TFontSpec fontSpec_;
    TFontHandle font_;
    TRect bounds_;
    TWindowHandle window_;
};

class TWin32Form final : public TNativeForm, private TWindowObject {
public:
    TWin32Form(TWin32Backend& backend, const TFormDesign& design, TFormInput& input);
    ~TWin32Form() override;

    TSize ClientSize() const override;
    void SetClientSize(TSize size) override;
    void SetFont(const TFontSpec& font) override;
    std::unique_ptr<TNativeLabel> CreateLabel(TLabelInput& input) override;
    void Show(TShowRequest request) override;
    bool IsVisible() const;
    // Destroys the window before the object goes.
    void Destroy();

    HWND Handle() const noexcept { return window_.Get(); }
    TFormInput& Input() const noexcept { return input_; }

private:
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    TFormInput& input_;
    TFontHandle font_;
    TWindowHandle window_;
};

// The monitor functions, looked up in user32 by name at run time. Where the
// system lacks them they stay null and the whole screen is one monitor.
struct TMonitorApi {
    HMONITOR(WINAPI* monitorFromWindow)(HWND, DWORD) = nullptr;
    BOOL(WINAPI* getMonitorInfo)(HMONITOR, LPMONITORINFO) = nullptr;
    static TMonitorApi Lookup() noexcept;
};

class TWin32Backend final : public TBackend, private TWindowObject {
public:
    explicit TWin32Backend(TWin32Options options = {});
    ~TWin32Backend() override;

    std::string ProgramFilePath() override;
    TTitleRules TitleRules() override;
    std::string ModuleName() override;
    TShowRequest LauncherShowRequest() override;

    void CreateProgramWindow(std::string_view title) override;
    std::string ProgramWindowTitle() override;

    int ScreenPixelsPerInch() override;
    int ZeroTextHeight(const TFontSpec& font) override;
    bool SystemCharsetIsShiftJis() override;

    std::unique_ptr<TNativeForm> CreateForm(const TFormDesign& design, TFormInput& input) override;

    void RunEventLoop() override;
    void Quit() override;

    void CancelMouseCapture() override;
    void ShowErrorBox(std::string_view caption, std::string_view text) override;
    void ShowFatalBox(std::string_view caption, std::string_view text) override;

    // ---- used by the backend's windows
    HINSTANCE Instance() const noexcept { return instance_; }
    HWND ProgramWindow() const noexcept { return programWindow_.Get(); }
    // A handler of one of the backend's windows failed.
    void EventFailed(std::exception_ptr failure) noexcept;
    void RegisterFormClass(const std::string& className);
    void FormCreated(TWin32Form& form);
    void FormDestroyed(TWin32Form& form) noexcept;
    // The main window's minimise command: the program as a whole goes to
    // its task bar entry, the main window is hidden until it is restored.
    void MinimizeProgram();
    // Shows the program-level window (zero size, so only its task bar
    // entry is seen), or minimised.
    void ShowProgramWindow(int command);
    void StartMinimized();
    bool FatalBoxShown() const noexcept { return fatalBoxShown_; }
    // Replaces the monitor functions (tests stand in for other monitors).
    void SetMonitorApi(const TMonitorApi& api) noexcept { monitors_ = api; }

private:
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnProgramWindowSize(WPARAM kind);
    void HideProgramWindowIfAlone();

    TWin32Options options_;
    HINSTANCE instance_;
    HICON icon_ = nullptr;
    TWindowHandle programWindow_;
    TWin32Form* mainForm_ = nullptr;
    bool mainHiddenByMinimize_ = false;
    TMonitorApi monitors_ = TMonitorApi::Lookup();
    bool fatalBoxShown_ = false;
};

}  // namespace titles::framework::win32
