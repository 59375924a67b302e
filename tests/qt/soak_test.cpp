// The desktop program under load and odd input, on Qt's offscreen platform:
// thousands of real clicks, phrases of every shape, a phrase of a megabyte,
// bytes that are not UTF-8, and a word list that runs out mid-session.
#include "qt/qt_program_test.h"

#include <unistd.h>

#include <QScreen>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <optional>
#include <stdexcept>

namespace titles::framework::qt {
namespace {

using Clock = std::chrono::steady_clock;

// Resident memory of this process, in bytes.
long ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    long size = 0;
    long resident = 0;
    statm >> size >> resident;
    return resident * ::sysconf(_SC_PAGESIZE);
}

std::string Lines(const std::vector<std::string>& entries) {
    std::string text;
    for (const auto& e : entries) text += e + "\n";
    return text;
}

// Entries of every shape the label has to lay out: mnemonic prefixes, tabs,
// empty and blank entries, long ones, bytes that are not UTF-8, gerunds that
// are odd themselves. Enough of them that every composition completes.
const std::vector<std::string> kOddAdjectives = {
    "Dark", "&", "&&", "A&B", "", "\t", "Tab\tbed", " spaced ", "Caf\xc3\xa9", "\xff\xfe\xfd", "\xc3\x28",
    "&&&", std::string(300, 'L'), "Trailing&"};
const std::vector<std::string> kOddNouns = {
    "Running", "&ing", "\tFalling", "", "Castle & Keep", "&&", "\x80" "abc", "Stone\t\t", std::string(500, 'N'),
    "W&ing", "Sword", "\xed\xa0\x80", "  ", "Ending&"};

// Counts the paint events a widget receives.
struct TPaintCounter : QObject {
    int count = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++count;
        return false;
    }
};

class QtSoakTest : public QtProgramTest {
protected:
    // The label is exactly the window's client area.
    bool Fitted() const { return Client() == label_->size(); }
};

// Every click through Qt's event delivery composes exactly once and shows
// exactly that phrase in a window fitted to it; memory stays flat.
TEST_F(QtSoakTest, TenThousandClicksComposeOnceEachAndKeepMemoryFlat) {
    WriteLists(Lines(kOddAdjectives).c_str(), Lines(kOddNouns).c_str());
    constexpr int kClicks = 10'000;
    constexpr int kWarmUp = 1'000;
    int mismatches = 0;
    std::string firstMismatch;
    long rssWarm = 0;
    long rssEnd = 0;
    std::chrono::duration<double> elapsed{};
    int changes = 0;
    int painted = 0;
    Run([&] {
        // Composing on the program's lists shows what one click must do.
        const TWordList& adjectives = app::FormMain->AdjectiveList;
        const TWordList& nouns = app::FormMain->NounList;
        TPaintCounter paints;
        label_->installEventFilter(&paints);
        const auto start = Clock::now();
        for (int i = 0; i < kClicks; ++i) {
            const std::uint32_t seed = RandomSeed;
            const std::string expected = ComposePhrase(adjectives, nouns);
            changes += expected != label_->Text() ? 1 : 0;
            const std::uint32_t expectedSeed = RandomSeed;
            RandomSeed = seed;
            QTest::mouseClick(label_, Qt::LeftButton, {}, Inside());
            if (RandomSeed != expectedSeed || label_->Text() != expected || !Fitted()) {
                if (mismatches++ == 0) {
                    firstMismatch = "click " + std::to_string(i) + " from seed " + std::to_string(seed) +
                                    ": expected [" + expected + "], shown [" + label_->Text() + "]";
                }
            }
            if (i + 1 == kWarmUp) rssWarm = ResidentBytes();
        }
        rssEnd = ResidentBytes();
        elapsed = Clock::now() - start;
        painted = paints.count;
        label_->removeEventFilter(&paints);
        window_->close();
    });
    EXPECT_TRUE(boxes_.empty()) << boxes_.front().text.toStdString();
    EXPECT_EQ(mismatches, 0) << firstMismatch;
    EXPECT_GE(painted, changes) << "a new phrase was not painted";
    std::printf("%d clicks (%d new phrases, %d paints) in %.1f s; resident memory after %d clicks %.2f MB, at the end %.2f MB\n",
                kClicks, changes, painted, elapsed.count(), kWarmUp, static_cast<double>(rssWarm) / 1e6, static_cast<double>(rssEnd) / 1e6);
    EXPECT_LT(rssEnd - rssWarm, 2'000'000) << "resident memory grew";
    EXPECT_LT(elapsed.count(), 60.0);
}

// Forwards to a label's metrics and gives up once a layout has measured more
// than its budget of bytes: laying out a text must not measure it over and
// over.
class TBudgetMetrics : public TTextMetrics {
public:
    TBudgetMetrics(const TTextMetrics& inner, std::size_t budget)
        : TTextMetrics(inner.Utf8()), inner_(inner), budget_(budget) {}
    int TextWidth(std::string_view run) const override {
        measured_ += run.size();
        if (measured_ > budget_) throw std::length_error("over budget");
        return inner_.TextWidth(run);
    }
    int LineHeight() const override { return inner_.LineHeight(); }
    int AverageCharWidth() const override { return inner_.AverageCharWidth(); }

private:
    const TTextMetrics& inner_;
    std::size_t budget_;
    mutable std::size_t measured_ = 0;
};

