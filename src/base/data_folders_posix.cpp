#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include "base/data_folders.h"

namespace titles {
namespace {

// The variable's value when it is an absolute path, else empty.
std::string AbsolutePath(const char* variable) {
    const char* value = std::getenv(variable);
    return value != nullptr && value[0] == '/' ? value : "";
}

bool Exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

bool Readable(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode) && ::access(path.c_str(), R_OK) == 0;
}

}  // namespace

std::vector<std::string> InstalledListFolders() {
    std::string home = AbsolutePath("XDG_DATA_HOME");
    const char* user = std::getenv("HOME");
    if (home.empty() && user != nullptr && *user != '\0') home = std::string(user) + "/.local/share";
    std::vector<std::string> folders;
    if (!home.empty()) folders.push_back(home + "/titles");
    const char* dirs = std::getenv("XDG_DATA_DIRS");
    std::string rest = dirs != nullptr && *dirs != '\0' ? dirs : "/usr/local/share:/usr/share";
    for (std::size_t start = 0, end = 0; start <= rest.size(); start = end + 1) {
        end = std::min(rest.find(':', start), rest.size());
        if (rest[start] == '/') folders.push_back(rest.substr(start, end - start) + "/titles");
    }
    return folders;
}

std::string InstalledListFolder(const std::string& name) {
    for (const std::string& folder : InstalledListFolders()) {
        if (Readable(folder + "/" + name)) return folder;
    }
    return "";
}

void EnterInstalledListFolder(const std::string& first, const std::string& second) {
    if (Exists(first) || Exists(second)) return;
    const std::string folder = InstalledListFolder(first);
    // A folder that cannot be entered leaves the program where it is.
    if (!folder.empty() && ::chdir(folder.c_str()) != 0) return;
}

}  // namespace titles
