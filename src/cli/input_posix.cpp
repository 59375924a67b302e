// Word lists on POSIX systems: the XDG data folders.
#include <cstdlib>

#include "cli/cli.h"

namespace titles::cli {

std::vector<std::string> InstalledListFolders() {
    const auto variable = [](const char* name) -> std::string {
        const char* value = std::getenv(name);
        return value != nullptr ? value : "";
    };
    std::vector<std::string> folders;
    std::string home = variable("XDG_DATA_HOME");
    if (home.empty() && !variable("HOME").empty()) home = variable("HOME") + "/.local/share";
    if (!home.empty()) folders.push_back(home + "/titles");
    std::string dirs = variable("XDG_DATA_DIRS");
    if (dirs.empty()) dirs = "/usr/local/share:/usr/share";
    for (std::size_t start = 0; start <= dirs.size();) {
        std::size_t end = dirs.find(':', start);
        if (end == std::string::npos) end = dirs.size();
        if (end > start) folders.push_back(dirs.substr(start, end - start) + "/titles");
        start = end + 1;
    }
    return folders;
}

}  // namespace titles::cli
