// Where titles-cli's word lists come from: regular files (read as the
// desktop program reads them), standard input, pipes, FIFOs and character
// devices (read to their end or first zero byte), all through the engine's
// reader; and the installed lists when none is named.
#pragma once

#include <string>
#include <vector>

#include "phrase/word_file.h"

namespace titles::cli {

// Platform side: the folders searched for installed lists, in order, after
// the working directory.
std::vector<std::string> InstalledListFolders();

// Reads the list called name, opening it once: "-" is standard input. A
// list not named on the command line and not in the working directory is
// looked for in the installed folders; name becomes the path found.
// standardInputRead tells whether an earlier list came from standard input.
// Raises TFileOpenError, TListNotFoundError, or TUsageError for a second
// list from standard input.
TFileBytes ReadList(std::string& name, bool named, bool& standardInputRead);

}  // namespace titles::cli
