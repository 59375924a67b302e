#include <gtest/gtest.h>

#include "cli/cli.h"
#include "support/test_support.h"

namespace titles::cli {
namespace {

using testing::RunProcess;
using testing::TTempDir;

const std::string kCli = TITLES_CLI_PATH;

class CliTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_.Write("adjectives.txt", "Dark\r\nSilent\r\nGolden\r\nBroken\r\n");
        dir_.Write("nouns.txt", "Running\nCastle\nDragon\nFalling\nStar\nMoon\nSword\n");
    }
    testing::TProcessResult Run(std::vector<std::string> args) {
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
    struct Case {
        std::vector<std::string> args;
        std::string err;
    };
    dir_.Write("empty.txt", "");
    dir_.Write("two.txt", "A\nB\n");
    const Case cases[] = {
        {{"--adjectives", "missing.txt"}, "ファイル missing.txt は開けません.\n"},
        {{"--nouns", "gone.txt"}, "ファイル gone.txt は開けません.\n"},
        {{"--adjectives", "missing.txt", "--nouns", "gone.txt"}, "ファイル missing.txt は開けません.\n"},
        {{"--adjectives", "."}, "ファイル . は開けません.\n"},
        {{"--adjectives", "empty.txt", "--seed", "0"}, "リストのインデックスが範囲を超えています (0)\n"},
        {{"--nouns", "two.txt", "--seed", "0", "--count", "50"}, "ファイル two.txt には使える単語が足りません.\n"},
    };
    for (const auto& c : cases) {
        const auto r = Run(c.args);
        EXPECT_EQ(r.exitCode, 1) << c.err;
        EXPECT_EQ(r.err, c.err);
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
    };
    for (const auto& args : cases) {
        const auto r = Run(args);
        EXPECT_EQ(r.exitCode, 2) << args[0];
        EXPECT_NE(r.err.find("Usage: titles-cli"), std::string::npos);
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
    const auto r = testing::RunProcess(
        {"/bin/sh", "-c", "'" + kCli + "' --seed 5 --count 1000000 | head -n 2"},
        dir_.Path());
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 2);
}

TEST_F(CliTest, WriteErrorIsReported) {
    const auto r = testing::RunProcess({"/bin/sh", "-c", "'" + kCli + "' --seed 5 --count 100000 > /dev/full"},
                                       dir_.Path());
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("write error"), std::string::npos);
}

}  // namespace
}  // namespace titles::cli
