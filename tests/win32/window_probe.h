// Looking at another process's windows from a test: starting a program with
// a show request, finding its windows by class and owner, reading their
// texts, and waiting for a condition with a time limit.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>

namespace titles::test_support {

// Polls condition every 20 ms until it holds or the limit passes.
bool WaitUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds limit = std::chrono::seconds(15));

// A started program, ended by force if it still runs when this goes.
class TProgram {
public:
    // Starts program in directory cwd; showWindow, when given, goes into
    // STARTUPINFO with STARTF_USESHOWWINDOW.
    TProgram(const std::string& program, const std::string& cwd, std::optional<WORD> showWindow = std::nullopt);
    TProgram(const TProgram&) = delete;
    TProgram& operator=(const TProgram&) = delete;
    ~TProgram();

    DWORD ProcessId() const noexcept { return info_.dwProcessId; }
    // The exit code once the process has ended within the limit, else nothing.
    std::optional<DWORD> WaitForExit(std::chrono::milliseconds limit = std::chrono::seconds(15));

    // The first top-level window of the process of the class; with
    // visibleOnly, only a visible one.
    HWND FindTopLevel(const std::string& className, bool visibleOnly = false) const;
    // Waits for such a window.
    HWND WaitForTopLevel(const std::string& className, bool visibleOnly,
                         std::chrono::milliseconds limit = std::chrono::seconds(15)) const;

private:
    PROCESS_INFORMATION info_{};
};

std::string ClassNameOf(HWND window);
// The window's text through WM_GETTEXT, as bytes or as UTF-16.
std::string TextOf(HWND window);
std::wstring WideTextOf(HWND window);
// The text of a dialog's control.
std::wstring DialogItemText(HWND dialog, int id);
SIZE ClientSizeOf(HWND window);

// Sends a message with a time limit, so that a hung program fails the test
// instead of stalling it.
LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

// The Windows form of a path given in Unix form (Wine's drive Z:).
std::string WindowsPath(const std::string& unixPath);

}  // namespace titles::test_support
