#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "cli/cli.h"
#include "support/test_support.h"

namespace titles::cli {
namespace {

using test_support::RunProcess;
using test_support::TTempDir;

const std::string kCli = TITLES_CLI_PATH;

class CliTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("LC_ALL", "C", 1);  // messages in English unless a test says otherwise
        dir_.Write("adjectives.txt", "Dark\r\nSilent\r\nGolden\r\nBroken\r\n");
        dir_.Write("nouns.txt", "Running\nCastle\nDragon\nFalling\nStar\nMoon\nSword\n");
    }
    test_support::TProcessResult Run(std::vector<std::string> args) {
        args.insert(args.begin(), kCli);
        return RunProcess(args, dir_.Path());
    }
    TTempDir dir_;
};

TEST_F(CliTest, PrintsTheWorkedExampleFromSeedZero) {
    const auto r = Run({"--seed", "0", "--count", "6"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out,
              "Dark Castle Star\nSilent Running\nBroken Dragon of Silent Moon and Castle\nSilent Moon\n"
              "Dark Dragon and Sword\nRunning using Dark Star Moon for Golden Sword\n");
    EXPECT_EQ(r.err, "");
}

TEST_F(CliTest, OptionFormsAndDefaults) {
    EXPECT_EQ(Run({"--seed=0"}).out, "Dark Castle Star\n");
    EXPECT_EQ(Run({"--count", "0", "--seed", "0"}).out, "");
    dir_.Write("a2.txt", "Only\nOther\n");
    dir_.Write("n2.txt", "Xing\nY\nZ\nW\nV\n");
    const auto r = Run({"--adjectives", "a2.txt", "--nouns=n2.txt", "--seed", "4294967295", "--count", "3"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 3);
    // Without --seed the clock seeds: one line, some title.
    const auto clock = Run({});
    EXPECT_EQ(clock.exitCode, 0);
    EXPECT_EQ(std::count(clock.out.begin(), clock.out.end(), '\n'), 1);
}

TEST_F(CliTest, WordBytesPassThroughUnchanged) {
    dir_.Write("adjectives.txt", "\xff\xfe\n\tTab\n");
    dir_.Write("nouns.txt", "A&B\n\xe6\x97\xa5ing\nC\nD\nE\n");
    const auto r = Run({"--seed", "1", "--count", "200"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_NE(r.out.find("\xff\xfe"), std::string::npos);
    EXPECT_NE(r.out.find("\tTab"), std::string::npos);
    EXPECT_NE(r.out.find("A&B"), std::string::npos);
    EXPECT_EQ(r.out.find('\r'), std::string::npos);
}

TEST_F(CliTest, FailuresGoToStandardErrorWithExitOne) {
    // Each message in English and, under a Japanese locale, in the desktop
    // program's exact words.
    struct Case {
        std::vector<std::string> args;
        std::string english;
        std::string japanese;
    };
    dir_.Write("empty.txt", "");
    dir_.Write("two.txt", "A\nB\n");
    dir_.Write("nogerund.txt", "A\nB\nC\nD\nE\nF\n");
    const Case cases[] = {
        {{"--adjectives", "missing.txt"}, "cannot open missing.txt: No such file or directory",
         "ファイル missing.txt は開けません."},
        {{"--nouns", "gone.txt"}, "cannot open gone.txt: No such file or directory", "ファイル gone.txt は開けません."},
        {{"--adjectives", "missing.txt", "--nouns", "gone.txt"}, "cannot open missing.txt: No such file or directory",
         "ファイル missing.txt は開けません."},
        {{"--adjectives", "."}, "cannot open .: Is a directory", "ファイル . は開けません."},
        {{"--adjectives", "/proc/self/mem"}, "cannot read /proc/self/mem: Input/output error",
         "ファイル /proc/self/mem は開けません."},
        {{"--nouns", "\x1b[31mred\nx"}, "cannot open $'\\e[31mred\\nx': No such file or directory",
         "ファイル $'\\e[31mred\\nx' は開けません."},
        // Devices are read as streams, and a zero byte ends the text at once.
        {{"--adjectives", "/dev/null", "--seed", "0"}, "list index out of bounds (0)",
         "リストのインデックスが範囲を超えています (0)"},
        {{"--adjectives", "/dev/zero", "--seed", "0"}, "list index out of bounds (0)",
         "リストのインデックスが範囲を超えています (0)"},
        {{"--adjectives", "empty.txt", "--seed", "0"}, "list index out of bounds (0)",
         "リストのインデックスが範囲を超えています (0)"},
        {{"--nouns", "two.txt", "--seed", "0", "--count", "50"}, "two.txt: too few usable words",
         "ファイル two.txt には使える単語が足りません."},
        {{"--nouns", "nogerund.txt", "--seed", "6", "--count", "50"}, "nogerund.txt: no word ends in \"ing\"",
         "ファイル nogerund.txt には ing で終わる単語がありません."},
    };
    for (const auto& c : cases) {
        for (const char* locale : {"C", "ja_JP.UTF-8"}) {
            ::setenv("LC_ALL", locale, 1);
            const auto r = Run(c.args);
            EXPECT_EQ(r.exitCode, 1) << c.english;
            EXPECT_EQ(r.err, "titles-cli: " + (*locale == 'C' ? c.english : c.japanese) + "\n");
        }
    }
}

TEST_F(CliTest, TitlesBeforeAFailureAreStillPrinted) {
    dir_.Write("two.txt", "A\nB\n");
    const auto r = Run({"--nouns", "two.txt", "--seed", "0", "--count", "50"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(r.out.empty());
    EXPECT_EQ(r.out.back(), '\n');
}

TEST_F(CliTest, UsageErrorsExitTwo) {
    const std::vector<std::vector<std::string>> cases = {
        {"--bogus"},        {"extra"},          {"--seed"},          {"--seed", "-1"},     {"--seed", "4294967296"},
        {"--seed", "12x"},  {"--seed", "+5"},   {"--seed", ""},      {"--count", "-3"},    {"--count", "1e3"},
        {"--count"},        {"--nouns"},        {"--help=yes"},      {"-x"},
        {"x\x1b[2Jy"},      {"--seed=\x1b]0;PWNED\a"}, {"-\x1b"},       {"--\x9b\r=1"},
    };
    for (const auto& args : cases) {
        const auto r = Run(args);
        EXPECT_EQ(r.exitCode, 2) << args[0];
        // One line naming the problem, one pointing to the help.
        EXPECT_EQ(r.err.rfind("titles-cli: ", 0), 0u) << r.err;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - std::string("Try 'titles-cli --help'.\n").size() - 1) << r.err;
        EXPECT_TRUE(r.err.ends_with("\nTry 'titles-cli --help'.\n")) << r.err;
        EXPECT_FALSE(test_support::HoldsControlBytes(r.err)) << r.err;
        EXPECT_EQ(r.out, "");
    }
}

TEST_F(CliTest, HelpGoesToStandardOutput) {
    const auto r = Run({"--help"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, UsageText());
    EXPECT_EQ(r.err, "");
}

TEST_F(CliTest, ManyTitlesIntoAClosedPipeEndQuietly) {
    const auto r = test_support::RunProcess(
        {"/bin/sh", "-c", "'" + kCli + "' --seed 5 --count 1000000 | head -n 2"},
        dir_.Path());
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 2);
}

TEST_F(CliTest, WriteErrorIsReported) {
    // In English under every locale, and so with the same punctuation.
    for (const char* locale : {"C", "ja_JP.UTF-8"}) {
        ::setenv("LC_ALL", locale, 1);
        const auto r = test_support::RunProcess(
            {"/bin/sh", "-c", "'" + kCli + "' --seed 5 --count 100000 > /dev/full"}, dir_.Path());
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.err, "titles-cli: write error: No space left on device\n") << locale;
    }
    ::setenv("LC_ALL", "C", 1);
    // A list failure after some titles: both the lost titles and the failure.
    dir_.Write("three.txt", "A\nB\nCing\n");
    const auto both = test_support::RunProcess(
        {"/bin/sh", "-c", "'" + kCli + "' -s 1 -n 100 -N three.txt > /dev/full"}, dir_.Path());
    EXPECT_EQ(both.exitCode, 1);
    EXPECT_EQ(both.err, "titles-cli: write error: No space left on device\n"
                        "titles-cli: three.txt: too few usable words\n");
}

// Lists that are not regular files, and lists found where they are installed,
// give the same titles as the files themselves.
TEST_F(CliTest, ListsFromStreamsAndInstalledFolders) {
    const std::string same = Run({"-s", "42", "-n", "40"}).out;
    ASSERT_EQ(std::count(same.begin(), same.end(), '\n'), 40);
    const auto shell = [&](const std::string& script, const std::filesystem::path& cwd) {
        return test_support::RunProcess({"/bin/bash", "-c", "cli='" + kCli + "'; " + script}, cwd);
    };
    const auto root = dir_.Path();
    // A writer that opens the FIFO only later: the reader waits for it.
    const std::string fifo = "rm -f f; mkfifo f; (sleep 0.3; cat nouns.txt >f) & ";
    struct Case {
        std::string script;
        std::filesystem::path cwd;
    };
    std::filesystem::create_directories(root / "empty");
    std::filesystem::create_directories(root / "share/titles");
    std::filesystem::copy(root / "adjectives.txt", root / "share/titles");
    std::filesystem::copy(root / "nouns.txt", root / "share/titles");
    const std::string installed = "HOME=/nonexistent XDG_DATA_HOME= XDG_DATA_DIRS=/nonexistent:'" +
                                  (root / "share").string() + "' ";
    const Case cases[] = {
        {"$cli -s 42 -n 40 -a - <adjectives.txt", root},
        {"$cli -s 42 -n 40 -a /dev/stdin <adjectives.txt", root},
        {"{ cat nouns.txt; printf '\\0Extra\\n'; } | $cli -s 42 -n 40 -N -", root},
        {"cat nouns.txt | $cli -s 42 -n 40 --nouns=-", root},
        {"$cli -s 42 -n 40 -N <(cat nouns.txt) -a <(cat adjectives.txt)", root},
        {fifo + "$cli -s 42 -n 40 -N f", root},
        {fifo + "$cli --seed 42 --count 40 --adjectives adjectives.txt --nouns f", root},
        {installed + "$cli -s 42 -n 40", root / "empty"},
        {"XDG_DATA_HOME='" + root.string() + "/share' $cli -s 42 -n 40", root / "empty"},
    };
    for (const auto& c : cases) {
        const auto r = shell(c.script, c.cwd);
        EXPECT_EQ(r.exitCode, 0) << c.script << "\n" << r.err;
        EXPECT_EQ(r.out, same) << c.script;
    }
    // Both lists from the one stream of standard input, under any names.
    for (const char* args : {"-a /dev/stdin -N -", "-a - -N /dev/stdin"}) {
        const auto twice = shell(std::string("printf 'Dark\\nLight\\n' | $cli ") + args, root);
        EXPECT_EQ(twice.exitCode, 2) << args;
        EXPECT_EQ(twice.err.rfind("titles-cli: only one list can be read from standard input", 0), 0u) << twice.err;
    }
    // The working directory wins over the installed lists.
    dir_.Write("empty/adjectives.txt", "Only\nOther\n");
    dir_.Write("empty/nouns.txt", "Xing\nY\nZ\nW\nV\n");
    EXPECT_NE(shell(installed + "$cli -s 42 -n 40", root / "empty").out, same);
    // Nothing found: the message names every place looked in.
    const auto none = shell("HOME=/home/nobody XDG_DATA_HOME= XDG_DATA_DIRS=/a:/b $cli", root / "share");
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_EQ(none.err, "titles-cli: cannot find adjectives.txt; looked in ., "
                        "/home/nobody/.local/share/titles, /a/titles, /b/titles\n");
    // Relative folders in the variables are not searched, though ./titles holds the lists.
    const auto relative = shell("HOME=/home/nobody XDG_DATA_HOME=. XDG_DATA_DIRS=/a:. $cli", root / "share");
    EXPECT_EQ(relative.err, "titles-cli: cannot find adjectives.txt; looked in ., /home/nobody/.local/share/titles, "
                            "/a/titles\n");
    // A list that is named is read as named; the other is still looked for.
    const auto one = shell(installed + "$cli -s 42 -n 40 -a ../adjectives.txt", root / "share");
    EXPECT_EQ(one.out, same) << one.err;
    // The adjectives are read first: a named one that is missing is reported
    // before the nouns are looked for.
    const auto missing = shell("LC_ALL=C HOME=/home/nobody XDG_DATA_HOME= XDG_DATA_DIRS=/a $cli -a nope.txt", root / "share");
    EXPECT_EQ(missing.err, "titles-cli: cannot open nope.txt: No such file or directory\n");
}

}  // namespace
}  // namespace titles::cli
