// One rule for the installed list folders in both programs: the same set-ups,
// through titles-cli and, where it is built, the desktop program's start-up
// as a process (titles-headless), must serve the lists from the same folder.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "matrix/bad_files.h"
#include "support/test_support.h"

namespace titles {
namespace {

namespace fs = std::filesystem;
using test_support::TTempDir;

struct TProgram {
    std::string name;
    std::string path;
    std::vector<std::string> args;
};

std::vector<TProgram> Programs() {
    std::vector<TProgram> programs = {{"titles-cli", TITLES_CLI_PATH, {"-s", "7", "-n", "20"}}};
#ifdef TITLES_HEADLESS_PATH
    programs.push_back({"titles-headless", TITLES_HEADLESS_PATH, {}});
#endif
    return programs;
}

// Each folder's lists have words of their own: "Home..." in $XDG_DATA_HOME,
// "Share..." in $XDG_DATA_DIRS.
void WriteLists(const fs::path& folder, const std::string& p) {
    fs::create_directories(folder);
    std::ofstream(folder / "adjectives.txt", std::ios::binary) << p << "Dark\n" << p << "Pale\n";
    std::ofstream(folder / "nouns.txt", std::ios::binary)
        << p << "Ring\n" << p << "Sword\n" << p << "Moon\n" << p << "Star\n" << p << "Tower\n";
}

// Which folder's lists the titles were composed from: "home", "share",
// "none" when the program failed (titles-cli) or showed a box
// (titles-headless), or the title itself when its words are mixed.
std::string Served(const test_support::TProcessResult& r) {
    if (r.exitCode != 0 || r.out.find("box: ") != std::string::npos || r.out.empty()) return "none";
    std::string title;
    std::istringstream lines(r.out);
    for (std::string line; std::getline(lines, line);) {
        title = line.rfind("label: ", 0) == 0 ? line.substr(7) : line;
    }
    std::string served;
    std::istringstream words(title);
    for (std::string word; words >> word;) {
        if (word == "using" || word == "of" || word == "for" || word == "and") continue;
        const std::string from = word.rfind("Home", 0) == 0 ? "home" : word.rfind("Share", 0) == 0 ? "share" : "";
        if (from.empty() || (!served.empty() && served != from)) return title;
        served = from;
    }
    return served.empty() ? title : served;
}

TEST(InstalledFolders, OneRuleForBothPrograms) {
    struct Row {
        const char* name;
        // Prepares $XDG_DATA_HOME/titles (the first folder searched); the
        // second, $XDG_DATA_DIRS's, holds its lists unless noted.
        std::function<void(const fs::path& home)> prepare;
        std::string served;
        bool longHome = false;     // $XDG_DATA_HOME of 100,000 characters
        bool nothingLater = false; // no lists in the second folder
    };
    const Row rows[] = {
        {"the first folder that holds them", [](const fs::path& home) { WriteLists(home, "Home"); }, "home"},
        {"a link to nothing named adjectives.txt",
         [](const fs::path& home) {
             fs::create_directories(home);
             fs::create_symlink("no-such-list.txt", home / "adjectives.txt");
         },
         "share"},
        {"a folder the user cannot read",
         [](const fs::path& home) {
             WriteLists(home, "Home");
             fs::permissions(home, fs::perms::none);
         },
         "share"},
        {"a folder named by 100,000 characters", [](const fs::path&) {}, "share", true},
        {"a directory named adjectives.txt",
         [](const fs::path& home) { fs::create_directories(home / "adjectives.txt"); }, "share"},
        {"no folder holds them", [](const fs::path&) {}, "none", false, true},
    };
    const bool root = ::geteuid() == 0;
    for (const TProgram& program : Programs()) {
        for (const Row& row : rows) {
            SCOPED_TRACE(program.name + ": " + row.name);
            TTempDir dir;
            ASSERT_EQ(::chmod(dir.Path().c_str(), 0755), 0);  // open to the unprivileged user
            fs::create_directories(dir.Path() / "work");
            if (!row.nothingLater) WriteLists(dir.Path() / "share/titles", "Share");
            row.prepare(dir.Path() / "home/titles");
            const std::string home = row.longHome ? "/" + std::string(99999, 'x') : (dir.Path() / "home").string();
            // Root reads every folder: run as an unprivileged user, from a
            // copy the user can reach.
            std::vector<std::string> argv = {"/usr/bin/env", "HOME=/nonexistent", "XDG_DATA_HOME=" + home,
                                             "XDG_DATA_DIRS=" + (dir.Path() / "share").string(), "LC_ALL=C"};
            std::string path = program.path;
            if (root) {
                path = (dir.Path() / program.name).string();
                fs::copy_file(program.path, path);
                fs::permissions(path, fs::perms(0755));
                const std::string id = std::to_string(test_support::kUnprivilegedId);
                argv.insert(argv.begin(), {"/usr/bin/setpriv", "--reuid=" + id, "--regid=" + id, "--clear-groups",
                                           "--"});
            }
            argv.push_back(path);
            argv.insert(argv.end(), program.args.begin(), program.args.end());
            const auto r = test_support::RunProcess(argv, dir.Path() / "work");
            EXPECT_EQ(r.signal, 0);
            EXPECT_EQ(Served(r), row.served) << r.out << r.err;
            if (fs::exists(dir.Path() / "home/titles")) fs::permissions(dir.Path() / "home/titles", fs::perms(0755));
        }
    }
}

}  // namespace
}  // namespace titles
