// Installed word lists on Windows: the folder of the program file.
#include <windows.h>

#include "base/data_folders.h"

namespace titles {

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

bool PathExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void EnterInstalledListFolder(const std::string& first, const std::string& second) {
    if (PathExists(first) || PathExists(second)) return;
    for (const std::string& folder : InstalledListFolders()) {
        if (PathExists(folder + "\\" + first) && SetCurrentDirectoryA(folder.c_str())) return;
    }
}

}  // namespace titles
