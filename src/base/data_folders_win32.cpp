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

// The user's own folder, %APPDATA%\Titles, then the program's.
std::vector<std::string> InstalledListFolders() {
    std::vector<std::string> folders;
    char appData[MAX_PATH + 1] = {};
    const DWORD appDataLength = GetEnvironmentVariableA("APPDATA", appData, MAX_PATH);
    // Only a full path (a drive's or a share's) names the folder, as on POSIX.
    const bool full = appData[1] == ':' || (appData[0] == '\\' && appData[1] == '\\');
    if (appDataLength > 1 && appDataLength < MAX_PATH && full) {
        folders.push_back(std::string(appData, appDataLength) + "\\Titles");
    }
    char path[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string file(path, length < MAX_PATH ? length : 0);
    const std::size_t slash = file.find_last_of("\\/");
    if (slash != std::string::npos) folders.push_back(file.substr(0, slash));
    return folders;
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
