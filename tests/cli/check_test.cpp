#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "cli/check_report.h"
#include "cli/cli.h"
#include "parse_args.h"
#include "cli/report_format.h"
#include "support/test_support.h"

namespace titles::cli {
namespace {

using namespace std::string_literals;

// A compact, readable account of one list's report.
std::string Summary(const TListReport& r) {
    const auto tally = [](const char* name, const TLineTally& t) {
        std::string text = std::string(" ") + name + "=" + std::to_string(t.count);
        if (t.count == 0) return text;
        text += "[";
        for (std::size_t i = 0; i < t.lines.size(); ++i) text += (i ? "," : "") + std::to_string(t.lines[i]);
        return text + "]";
    };
    std::string text = "entries=" + std::to_string(r.entries);
    text += tally("empty", r.empty) + tally("padded", r.padded) + tally("amp", r.ampersand) + tally("tab", r.tab);
    if (r.role == TListRole::Nouns) text += tally("ing", r.gerunds);
    text += " dup=" + std::to_string(r.duplicateCount);
    if (!r.duplicates.empty()) {
        text += "[";
        for (std::size_t i = 0; i < r.duplicates.size(); ++i) {
            text += (i ? "," : "") + std::to_string(r.duplicates[i].line) + "=" +
                    std::to_string(r.duplicates[i].firstLine);
        }
        text += "]";
    }
    if (r.zeroByteOffset) text += " zero@" + std::to_string(*r.zeroByteOffset);
    if (r.utf8ByteOrderMark) text += " bom";
    if (r.utf16ZeroOffset) text += " utf16@" + std::to_string(*r.utf16ZeroOffset);
    if (r.onlyZeroBytes) text += " zeros";
    return text;
}

const std::string kGoodAdjectives = "Dark\r\nSilent\r\nGolden\r\nBroken\r\n";
const std::string kGoodNouns = "Running\nCastle\nDragon\nFalling\nStar\nMoon\nSword\n";

struct BrokenCase {
    const char* name;
    std::string adjectives;
    std::string nouns;
    std::string adjectiveSummary;
    std::string nounSummary;
    int exitCode;
    std::size_t problems;
    std::size_t warnings;
};

void PrintTo(const BrokenCase& c, std::ostream* os) { *os << c.name; }

class CheckBrokenLists : public ::testing::TestWithParam<BrokenCase> {};

TEST_P(CheckBrokenLists, ReportAndExitCode) {
    const BrokenCase& c = GetParam();
    const TCheckReport report = CheckWordLists(CheckWordBytes(c.adjectives, TListRole::Adjectives, "adjectives.txt"),
                                               CheckWordBytes(c.nouns, TListRole::Nouns, "nouns.txt"));
    EXPECT_EQ(Summary(report.adjectives), c.adjectiveSummary);
    EXPECT_EQ(Summary(report.nouns), c.nounSummary);
    EXPECT_EQ(report.ExitCode(), c.exitCode);
    EXPECT_EQ(report.problems.size(), c.problems) << ::testing::PrintToString(report.problems);
    EXPECT_EQ(report.warnings.size(), c.warnings) << ::testing::PrintToString(report.warnings);
    EXPECT_EQ(report.adjectives.bytes, static_cast<std::int64_t>(c.adjectives.size()));
}

const std::string kSoundAdj = "entries=4 empty=0 padded=0 amp=0 tab=0 dup=0";
const std::string kSoundNouns = "entries=7 empty=0 padded=0 amp=0 tab=0 ing=2[1,4] dup=0";

INSTANTIATE_TEST_SUITE_P(
    Table, CheckBrokenLists,
    ::testing::Values(
        BrokenCase{"sound", kGoodAdjectives, kGoodNouns, kSoundAdj, kSoundNouns, 0, 0, 0},
        BrokenCase{"one_adjective", "Dark\n", kGoodNouns, "entries=1 empty=0 padded=0 amp=0 tab=0 dup=0", kSoundNouns,
                   1, 1, 0},
        BrokenCase{"four_nouns", kGoodAdjectives, "Running\nCastle\nDragon\nStar", kSoundAdj,
                   "entries=4 empty=0 padded=0 amp=0 tab=0 ing=1[1] dup=0", 1, 1, 0},
        BrokenCase{"no_gerund_only_lookalikes", kGoodAdjectives, "RUNNING\nSpring \nin\nDragon\nStar\nMoon\n", kSoundAdj,
                   "entries=6 empty=0 padded=1[2] amp=0 tab=0 ing=0 dup=0", 1, 1, 1},
        BrokenCase{"empty_files", "", "", "entries=0 empty=0 padded=0 amp=0 tab=0 dup=0",
                   "entries=0 empty=0 padded=0 amp=0 tab=0 ing=0 dup=0", 1, 3, 0},
        BrokenCase{"empty_lines_count_as_entries", "Dark\n\nSilent\r\n\r\n", kGoodNouns + "\n\n",
                   "entries=4 empty=2[2,4] padded=0 amp=0 tab=0 dup=0",
                   "entries=9 empty=2[8,9] padded=0 amp=0 tab=0 ing=2[1,4] dup=0", 3, 0, 2},
        BrokenCase{"padding_and_tabs", " Dark\nSilent\t\nGol\tden\nBroken\n", kGoodNouns,
                   "entries=4 empty=0 padded=2[1,2] amp=0 tab=2[2,3] dup=0", kSoundNouns, 3, 0, 2},
        BrokenCase{"duplicates_by_bytes", "Dark\nDark\ndark\nDark \n", kGoodNouns + "Moon\r\nStar\nMoon\n",
                   "entries=4 empty=0 padded=1[4] amp=0 tab=0 dup=1[2=1]",
                   "entries=10 empty=0 padded=0 amp=0 tab=0 ing=2[1,4] dup=3[8=6,9=5,10=6]", 3, 0, 3},
        BrokenCase{"line_ends_split_as_the_program_reads", "Dark\n\rDark\r\r\nSilent\rDark", kGoodNouns,
                   "entries=6 empty=2[2,4] padded=0 amp=0 tab=0 dup=2[3=1,6=1]", kSoundNouns, 3, 0, 2},
        BrokenCase{"many_duplicates_listed_first_few", kGoodAdjectives, "Xing\nA\nA\nA\nA\nA\nA\nA\nB\n", kSoundAdj,
                   "entries=9 empty=0 padded=0 amp=0 tab=0 ing=1[1] dup=6[3=2,4=2,5=2,6=2,7=2]", 3, 0, 1},
        BrokenCase{"ampersand", "Rock & Roll\nSilent\n", kGoodNouns,
                   "entries=2 empty=0 padded=0 amp=1[1] tab=0 dup=0", kSoundNouns, 3, 0, 1},
        BrokenCase{"zero_byte_cuts_the_text", "Dark\nSilent\0Golden\nBroken\n"s, kGoodNouns,
                   "entries=2 empty=0 padded=0 amp=0 tab=0 dup=0 zero@11", kSoundNouns, 3, 0, 1},
        BrokenCase{"zero_byte_leaves_too_few", kGoodAdjectives, "Running\nCastle\0Dragon\nStar\nMoon\nSword\n"s,
                   kSoundAdj, "entries=2 empty=0 padded=0 amp=0 tab=0 ing=1[1] dup=0 zero@14", 1, 1, 1},
        BrokenCase{"utf8_byte_order_mark", "\xEF\xBB\xBF" + kGoodAdjectives, kGoodNouns,
                   kSoundAdj + " bom", kSoundNouns, 3, 0, 1},
        BrokenCase{"utf16_little_endian", kGoodAdjectives, "\xFF\xFER\0u\0n\0n\0i\0n\0g\0\n\0"s, kSoundAdj,
                   "entries=1 empty=0 padded=0 amp=0 tab=0 ing=0 dup=0 zero@3 utf16@3", 1, 2, 2},
        BrokenCase{"utf16_big_endian_no_mark", "\0D\0a\0r\0k\0\n"s, kGoodNouns,
                   "entries=0 empty=0 padded=0 amp=0 tab=0 dup=0 zero@0 utf16@0", kSoundNouns, 1, 1, 2},
        BrokenCase{"zero_byte_late_is_no_utf16", "Dark\nSilent\n\0"s, kGoodNouns,
                   "entries=2 empty=0 padded=0 amp=0 tab=0 dup=0 zero@12", kSoundNouns, 3, 0, 1},
        BrokenCase{"only_zero_bytes_are_no_utf16", std::string(6, '\0'), kGoodNouns,
                   "entries=0 empty=0 padded=0 amp=0 tab=0 dup=0 zero@0 zeros", kSoundNouns, 1, 1, 1}),
    [](const ::testing::TestParamInfo<BrokenCase>& p) { return std::string(p.param.name); });

TEST(CheckReportText, AlignedAndComplete) {
    const TCheckReport report =
        CheckWordLists(CheckWordBytes("Dark\nDark\n Silent\n", TListRole::Adjectives, "a.txt"),
                       CheckWordBytes("Running\nA&B\n\0junk"s, TListRole::Nouns, "n.txt"));
    EXPECT_EQ(FormatCheckText(report),
              "a.txt (adjectives, 18 bytes)\n"
              "  entries                                    3\n"
              "  empty                                      0\n"
              "  leading or trailing space or tab           1  line 3\n"
              "  duplicates                                 1  line 2 = line 1\n"
              "  holding \"&\"                                0\n"
              "  holding a tab                              0\n"
              "  zero byte ending the text                 no\n"
              "  UTF-8 byte-order mark                     no\n"
              "  signs of UTF-16                           no\n"
              "\n"
              "n.txt (nouns, 17 bytes)\n"
              "  entries                                    2\n"
              "  ending in \"ing\"                            1  line 1\n"
              "  empty                                      0\n"
              "  leading or trailing space or tab           0\n"
              "  duplicates                                 0\n"
              "  holding \"&\"                                1  line 2\n"
              "  holding a tab                              0\n"
              "  zero byte ending the text                yes  at offset 12\n"
              "  UTF-8 byte-order mark                     no\n"
              "  signs of UTF-16                           no\n"
              "\n"
              "Verdict: a composition can fail:\n"
              "  n.txt has 2 entries, at least 5 are needed\n"
              "4 warnings:\n"
              "  a.txt: 1 entry with leading or trailing space or tab\n"
              "  a.txt: 1 duplicate entry\n"
              "  n.txt: a zero byte at offset 12 ends the text; the 4 bytes after it are never read\n"
              "  n.txt: 1 entry holding \"&\" (the desktop program underlines the next character)\n");
}

TEST(CheckReportText, ZeroByteWarnings) {
    const auto warnings = [](std::string_view adjectives) {
        return CheckWordLists(CheckWordBytes(adjectives, TListRole::Adjectives, "a.txt"),
                              CheckWordBytes(kGoodNouns, TListRole::Nouns, "n.txt"))
            .warnings;
    };
    EXPECT_EQ(warnings("A\nB\n\0"s), std::vector<std::string>{"a.txt: a zero byte at offset 4, the last byte"});
    EXPECT_EQ(warnings("A\nB\n\0C\n"s),
              std::vector<std::string>{"a.txt: a zero byte at offset 4 ends the text; the 2 bytes after it are never read"});
    EXPECT_EQ(warnings("A\nB\n\0\n"s),
              std::vector<std::string>{"a.txt: a zero byte at offset 4 ends the text; the byte after it is never read"});
    EXPECT_EQ(warnings(std::string(3, '\0')), std::vector<std::string>{"a.txt holds nothing but zero bytes"});
}

// File names are shown whole, and no byte of them reaches a terminal as a
// command.
TEST(CheckReportText, QuotesFileNamesATerminalCouldActOn) {
    // UTF-8 names, then names in the ANSI code page (Windows).
    const std::tuple<std::string_view, bool, std::string_view> rows[] = {
        {"nouns.txt", false, "nouns.txt"},
        {"my list's.txt", false, "my list's.txt"},
        {"\xe6\x97\xa5\xe6\x9c\xac.txt", false, "\xe6\x97\xa5\xe6\x9c\xac.txt"},
        {"\x1b[31mred\nsecond", false, "$'\\e[31mred\\nsecond'"},
        {"a\xff'b\\", false, "$'a\\xff\\'b\\\\'"},
        {"\xc2\x9b\x7f\t", false, "$'\\xc2\\x9b\\x7f\\t'"},
        {"caf\xe9.txt", true, "caf\xe9.txt"},
        {"\xc2\x9b\x1b\x7f", true, "$'\xc2\x9b\\e\\x7f'"},
    };
    for (const auto& [name, codePage, shown] : rows) EXPECT_EQ(QuotedName(name, codePage), shown) << name;
    const TCheckReport report = CheckWordLists(CheckWordBytes("A\n", TListRole::Adjectives, "a\x1b.txt"),
                                               CheckWordBytes(kGoodNouns, TListRole::Nouns, "n.txt"));
    EXPECT_EQ(FormatCheckText(report).rfind("$'a\\e.txt' (adjectives, 2 bytes)\n", 0), 0u);
    EXPECT_EQ(FormatCheckText(report).find('\x1b'), std::string::npos) << "a problem names the file raw";
}

TEST(CheckReportJson, FieldsForScripts) {
    const TCheckReport report =
        CheckWordLists(CheckWordBytes("\xEF\xBB\xBF\x44\x61rk\nA\"\\\n", TListRole::Adjectives, "a\xff.txt"),
                       CheckWordBytes("Xing\nB\nC\nD\nB\nE\n", TListRole::Nouns, "n.txt"));
    EXPECT_EQ(FormatCheckJson(report),
              "{\n"
              "  \"files\": [\n"
              "    {\n"
              "      \"role\": \"adjectives\",\n"
              "      \"file\": \"a\\ufffd.txt\", \"file_bytes\": \"61ff2e747874\",\n"
              "      \"bytes\": 12,\n"
              "      \"read_to_end\": true,\n"
              "      \"entries\": 2,\n"
              "      \"empty\": {\"count\": 0, \"lines\": []},\n"
              "      \"leading_or_trailing_blank\": {\"count\": 0, \"lines\": []},\n"
              "      \"duplicates\": {\"count\": 0, \"lines\": []},\n"
              "      \"ampersand\": {\"count\": 0, \"lines\": []},\n"
              "      \"tab\": {\"count\": 0, \"lines\": []},\n"
              "      \"zero_byte_offset\": null,\n"
              "      \"utf8_byte_order_mark\": true,\n"
              "      \"utf16_zero_byte_offset\": null\n"
              "    },\n"
              "    {\n"
              "      \"role\": \"nouns\",\n"
              "      \"file\": \"n.txt\",\n"
              "      \"bytes\": 15,\n"
              "      \"read_to_end\": true,\n"
              "      \"entries\": 6,\n"
              "      \"ending_in_ing\": {\"count\": 1, \"lines\": [1]},\n"
              "      \"empty\": {\"count\": 0, \"lines\": []},\n"
              "      \"leading_or_trailing_blank\": {\"count\": 0, \"lines\": []},\n"
              "      \"duplicates\": {\"count\": 1, \"lines\": [{\"line\": 5, \"first\": 2}]},\n"
              "      \"ampersand\": {\"count\": 0, \"lines\": []},\n"
              "      \"tab\": {\"count\": 0, \"lines\": []},\n"
              "      \"zero_byte_offset\": null,\n"
              "      \"utf8_byte_order_mark\": false,\n"
              "      \"utf16_zero_byte_offset\": null\n"
              "    }\n"
              "  ],\n"
              "  \"complete\": true,\n"
              "  \"problems\": [],\n"
              "  \"warnings\": [" +
                  JsonString(QuotedName("a\xff.txt") + " starts with a UTF-8 byte-order mark, which stays part of line 1") +
                  ", \"n.txt: 1 duplicate entry\"],\n"
              "  \"exit_code\": 3\n"
              "}\n");
}

TEST(CliParse, ModesAndFormat) {
    std::string error;
    const auto check = ParseArgs({"--check", "--check", "--format", "json", "--nouns", "n"}, error);
    ASSERT_TRUE(check) << error;
    EXPECT_EQ(check->mode, TCliMode::Check);
    EXPECT_EQ(check->format, TReportFormat::Json);
    EXPECT_EQ(check->nounFile, "n");
    const auto stats = ParseArgs({"--format=text", "--stats"}, error);
    ASSERT_TRUE(stats) << error;
    EXPECT_EQ(stats->mode, TCliMode::Stats);
    EXPECT_EQ(stats->format, TReportFormat::Text);
    EXPECT_FALSE(ParseArgs({"--seed", "3", "--check"}, error));
    EXPECT_EQ(error, "--seed cannot be used with --check");
    EXPECT_FALSE(ParseArgs({"--format", "json"}, error));
    EXPECT_EQ(error, "--format applies only to --check and --stats");
    const auto titles = ParseArgs({"--seed", "3"}, error);
    ASSERT_TRUE(titles);
    EXPECT_EQ(titles->mode, TCliMode::Titles);
}

// ---- Through the binary ------------------------------------------------------

#ifndef _WIN32
class CheckAndStatsProcess : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("LC_ALL", "C", 1);  // messages in English
        dir_.Write("adjectives.txt", kGoodAdjectives);
        dir_.Write("nouns.txt", kGoodNouns);
    }
    titles::test_support::TProcessResult Run(std::vector<std::string> args) {
        args.insert(args.begin(), TITLES_CLI_PATH);
        return titles::test_support::RunProcess(args, dir_.Path());
    }
    titles::test_support::TTempDir dir_;
};

