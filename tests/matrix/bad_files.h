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
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace titles::test_support {

// The entries a case's file must give: listed, or made when first asked
// for (the large cases), so that a process that only lists the cases never
// builds them. Reads as the vector of entries.
class TCaseEntries {
public:
    using TEntries = std::vector<std::string>;
    TCaseEntries() = default;
    TCaseEntries(std::initializer_list<std::string> entries) : made_(entries) {}
    explicit TCaseEntries(std::function<TEntries()> make) : make_(std::move(make)) {}

    const TEntries& Get() const {
        if (!made_) made_ = make_ ? make_() : TEntries{};
        return *made_;
    }
    operator const TEntries&() const { return Get(); }
    std::size_t size() const { return Get().size(); }
    friend bool operator==(const TCaseEntries& a, const TEntries& b) { return a.Get() == b; }

private:
    std::function<TEntries()> make_;
    mutable std::optional<TEntries> made_;
};

struct TBadFileCase {
    std::string name;         // an identifier: letters, digits and '_'
    std::string description;  // what the file is, for failure messages
    // Creates the case as dir / fileName, plus anything it needs beside it.
    std::function<void(const std::filesystem::path& dir, const std::string& fileName)> create;
    bool opens = true;                 // false: loading raises the file open error
    TCaseEntries entries;              // when it opens: every entry, in order
    // The file is unreadable only for a user other than root: run the
    // program under an unprivileged user id (65534) for this case.
    bool needsUnprivileged = false;
};

// All cases. The table is built once and holds only what names the cases;
// a case's bytes are made when it creates its file (the large ones sparsely
// or in one write), and its entries when they are first asked for.
const std::vector<TBadFileCase>& BadFileCases();

// The message of the file open error for a file name exactly as passed,
// without the full stop that the error box and the command-line tool add.
std::string ExpectedOpenErrorMessage(std::string_view fileName);

// The unprivileged user and group the unreadable case runs under.
inline constexpr unsigned kUnprivilegedId = 65534;

}  // namespace titles::test_support
