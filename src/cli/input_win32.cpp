// Word lists on Windows: what a named list is, reading standard input and
// pipes.
#include <windows.h>

#include <cstdint>

#include "base/texts.h"
#include "cli/input.h"
#include "cli/system_text_win32.h"

namespace titles::cli {
namespace {

std::string ReadToEnd(HANDLE handle, const std::string& name, TLanguage language) {
    const auto readSome = [&](char* buffer, std::size_t size) -> std::size_t {
        DWORD read = 0;
        if (ReadFile(handle, buffer, static_cast<DWORD>(size), &read, nullptr)) return read;
        const DWORD error = GetLastError();
        if (error == ERROR_BROKEN_PIPE || error == ERROR_HANDLE_EOF) return 0;  // the writer is done
        throw CannotOpen(name, SystemErrorText(error), language);
    };
    return cli::ReadToEnd(readSome, name, language);
}

}  // namespace

TListInput ExamineList(const std::string& name, TLanguage language) {
    if (name == kStandardInputName) return {true, ReadToEnd(GetStdHandle(STD_INPUT_HANDLE), name, language)};
    HANDLE file = CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw CannotOpen(name, SystemErrorText(GetLastError()), language);
    const DWORD type = GetFileType(file);
    TListInput input;
    if (type == FILE_TYPE_PIPE) {
        try {
            input = {true, ReadToEnd(file, name, language)};
        } catch (...) {
            CloseHandle(file);
            throw;
        }
    }
    LARGE_INTEGER size{};
    const bool tooLarge = type == FILE_TYPE_DISK && GetFileSizeEx(file, &size) &&
                          static_cast<std::uint64_t>(size.QuadPart) > kMaxListBytes;
    CloseHandle(file);
    if (type != FILE_TYPE_DISK && type != FILE_TYPE_PIPE) {
        throw CannotOpen(name, std::string(texts::kCliNotAFile), language);
    }
    if (tooLarge) throw CannotOpen(name, std::string(texts::kCliTooLarge), language);
    return input;
}

bool PathExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace titles::cli
