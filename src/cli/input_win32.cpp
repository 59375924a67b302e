// Word lists on Windows: the program's own folder for the installed lists,
// and the system's reasons.
#include <windows.h>

#include "cli/cli.h"
#include "cli/system_text_win32.h"

namespace titles::cli {

std::string SystemReason(int code) { return SystemErrorText(static_cast<DWORD>(code)); }

std::vector<std::string> InstalledListFolders() {
    char path[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    std::string folder(path, length);
    const std::size_t slash = folder.find_last_of("\\/");
    if (slash == std::string::npos) return {};
    folder.resize(slash);
    return {folder};
}

}  // namespace titles::cli