// A phrase of a megabyte is measured, shown in a window far wider than the
// screen, and painted, in bounded time: one with mnemonics and bytes that are
// not UTF-8 on one long run, one broken into short runs by tabs.
TEST_F(QtSoakTest, APhraseOfAMegabyteIsMeasuredAndShown) {
    WriteLists();
    Run([&] {
        for (const std::string piece : {"Endless &Words of \xe9t\xe9 && more ", "Tab\tand &Mark "}) {
            std::string phrase;
            while (phrase.size() < (1u << 20)) phrase += piece;
            SCOPED_TRACE(piece);
            const TQtTextMetrics metrics(label_->TextFont());
            bool linear = true;
            try {
                (void)LayoutText(phrase, TBudgetMetrics(metrics, 4 * phrase.size()));
            } catch (const std::length_error&) {
                linear = false;
            }
            EXPECT_TRUE(linear) << "the layout measures the phrase's bytes over and over";
            if (!linear) continue;  // showing it would take hours

            const auto start = Clock::now();
            app::FormMain->ShowPhrase(phrase);
            QCoreApplication::processEvents();  // paints it
            const std::chrono::duration<double> elapsed = Clock::now() - start;
            std::printf("a phrase of %zu bytes shown in %.2f s, %d pixels wide\n", phrase.size(), elapsed.count(),
                        label_->width());
            EXPECT_LT(elapsed.count(), 20.0);
            const TTextLayout layout = LayoutText(phrase, metrics);
            EXPECT_EQ(label_->Text(), phrase.substr(0, layout.laidOutBytes));
            EXPECT_LT(layout.laidOutBytes, 100'000u);
            EXPECT_EQ(label_->size(), QSize(layout.extent.width, layout.extent.height));
            // The window's frame reaches the last coordinate a window can
            // have; the text is cut there.
            const QRect frame = window_->frameGeometry();
            EXPECT_EQ(frame.x() + frame.width(), kMaxWindowExtent) << frame.x() << " + " << frame.width();
        }
        window_->close();
    });
    EXPECT_TRUE(boxes_.empty());
}

// Bytes that are not UTF-8 (the system's code page here) are drawn and read
// out as replacement characters.
TEST_F(QtSoakTest, BytesThatAreNotUtf8ShowAsReplacementCharacters) {
    WriteLists();
    Run([&] {
        for (const std::string phrase : {"Caf\xe9 \xff\xfe", "\xc3\x28 &\x80 Word", "\xed\xa0\x80\xf8\x88\x80\x80\x80"}) {
            app::FormMain->ShowPhrase(phrase);
            const QImage shown = label_->grab().toImage();
            EXPECT_EQ(shown.size(), label_->size());
            EXPECT_TRUE(label_->accessibleName().contains(QChar(0xFFFD))) << phrase;
            EXPECT_TRUE(Fitted());
        }
        window_->close();
    });
    EXPECT_TRUE(boxes_.empty());
}

// With one adjective a composition fails whenever it draws a second one. A
// click that fails shows one box and leaves the phrase and the window's size
// as they were; the next click composes anew.
TEST_F(QtSoakTest, AListThatRunsOutMidSessionKeepsThePhraseUntilTheNextClick) {
    WriteLists("Lonely\n", kNouns);
    std::size_t startUpBoxes = 0;
    Run([&] {
        startUpBoxes = boxes_.size();  // the first composition, from the clock, may fail too
        auto outcome = [](std::uint32_t seed) -> std::optional<std::pair<std::string, std::uint32_t>> {
            try {
                return NextPhrase(seed);
            } catch (const TFailure&) {
                return std::nullopt;
            }
        };
        std::uint32_t good = 0;
        std::uint32_t bad = 0;
        std::uint32_t next = 0;
        while (!outcome(good)) ++good;
        while (outcome(bad)) ++bad;
        for (next = good + 1; !outcome(next) || outcome(next)->first == outcome(good)->first;) ++next;

        RandomSeed = good;
        QTest::mouseClick(label_, Qt::LeftButton, {}, Inside());
        const std::string shown = label_->Text();
        const QSize size = Client();
        EXPECT_EQ(shown, outcome(good)->first);
        EXPECT_EQ(boxes_.size(), startUpBoxes);

        RandomSeed = bad;
        QTest::mouseClick(label_, Qt::LeftButton, {}, Inside());
        EXPECT_EQ(boxes_.size(), startUpBoxes + 1) << "the box came and went inside the click";
        EXPECT_EQ(label_->Text(), shown);
        EXPECT_EQ(Client(), size);

        const auto [expected, after] = *outcome(next);
        RandomSeed = next;
        QTest::mouseClick(label_, Qt::LeftButton, {}, Inside());
        EXPECT_EQ(label_->Text(), expected);
        EXPECT_EQ(RandomSeed, after);
        EXPECT_TRUE(Fitted());
        window_->close();
    });
    ASSERT_EQ(boxes_.size(), startUpBoxes + 1);
    EXPECT_EQ(boxes_.back().text.toStdString(), "ファイル adjectives.txt には使える単語が足りません.");
    EXPECT_TRUE(boxes_.back().mainWindowVisible);
}

}  // namespace
}  // namespace titles::framework::qt
