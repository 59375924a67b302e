// titles-cli's standard streams and language on Windows.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <algorithm>
#include <cstdio>
#include <string>

#include "cli/cli.h"
#include "cli/report_format.h"
#include "cli/system_text_win32.h"
#include "base/code_page_text.h"

namespace titles::cli {

// Titles are bytes: no line-end translation on the way out.
void PrepareStandardStreams() {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    _setmode(_fileno(stdin), _O_BINARY);
}

bool WriteBytes(std::FILE* stream, std::string_view bytes) {
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    DWORD mode = 0;
    if (handle == INVALID_HANDLE_VALUE || !GetConsoleMode(handle, &mode)) {
        return bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), stream) == bytes.size();
    }
    // A console shows UTF-16. Titles and reports are bytes of the ANSI code
    // page, shown as the desktop program shows a phrase; messages are UTF-8
    // text that may hold file names in the code page, decoded as its boxes are.
    std::fflush(stream);
    const std::wstring wide = stream == stderr ? MixedTextToWide(bytes) : CodePageToWide(bytes);
    for (std::size_t done = 0; done < wide.size();) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(wide.size() - done, 16384));
        if (!WriteConsoleW(handle, wide.data() + done, chunk, &written, nullptr) || written == 0) {
            errno = EIO;
            return false;
        }
        done += written;
    }
    return true;
}

TLanguage MessageLanguage() {
    return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_JAPANESE ? TLanguage::Japanese : TLanguage::English;
}

std::string SystemErrorText(DWORD error) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
        0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring wide(buffer != nullptr ? buffer : L"", length);
    LocalFree(buffer);
    while (!wide.empty() && (wide.back() == L'\n' || wide.back() == L'\r' || wide.back() == L' ' || wide.back() == L'.')) {
        wide.pop_back();
    }
    if (wide.empty()) return "error " + std::to_string(error);
    const int size = static_cast<int>(wide.size());
    std::string text(static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, text.data(), static_cast<int>(text.size()), nullptr, nullptr);
    return text;
}

std::string SystemReason(int code) { return SystemErrorText(static_cast<DWORD>(code)); }

bool NamesInCodePage() { return true; }

}  // namespace titles::cli
