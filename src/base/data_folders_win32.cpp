#include <windows.h>

#include "base/data_folders.h"

namespace titles {
namespace {

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool Readable(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace

std::vector<std::string> InstalledListFolders() {
    char path[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string file(path, length < MAX_PATH ? length : 0);
    const std::size_t slash = file.find_last_of("\\/");
    if (slash == std::string::npos) return {};
    return {file.substr(0, slash)};
}

std::string InstalledListFolder(const std::string& name) {
    for (const std::string& folder : InstalledListFolders()) {
        if (Readable(folder + "\\" + name)) return folder;
    }
    return "";
}

void EnterInstalledListFolder(const std::string& first, const std::string& second) {
    if (Exists(first) || Exists(second)) return;
    const std::string folder = InstalledListFolder(first);
    if (!folder.empty()) SetCurrentDirectoryA(folder.c_str());
}

}  // namespace titles
