// Installed word lists on POSIX systems: the XDG data folders.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "base/data_folders.h"

namespace titles {
namespace {

// An absolute path from the variable, or empty: relative paths do not count.
std::string AbsoluteFrom(const std::string& path) { return path.starts_with('/') ? path : ""; }

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

}  // namespace

std::vector<std::string> InstalledListFolders() {
    std::vector<std::string> folders;
    std::string home = AbsoluteFrom(Variable("XDG_DATA_HOME"));
    if (home.empty() && !Variable("HOME").empty()) home = Variable("HOME") + "/.local/share";
    if (!home.empty()) folders.push_back(home + "/titles");
    std::string dirs = Variable("XDG_DATA_DIRS");
    if (dirs.empty()) dirs = "/usr/local/share:/usr/share";
    for (std::size_t start = 0; start <= dirs.size();) {
        std::size_t end = dirs.find(':', start);
        if (end == std::string::npos) end = dirs.size();
        const std::string dir = AbsoluteFrom(dirs.substr(start, end - start));
        if (!dir.empty()) folders.push_back(dir + "/titles");
        start = end + 1;
    }
    return folders;
}

bool PathExists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

void EnterInstalledListFolder(const std::string& first, const std::string& second) {
    if (PathExists(first) || PathExists(second)) return;
    for (const std::string& folder : InstalledListFolders()) {
        if (PathExists(folder + "/" + first) && ::chdir(folder.c_str()) == 0) return;
    }
}

}  // namespace titles
