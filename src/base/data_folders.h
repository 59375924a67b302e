// The folders the word lists are installed in, searched when the working
// directory holds none. POSIX systems: $XDG_DATA_HOME/titles (by default
// ~/.local/share/titles), then DIR/titles for each DIR in $XDG_DATA_DIRS (by
// default /usr/local/share:/usr/share); relative paths in either variable
// are ignored. Windows: the folder of the program file.
#pragma once

#include <string>
#include <vector>

namespace titles {

std::vector<std::string> InstalledListFolders();

// When the working directory holds neither the file first nor the file
// second, makes the first installed folder that holds first the working
// directory; otherwise, or when no folder holds it, changes nothing.
void EnterInstalledListFolder(const std::string& first, const std::string& second);

}  // namespace titles
