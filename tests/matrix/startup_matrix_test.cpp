// Every case of the bad-file table as one of the desktop program's word files
// (the other one good), through the building of the window, which runs its
// creation handler under its guard, on the headless window system: the window
// shows either a phrase of the lists or "Label1" and exactly one box with
// the exact message, and the list holds exactly the file's entries.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <filesystem>
#include <tuple>

#include "app/UMain.h"
#include "app/messages.h"
#include "framework/headless/headless_window_system.h"
#include "matrix/bad_files.h"
#include "phrase/composer.h"
#include "base/failure.h"
#include "phrase/random_source.h"
#include "support/test_support.h"

namespace titles {
namespace {

using framework::headless::THeadlessWindowSystem;
using test_support::BadFileCases;
using test_support::TBadFileCase;
using namespace std::chrono_literals;

constexpr std::uint32_t kMillisecondsPerDay = 86'400'000;
const std::vector<std::string> kGoodAdjectives = {"Dark", "Silent"};
const std::vector<std::string> kGoodNouns = {"Running", "Castle", "Dragon", "Falling", "Star"};

std::string Lines(const std::vector<std::string>& entries) {
    std::string text;
    for (const auto& e : entries) text += e + "\n";
    return text;
}

std::vector<std::string> EntriesOf(const TWordList& list) {
    std::vector<std::string> entries;
    for (std::int32_t i = 0; i < list.WordCount(); ++i) entries.emplace_back(list.WordAt(i));
    return entries;
}

TWordList ListOf(const std::vector<std::string>& entries) {
    TWordList list;
    for (const auto& e : entries) list.AppendWord(e);
    return list;
}

// What the user sees once the loop runs: the label's text, the box (empty
// when none came up), and the seed after the first composition.
struct TOutcome {
    std::string label;
    std::vector<std::string> boxes;
    std::uint32_t seed = 0;
    friend bool operator==(const TOutcome&, const TOutcome&) = default;
};

// The outcome of start-up with both lists loaded and the clock reading seed.
TOutcome StartUpFrom(std::uint32_t seed, const TWordList& adjectives, const TWordList& nouns) {
    TOutcome outcome;
    RandomSeed = seed;
    try {
        outcome.label = ComposePhrase(adjectives, nouns);
    } catch (const TFailure& failure) {
        outcome.label = "Label1";
        outcome.boxes.push_back(WithFullStop(app::FailureMessage(failure.Facts())));
    }
    outcome.seed = RandomSeed;
    return outcome;
}

std::string Describe(const TOutcome& o) {
    std::string out = "label [" + o.label.substr(0, 60) + (o.label.size() > 60 ? "...]" : "]");
    for (const auto& b : o.boxes) out += " box [" + b + "]";
    return out + " seed " + std::to_string(o.seed);
}

// Runs the effective user id as the unprivileged user for one scope (root
// reads files without read permission).
class TUnprivileged {
public:
    explicit TUnprivileged(bool active) : active_(active) {
        if (active_ && (::setegid(test_support::kUnprivilegedId) != 0 || ::seteuid(test_support::kUnprivilegedId) != 0)) {
            throw std::runtime_error("cannot take the unprivileged user id");
        }
    }
    ~TUnprivileged() {
        if (active_ && (::seteuid(0) != 0 || ::setegid(0) != 0)) std::abort();
    }
    TUnprivileged(const TUnprivileged&) = delete;
    TUnprivileged& operator=(const TUnprivileged&) = delete;

private:
    bool active_;
};

class StartUpMatrix : public ::testing::TestWithParam<std::tuple<std::size_t, bool>> {
protected:
    const TBadFileCase& Case() const { return BadFileCases()[std::get<0>(GetParam())]; }
    bool AsNouns() const { return std::get<1>(GetParam()); }
};

TEST_P(StartUpMatrix, ShowsAPhraseOfTheListsOrExactlyOneBox) {
    const TBadFileCase& c = Case();
    SCOPED_TRACE(c.description);
    test_support::TTempDir dir;
    ASSERT_EQ(::chmod(dir.Path().c_str(), 0755), 0);  // open to the unprivileged user
    const std::string badName = AsNouns() ? "nouns.txt" : "adjectives.txt";
    dir.Write(AsNouns() ? "adjectives.txt" : "nouns.txt", Lines(AsNouns() ? kGoodAdjectives : kGoodNouns));
    c.create(dir.Path(), badName);

    const auto saved = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path());
    RandomSeed = 0;
    THeadlessWindowSystem windows;
    std::optional<app::TFormMain> form;
    const auto started = std::chrono::steady_clock::now();
    const std::uint32_t clockBefore = UtcMillisecondsOfDay();
    {
        test_support::TWatchdog watchdog(30s, "start-up with " + c.name);
        TUnprivileged user(c.needsUnprivileged && ::geteuid() == 0);
        form.emplace(windows, "titles");
    }
    const std::uint32_t clockAfter = UtcMillisecondsOfDay();
    const auto elapsed = std::chrono::steady_clock::now() - started;
    std::filesystem::current_path(saved);
    TOutcome seen{windows.LabelText(), {}, RandomSeed};
    for (const auto& box : windows.Boxes()) {
        EXPECT_FALSE(box.fatal);
        seen.boxes.push_back(box.text);
    }