TEST_F(CheckAndStatsProcess, ExitCodesFollowTheVerdict) {
    dir_.Write("dup.txt", kGoodNouns + "Moon\n");
    dir_.Write("four.txt", "Running\nA\nB\nC\n");
    const std::string raw = "\x1b[31mRED\nname";  // a name that would act on a terminal
    dir_.Write(raw, "A\nB\nC\nD\nE\n");
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        std::string inOut;
    };
    const Case cases[] = {
        {{"--check"}, 0, "Verdict: every composition completes"},
        {{"--check", "--nouns", "dup.txt"}, 3, "dup.txt: 1 duplicate entry"},
        {{"--nouns=four.txt", "--check"}, 1, "four.txt has 4 entries, at least 5 are needed"},
        {{"--check", "--format", "json"}, 0, "\"exit_code\": 0"},
        {{"--check", "--format=json", "--nouns", "four.txt"}, 1, "\"complete\": false"},
        {{"--stats"}, 0, "Compositions: 298036\n"},
        {{"--stats", "--format", "json"}, 0, "\"compositions\": \"298036\""},
        {{"--stats", "--nouns", "four.txt"}, 1, "cannot complete: needs 5 nouns, the list has 4"},
        {{"--stats", "--format", "text"}, 0, "Every composition completes."},
        {{"--check", "-N", raw}, 1,
         "Verdict: a composition can fail:\n  $'\\e[31mRED\\nname' has no entry ending in \"ing\", at least 1 is"},
        {{"--check", "-a", raw, "-N", raw}, 1, "\n  $'\\e[31mRED\\nname' has no entry ending in \"ing\""},
        {{"--stats", "-a", raw, "-N", raw}, 1, "\n  $'\\e[31mRED\\nname': 5 entries, 0 ending in \"ing\"\n"},
    };
    for (const auto& c : cases) {
        const auto r = Run(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args[0] << " " << c.inOut;
        EXPECT_NE(r.out.find(c.inOut), std::string::npos) << r.out;
        EXPECT_FALSE(test_support::HoldsControlBytes(r.out)) << r.out;
        EXPECT_EQ(r.err, "");
    }
}

