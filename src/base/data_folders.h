// Where the word lists are looked for when the working directory holds
// none: the folders they are installed in.
#pragma once

#include <string>
#include <vector>

namespace titles {

// The folders that may hold installed word lists, in the order they are
// searched. POSIX systems: $XDG_DATA_HOME/titles (default
// ~/.local/share/titles), then DIR/titles for each DIR in $XDG_DATA_DIRS
// (default /usr/local/share:/usr/share); relative paths in either variable
// are ignored. Windows: the folder of the program file.
std::vector<std::string> InstalledListFolders();

// Whether anything stands at the path, a broken link too.
bool PathExists(const std::string& path);

// When the working directory holds neither the file first nor the file
// second, makes the first installed folder that holds first the working
// directory; otherwise, or when no folder holds it, changes nothing.
void EnterInstalledListFolder(const std::string& first, const std::string& second);

}  // namespace titles