    EXPECT_LT(elapsed, 10s);
    const std::vector<std::string> badEntries = EntriesOf(AsNouns() ? form->NounList : form->AdjectiveList);
    EXPECT_EQ(badEntries.size(), c.entries.size());
    EXPECT_TRUE(badEntries == c.entries) << "the list does not hold exactly the file's entries";

    if (!c.opens) {
        // The first load that fails ends start-up: nothing composed, not seeded.
        EXPECT_EQ(EntriesOf(form->NounList).size(), 0u);
        EXPECT_EQ(EntriesOf(form->AdjectiveList), AsNouns() ? kGoodAdjectives : std::vector<std::string>{});
        const TOutcome expected{"Label1", {WithFullStop(test_support::ExpectedOpenErrorMessage(badName))}, 0};
        EXPECT_EQ(seen, expected) << "got " << Describe(seen);
    } else {
        EXPECT_EQ(EntriesOf(AsNouns() ? form->AdjectiveList : form->NounList), AsNouns() ? kGoodAdjectives : kGoodNouns);
        // The clock read some millisecond between the two readings; the
        // outcome is the composition from one of them, phrase or failure.
        const TWordList adjectives = ListOf(AsNouns() ? kGoodAdjectives : c.entries);
        const TWordList nouns = ListOf(AsNouns() ? c.entries : kGoodNouns);
        bool found = false;
        for (std::uint32_t s = clockBefore;; s = (s + 1) % kMillisecondsPerDay) {
            if (StartUpFrom(s, adjectives, nouns) == seen) found = true;
            if (found || s == clockAfter) break;
        }
        EXPECT_TRUE(found) << "no clock reading gives " << Describe(seen);
    }
}

// Started where neither list is, the program reads the installed ones; a
// list in the working directory keeps it there, errors included.
TEST(InstalledLists, ServeOnlyWhenTheWorkingDirectoryHoldsNone) {
    const std::string cannotOpen = WithFullStop(test_support::ExpectedOpenErrorMessage("adjectives.txt"));
    struct Row {
        const char* name;
        const char* here;  // the one list in the working directory, if any
        bool installed;
        std::vector<std::string> boxes;
        bool composed;  // the installed lists were read: the label shows a title
    };
    const Row rows[] = {
        {"none here", nullptr, true, {}, true},
        {"nouns here", "nouns.txt", true, {cannotOpen}, false},
        {"none anywhere", nullptr, false, {cannotOpen}, false},
    };
    const auto saved = std::filesystem::current_path();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        test_support::TTempDir dir;
        std::filesystem::create_directories(dir.Path() / "work");
        std::filesystem::create_directories(dir.Path() / "share/titles");
        if (row.installed) {
            dir.Write("share/titles/adjectives.txt", Lines(kGoodAdjectives));
            dir.Write("share/titles/nouns.txt", Lines(kGoodNouns));
        }
        if (row.here != nullptr) dir.Write(std::string("work/") + row.here, Lines(kGoodNouns));
        const std::string none = (dir.Path() / "none").string();
        ::setenv("XDG_DATA_HOME", none.c_str(), 1);
        ::setenv("XDG_DATA_DIRS", (none + ":" + (dir.Path() / "share").string()).c_str(), 1);
        std::filesystem::current_path(dir.Path() / "work");
        THeadlessWindowSystem windows;
        windows.PostClose();
        EXPECT_EQ(app::RunProgram(windows), 0);
        std::filesystem::current_path(saved);
        std::vector<std::string> boxes;
        for (const auto& box : windows.Boxes()) boxes.push_back(box.text);
        EXPECT_EQ(boxes, row.boxes);
        EXPECT_EQ(windows.LabelText() != "Label1", row.composed);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StartUpMatrix,
    ::testing::Combine(::testing::Range<std::size_t>(0, BadFileCases().size()), ::testing::Bool()),
    [](const auto& testParam) {
        return BadFileCases()[std::get<0>(testParam.param)].name +
               (std::get<1>(testParam.param) ? "_as_nouns" : "_as_adjectives");
    });

}  // namespace
}  // namespace titles