// The same bytes as a file, through a pipe and from a writer that pauses
// after the zero byte: the same entries, and from a stream no count of
// bytes it was not read to.
TEST_F(CheckAndStatsProcess, StreamsReportOnlyWhatTheyWereReadTo) {
    dir_.Write("zero.bin", "alpha\nbeta\n\0"s + std::string(200000, 'x'));
    const std::string cli = std::string("'") + TITLES_CLI_PATH + "' --check -N ";
    const std::string file = cli + "zero.bin";
    const std::string pipe = "cat zero.bin | " + cli + "-";
    const std::string slow = "{ head -c 12 zero.bin; sleep 0.3; tail -c +13 zero.bin; } | " + cli + "-";
    std::string streamReport;
    for (const std::string& script : {pipe, slow, file}) {
        const auto r = titles::test_support::RunProcess({"/bin/bash", "-c", script}, dir_.Path());
        EXPECT_EQ(r.exitCode, 1) << script;
        EXPECT_EQ(r.err, "") << script;
        if (script != file) {
            EXPECT_NE(r.out.find("\n- (nouns, a stream read to its first zero byte: 12 bytes)\n"), std::string::npos)
                << script << "\n" << r.out;
            EXPECT_NE(r.out.find("\n  -: a zero byte at offset 11 ends the text; the stream is read no further\n"),
                      std::string::npos)
                << script << "\n" << r.out;
            if (streamReport.empty()) streamReport = r.out;
            EXPECT_EQ(r.out, streamReport) << script;
            continue;
        }
        std::string asStream = r.out;
        for (const auto& [was, is] : {std::pair<std::string, std::string>{
                                          "zero.bin (nouns, 200012 bytes)",
                                          "- (nouns, a stream read to its first zero byte: 12 bytes)"},
                                      {"zero.bin: a zero byte at offset 11 ends the text; the 200000 bytes after it "
                                       "are never read",
                                       "-: a zero byte at offset 11 ends the text; the stream is read no further"},
                                      {"zero.bin has", "- has"}}) {
            ASSERT_NE(asStream.find(was), std::string::npos) << was << "\n" << r.out;
            for (auto at = asStream.find(was); at != std::string::npos; at = asStream.find(was, at + is.size())) {
                asStream.replace(at, was.size(), is);
            }
        }
        EXPECT_EQ(asStream, streamReport);
    }
}

