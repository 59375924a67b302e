// Every case of the bad-file table through the real titles-cli, once as the
// adjective file and once as the noun file, and through TWordList directly.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <tuple>

#include "matrix/bad_files.h"
#include "phrase/composer.h"
#include "phrase/errors.h"
#include "phrase/random_source.h"
#include "phrase/word_list.h"
#include "support/test_support.h"

namespace titles {
namespace {

using test_support::BadFileCases;
using test_support::ExpectedOpenErrorMessage;
using test_support::RunProcess;
using test_support::TBadFileCase;
using test_support::TTempDir;
using namespace std::chrono_literals;

const std::string kCli = TITLES_CLI_PATH;
constexpr std::uint32_t kSeed = 12345;
constexpr int kCount = 3;

// The well-formed partner of the file under test.
const std::string kGoodAdjectives = "Dark\nSilent\n";
const std::string kGoodNouns = "Running\nCastle\nDragon\nFalling\nStar\n";

// A bounded description of entries for failure messages.
std::string Describe(const std::vector<std::string>& entries) {
    std::string out = std::to_string(entries.size()) + " entries:";
    for (std::size_t i = 0; i < entries.size() && i < 8; ++i) {
        out += " [" + entries[i].substr(0, 40) + (entries[i].size() > 40 ? "...]" : "]");
    }
    return out;
}

std::vector<std::string> EntriesOf(const TWordList& list) {
    std::vector<std::string> entries;
    for (std::int32_t i = 0; i < list.WordCount(); ++i) entries.emplace_back(list.WordAt(i));
    return entries;
}

struct TCliOutcome {
    int exitCode = 0;
    std::string out;
    std::string err;
};

// The tool's message under a Japanese locale for a list too small to
// compose from: the desktop program's words, with its full stop where its
// boxes add one.
std::string JapaneseMessage(const TFailureFacts& facts) {
    switch (facts.kind) {
        case TFailureKind::ListIndex:
            return "リストのインデックスが範囲を超えています (" + std::to_string(facts.index) + ")";
        case TFailureKind::NoFreeEntry:
            return "ファイル " + facts.name + " には使える単語が足りません.";
        case TFailureKind::NoGerund:
            return "ファイル " + facts.name + " には ing で終わる単語がありません.";
        default: return "unexpected failure of kind " + std::to_string(static_cast<int>(facts.kind));
    }
}

// What the tool must print for lists holding exactly these entries.
TCliOutcome ExpectedCliOutcome(const std::vector<std::string>& adjectiveEntries,
                               const std::vector<std::string>& nounEntries) {
    TWordList adjectives;
    TWordList nouns;
    for (const auto& e : adjectiveEntries) adjectives.AppendWord(e);
    for (const auto& e : nounEntries) nouns.AppendWord(e);
    TCliOutcome outcome;
    RandomSeed = kSeed;
    try {
        for (int i = 0; i < kCount; ++i) outcome.out += ComposePhrase(adjectives, nouns) + "\n";
    } catch (const TFailure& failure) {
        outcome.exitCode = 1;
        outcome.err = "titles-cli: " + JapaneseMessage(failure.Facts()) + "\n";
    }
    return outcome;
}

std::vector<std::string> LinesOf(const std::string& text) {
    TWordList list;
    list.AssignText(text);
    return EntriesOf(list);
}

class BadFileMatrix : public ::testing::TestWithParam<std::tuple<std::size_t, bool>> {
protected:
    const TBadFileCase& Case() const { return BadFileCases()[std::get<0>(GetParam())]; }
    bool AsNouns() const { return std::get<1>(GetParam()); }
};

TEST_P(BadFileMatrix, LoadsExactlyOrFailsClearly) {
    const TBadFileCase& c = Case();
    SCOPED_TRACE(c.description);
    TTempDir dir;
    ASSERT_EQ(::chmod(dir.Path().c_str(), 0755), 0);  // open to the unprivileged user
    const std::string badName = AsNouns() ? "nouns.txt" : "adjectives.txt";
    dir.Write(AsNouns() ? "adjectives.txt" : "nouns.txt", AsNouns() ? kGoodAdjectives : kGoodNouns);
    c.create(dir.Path(), badName);
    const std::string badPath = (dir.Path() / badName).string();
    const bool root = ::geteuid() == 0;

    // Through the library: the exact entries, or the open error with the
    // list left as it was. Root reads the unreadable file; the tool below
    // checks that case as an unprivileged user.
    if (!(c.needsUnprivileged && root)) {
        test_support::TWatchdog watchdog(20s, "loading " + c.name);
        TWordList list;
        list.AppendWord("sentinel");
        if (c.opens) {
            ASSERT_NO_THROW(list.LoadWordFile(badPath));
            const auto entries = EntriesOf(list);
            EXPECT_TRUE(entries == c.entries) << "got " << Describe(entries) << "\nexpected " << Describe(c.entries);
        } else {
            try {
                list.LoadWordFile(badPath);
                ADD_FAILURE() << "no open error";
            } catch (const TFileOpenError& e) {
                EXPECT_EQ(e.Facts().name, badPath);
            }
            EXPECT_TRUE(EntriesOf(list) == std::vector<std::string>{"sentinel"});
        }
    }

    // Through the tool, started in the directory and given the two names, so
    // that a missing file is not looked for among the installed lists. It
    // waits for a FIFO's writer, as cat does, where the library refuses.
    if (c.name == "fifo") return;
    std::vector<std::string> argv;
    std::string cli = kCli;
    if (c.needsUnprivileged && root) {
        // The build tree may lie where the unprivileged user cannot reach
        // (under /root, say): run a copy from the case's own directory.
        cli = (dir.Path() / "titles-cli").string();
        std::filesystem::copy_file(kCli, cli);
        std::filesystem::permissions(cli, std::filesystem::perms(0755));
        const std::string id = std::to_string(test_support::kUnprivilegedId);
        argv = {"/usr/bin/setpriv", "--reuid=" + id, "--regid=" + id, "--clear-groups", "--"};
    }
    for (const std::string& a : {cli, std::string("--seed"), std::to_string(kSeed), std::string("--count"),
                                 std::to_string(kCount), std::string("--adjectives=adjectives.txt"),
                                 std::string("--nouns=nouns.txt")}) {
        argv.push_back(a);
    }
    ::setenv("LC_ALL", "ja_JP.UTF-8", 1);  // the tool's messages in the desktop program's words
    const auto r = RunProcess(argv, dir.Path(), 30s);
    ASSERT_EQ(r.signal, 0) << "the tool died by a signal";

    // The tool reads a character device as a stream that its first zero
    // byte ends: /dev/null and /dev/zero give it an empty list.
    const bool device = c.name.rfind("dev_", 0) == 0;
    TCliOutcome expected;
    if (!c.opens && !device) {
        expected = {1, "", "titles-cli: " + WithFullStop(ExpectedOpenErrorMessage(badName)) + "\n"};
    } else if (AsNouns()) {
        expected = ExpectedCliOutcome(LinesOf(kGoodAdjectives), c.entries);
    } else {
        expected = ExpectedCliOutcome(c.entries, LinesOf(kGoodNouns));
    }
    EXPECT_EQ(r.exitCode, expected.exitCode);
    EXPECT_EQ(r.err, expected.err);
    EXPECT_EQ(r.out.size(), expected.out.size());
    EXPECT_TRUE(r.out == expected.out) << "output differs; expected begins "
                                       << expected.out.substr(0, 200) << "\ngot " << r.out.substr(0, 200);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadFileMatrix,
    ::testing::Combine(::testing::Range<std::size_t>(0, BadFileCases().size()), ::testing::Bool()),
    [](const auto& testParam) {
        return BadFileCases()[std::get<0>(testParam.param)].name + (std::get<1>(testParam.param) ? "_as_nouns" : "_as_adjectives");
    });

// Memory running out while a list is built is reported like any failure,
// not by a crash.
TEST(CliUnderFaults, RunningOutOfMemoryIsAClearFailure) {
    TTempDir dir;
    // 60 million empty entries: 60 MB of text, 240 MB of entry offsets.
    dir.Write("adjectives.txt", std::string(60'000'000, '\n'));
    dir.Write("nouns.txt", kGoodNouns);
    ::setenv("LC_ALL", "C", 1);
    const auto r = RunProcess({"/usr/bin/prlimit", "--as=150000000", "--", kCli, "--seed", "1"}, dir.Path(), 60s);
    EXPECT_EQ(r.signal, 0);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "titles-cli: not enough memory\n");
}

}  // namespace
}  // namespace titles
