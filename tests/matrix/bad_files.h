// Word files a user might point the program at, good and bad, each with the
// one outcome loading it must have: the exact entries, or the file open
// error. Shared by every front end that loads word files (the command-line
// tool's suite, and the desktop program's start-up checks), so that all of
// them are held to the same cases.
//
// A file that shrinks between being sized and being read cannot be made
// from outside the process at the right moment; it is covered at library
// level through a byte source (see word_list_faults_test.cpp).
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace titles::test_support {

struct TBadFileCase {
    std::string name;         // an identifier: letters, digits and '_'
    std::string description;  // what the file is, for failure messages
    // Creates the case as dir / fileName, plus anything it needs beside it.
    std::function<void(const std::filesystem::path& dir, const std::string& fileName)> create;
    bool opens = true;                 // false: loading raises the file open error
    std::vector<std::string> entries;  // when it opens: every entry, in order
    // The file is unreadable only for a user other than root: run the
    // program under an unprivileged user id (65534) for this case.
    bool needsUnprivileged = false;
};

// All cases. The table is built once; the large ones create their files
// sparsely or in one write.
const std::vector<TBadFileCase>& BadFileCases();

// The message of the file open error for a file name exactly as passed,
// without the full stop that the error box and the command-line tool add.
std::string ExpectedOpenErrorMessage(std::string_view fileName);

// The unprivileged user and group the unreadable case runs under.
inline constexpr unsigned kUnprivilegedId = 65534;

}  // namespace titles::test_support
