// The folders the word lists are installed in, searched when the working
// directory holds none. POSIX systems: $XDG_DATA_HOME/titles (by default
// ~/.local/share/titles), then DIR/titles for each DIR in $XDG_DATA_DIRS (by
// default /usr/local/share:/usr/share); relative paths in either variable
// are ignored. Windows: %APPDATA%\Titles (the user's own, as
// $XDG_DATA_HOME/titles is), then the folder of the program file.
//
// One rule for both programs: an installed folder holds a list when the
// list's name there leads to something that is no folder and that the user
// may read. Anything else there (nothing, a link to nothing, a folder that
// cannot be searched, a path too long for the system) passes the search on
// to the next folder.
#pragma once

#include <string>
#include <vector>

namespace titles {

std::vector<std::string> InstalledListFolders();

// The first installed folder that holds the file name, or "" when none does.
std::string InstalledListFolder(const std::string& name);

// When the working directory holds neither the file first nor the file
// second, makes the first installed folder that holds first the working
// directory; otherwise, or when no folder holds it, changes nothing.
void EnterInstalledListFolder(const std::string& first, const std::string& second);

}  // namespace titles