TEST_F(CheckAndStatsProcess, FilesFailAsWhenPrintingTitles) {
    for (const char* mode : {"--check", "--stats"}) {
        const auto missingBoth = Run({mode, "--adjectives", "missing.txt", "--nouns", "gone.txt"});
        EXPECT_EQ(missingBoth.exitCode, 1);
        EXPECT_EQ(missingBoth.err, "titles-cli: cannot open missing.txt: No such file or directory\n");
        EXPECT_EQ(missingBoth.out, "");
        const auto missingNouns = Run({mode, "--nouns", "gone.txt"});
        EXPECT_EQ(missingNouns.exitCode, 1);
        EXPECT_EQ(missingNouns.err, "titles-cli: cannot open gone.txt: No such file or directory\n");
    }
}

TEST_F(CheckAndStatsProcess, ModeUsageErrors) {
    const std::vector<std::vector<std::string>> cases = {
        {"--check", "--stats"}, {"--stats", "--check"}, {"--format", "json"},     {"--check", "--format", "xml"},
        {"--check", "--format"}, {"--check", "--seed", "1"}, {"--stats", "--count", "3"}, {"--check=yes"},
        {"--count", "2", "--stats"},
    };
    for (const auto& args : cases) {
        const auto r = Run(args);
        EXPECT_EQ(r.exitCode, 2) << ::testing::PrintToString(args);
        EXPECT_NE(r.err.find("\nTry 'titles-cli --help'.\n"), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
    }
}

#endif

}  // namespace
}  // namespace titles::cli
