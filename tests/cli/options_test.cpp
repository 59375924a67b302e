// The command line's grammar: what getopt_long accepts, and the one-line
// description of what it refuses.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/report_format.h"
#include "parse_args.h"
#include "phrase/errors.h"

namespace titles::cli {
namespace {

// The parsed options in a few words, or the error.
std::string Parsed(const std::vector<std::string>& args) {
    std::string error;
    const auto o = ParseArgs(args, error);
    if (!o) return "error: " + error;
    std::string text = o->mode == TCliMode::Titles ? "titles" : (o->mode == TCliMode::Check ? "check" : "stats");
    if (o->format == TReportFormat::Json) text += " json";
    if (o->seed) text += " seed=" + std::to_string(*o->seed);
    text += " count=" + std::to_string(o->count) + " a=" + o->adjectiveFile + " n=" + o->nounFile;
    if (o->adjectivesNamed) text += " a-named";
    if (o->nounsNamed) text += " n-named";
    if (o->help) text += " help";
    if (o->version) text += " version";
    return text;
}

TEST(CliOptions, Grammar) {
    // Bytes outside UTF-8 and C1 controls are plain characters of a code page.
    const auto outsideUtf8 = [](std::string bytes, std::string escaped) {
        return NamesInCodePage() ? "'" + bytes + "'" : escaped;
    };
    struct Row {
        std::vector<std::string> args;
        std::string parsed;
    };
    const Row rows[] = {
        {{}, "titles count=1 a=adjectives.txt n=nouns.txt"},
        {{"-s", "5", "-n", "3", "-a", "x", "-N", "y"}, "titles seed=5 count=3 a=x n=y a-named n-named"},
        {{"-s5", "-n3", "-ax", "-Ny"}, "titles seed=5 count=3 a=x n=y a-named n-named"},
        {{"--seed=5", "--count", "3", "--adjectives=x", "--nouns", "y"}, "titles seed=5 count=3 a=x n=y a-named n-named"},
        {{"--se", "5", "--cou=3", "--adj", "x", "--n=y"}, "titles seed=5 count=3 a=x n=y a-named n-named"},
        {{"-a", "-", "--nouns=-x"}, "titles count=1 a=- n=-x a-named n-named"},
        {{"-N", "--", "--"}, "titles count=1 a=adjectives.txt n=-- n-named"},
        {{"-s", "1", "--"}, "titles seed=1 count=1 a=adjectives.txt n=nouns.txt"},
        {{"-hV"}, "titles count=1 a=adjectives.txt n=nouns.txt help version"},
        {{"--vers"}, "titles count=1 a=adjectives.txt n=nouns.txt version"},
        {{"--st", "--format=json"}, "stats json count=1 a=adjectives.txt n=nouns.txt"},
        {{"--check", "--che"}, "check count=1 a=adjectives.txt n=nouns.txt"},
        {{"--", "x"}, "error: unexpected argument 'x'"},
        {{"-s", "1", "x"}, "error: unexpected argument 'x'"},
        {{"--colour"}, "error: unrecognized option '--colour'"},
        {{"--s", "1"}, "error: option '--s' is ambiguous"},
        {{"--c=1"}, "error: option '--c' is ambiguous"},
        {{"-x"}, "error: invalid option -- 'x'"},
        {{"--check", "-hx"}, "error: invalid option -- 'x'"},
        {{"-s"}, "error: option '-s' requires an argument"},
        {{"-hN"}, "error: option '-N' requires an argument"},
        {{"--nouns"}, "error: option '--nouns' requires an argument"},
        {{"--no"}, "error: option '--no' requires an argument"},
        {{"--help=yes"}, "error: option '--help' doesn't allow an argument"},
        {{"--stat=1"}, "error: option '--stat' doesn't allow an argument"},
        {{"-s", "-1"}, "error: --seed needs a whole number from 0 to 4294967295, not '-1'"},
        {{"--seed=4294967296"}, "error: --seed needs a whole number from 0 to 4294967295, not '4294967296'"},
        {{"-n", "1e3"}, "error: --count needs a whole number of 0 or more, not '1e3'"},
        {{"-a", "-", "-N", "-"}, "error: only one list can be read from standard input ('-')"},
        {{"--stats", "-n", "3"}, "error: --count cannot be used with --stats"},
        {{"--format", "json"}, "error: --format applies only to --check and --stats"},
        {{"--check", "--format=xml"}, "error: --format needs text or json, not 'xml'"},
        // Arguments a terminal could act on are quoted, never echoed raw.
        {{"x\x1b[2Jy"}, "error: unexpected argument $'x\\e[2Jy'"},
        {{"--seed=\x1b]0;PWNED\a"}, "error: --seed needs a whole number from 0 to 4294967295, not $'\\e]0;PWNED\\a'"},
        {{"-n", "1\n2"}, "error: --count needs a whole number of 0 or more, not $'1\\n2'"},
        {{"--check", "--format=\xc2\x9b"},
         "error: --format needs text or json, not " + outsideUtf8("\xc2\x9b", "$'\\xc2\\x9b'")},
        {{"--\x1b[31m=1"}, "error: unrecognized option $'--\\e[31m'"},
        {{"-\x7f"}, "error: invalid option -- $'\\x7f'"},
        {{"-\xff"}, "error: invalid option -- " + outsideUtf8("\xff", "$'\\xff'")},
    };
    for (const auto& row : rows) EXPECT_EQ(Parsed(row.args), row.parsed) << ::testing::PrintToString(row.args);
}

TEST(CliMessages, LanguageFollowsTheLocaleVariables) {
    struct Row {
        const char* lcAll;
        const char* lcMessages;
        const char* lang;
        TLanguage language;
    };
    const Row rows[] = {
        {nullptr, nullptr, nullptr, TLanguage::English},
        {nullptr, nullptr, "ja_JP.UTF-8", TLanguage::Japanese},
        {nullptr, nullptr, "ja", TLanguage::Japanese},
        {nullptr, nullptr, "C", TLanguage::English},
        {nullptr, nullptr, "jp_JP.UTF-8", TLanguage::English},
        {"", "", "ja_JP.eucJP", TLanguage::Japanese},
        {"C", nullptr, "ja_JP.UTF-8", TLanguage::English},
        {"ja_JP.UTF-8", "en_US.UTF-8", "en_US.UTF-8", TLanguage::Japanese},
        {nullptr, "ja_JP.UTF-8", "en_GB.UTF-8", TLanguage::Japanese},
        {"", "de_DE.UTF-8", "ja_JP.UTF-8", TLanguage::English},
        {"", "", "", TLanguage::English},
    };
    for (const auto& row : rows) {
        const auto lookup = [&](const char* name) -> const char* {
            const std::string n = name;
            return n == "LC_ALL" ? row.lcAll : n == "LC_MESSAGES" ? row.lcMessages : n == "LANG" ? row.lang : nullptr;
        };
        EXPECT_EQ(LanguageFromEnvironment(lookup), row.language)
            << (row.lcAll ? row.lcAll : "-") << " " << (row.lcMessages ? row.lcMessages : "-") << " "
            << (row.lang ? row.lang : "-");
    }
}

// Each failure worded from its facts, in English and in the desktop
// program's Japanese; the cases a process cannot easily stage.
TEST(FailureText, WordsEachKindFromItsFacts) {
    struct Row {
        TFailureKind kind;
        int systemError;
        std::string english;
    };
    const Row rows[] = {
        {TFailureKind::FileOpen, 0, "cannot open $'a\\eb'"},
        {TFailureKind::FileOpen, 5, "cannot open $'a\\eb': " + SystemReason(5)},
        {TFailureKind::FileRead, 5, "cannot read $'a\\eb': " + SystemReason(5)},
        {TFailureKind::NotAFile, 0, "cannot open $'a\\eb': not a file or a pipe"},
        {TFailureKind::FileTooLarge, 0, "cannot open $'a\\eb': 2 GiB or larger"},
    };
    for (const auto& row : rows) {
        const TFileOpenError failure(row.kind, "a\x1b" "b", row.systemError);
        EXPECT_EQ(FailureText(failure, TLanguage::English), row.english);
        EXPECT_EQ(FailureText(failure, TLanguage::Japanese), "ファイル $'a\\eb' は開けません.");
    }
    EXPECT_EQ(FailureText(TListTooSmallError(TFailureKind::NoGerund, "n"), TLanguage::English),
              "n: no word ends in \"ing\"");
    EXPECT_EQ(FailureText(TListIndexError(-1), TLanguage::Japanese), "リストのインデックスが範囲を超えています (-1)");
}

}  // namespace
}  // namespace titles::cli
