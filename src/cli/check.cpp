#include "cli/check.h"

#include <memory>

#include "cli/report_format.h"
#include "phrase/grammar.h"
#include "phrase/word_list.h"

namespace titles::cli {
namespace {

constexpr std::int64_t kMinAdjectives = kMaxAdjectivesPerTitle;
constexpr std::int64_t kMinNouns = kMaxNounsPerTitle;
constexpr std::int64_t kMinGerunds = kMinGerundNouns;
constexpr std::size_t kUtf16Window = 4;

void Tally(TLineTally& tally, std::int64_t line) {
    ++tally.count;
    if (tally.lines.size() < kListedLines) tally.lines.push_back(line);
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Finds, for each entry of a list in turn, the first earlier entry with the
// same bytes: an open-addressing table of entry indices, hashed by content,
// at most half full. Four bytes a slot, and no copy of any entry.
class TFirstOccurrence {
public:
    explicit TFirstOccurrence(const TWordList& list) : list_(list) {
        std::size_t slots = 16;
        while (slots < 2 * static_cast<std::size_t>(list.WordCount())) slots *= 2;
        mask_ = slots - 1;
        slots_ = std::make_unique<std::uint32_t[]>(slots);  // zero: free
    }

    // The index of the first entry equal to entry index, index itself when
    // there is none before it.
    std::int32_t Find(std::int32_t index) {
        const std::string_view entry = list_.WordAt(index);
        for (std::size_t s = Hash(entry) & mask_;; s = (s + 1) & mask_) {
            if (slots_[s] == 0) {
                slots_[s] = static_cast<std::uint32_t>(index) + 1;
                return index;
            }
            const auto other = static_cast<std::int32_t>(slots_[s] - 1);
            if (list_.WordAt(other) == entry) return other;
        }
    }

private:
    static std::size_t Hash(std::string_view bytes) noexcept {
        std::uint64_t h = 0xCBF29CE484222325ULL;  // FNV-1a
        for (const char c : bytes) h = (h ^ static_cast<unsigned char>(c)) * 0x100000001B3ULL;
        return static_cast<std::size_t>(h ^ (h >> 29));
    }

    const TWordList& list_;
    std::size_t mask_ = 0;
    std::unique_ptr<std::uint32_t[]> slots_;
};

}  // namespace

TListReport CheckWordBytes(std::string_view bytes, TListRole role, std::string file) {
    TListReport report;
    report.role = role;
    report.file = std::move(file);
    report.bytes = static_cast<std::int64_t>(bytes.size());

    if (const auto nul = bytes.find('\0'); nul != std::string_view::npos) {
        report.zeroByteOffset = static_cast<std::int64_t>(nul);
        if (nul < kUtf16Window) report.utf16ZeroOffset = static_cast<std::int64_t>(nul);
    }
    report.utf8ByteOrderMark = bytes.substr(0, 3) == "\xEF\xBB\xBF";

    // The same split as the program's: the text ends at the first zero byte.
    TWordList list;
    list.AssignText(bytes);
    report.entries = list.WordCount();
    TFirstOccurrence firstOccurrence(list);
    for (std::int32_t i = 0; i < list.WordCount(); ++i) {
        const std::string_view entry = list.WordAt(i);
        const std::int64_t line = std::int64_t{i} + 1;
        if (entry.empty()) {
            Tally(report.empty, line);
            continue;
        }
        if (IsBlank(entry.front()) || IsBlank(entry.back())) Tally(report.padded, line);
        if (entry.find('&') != std::string_view::npos) Tally(report.ampersand, line);
        if (entry.find('\t') != std::string_view::npos) Tally(report.tab, line);
        if (list.IsGerundAt(i)) Tally(report.gerunds, line);
        if (const std::int32_t first = firstOccurrence.Find(i); first != i) {
            ++report.duplicateCount;
            if (report.duplicates.size() < kListedLines) report.duplicates.push_back({line, std::int64_t{first} + 1});
        }
    }
    return report;
}

int TCheckReport::ExitCode() const noexcept {
    if (!problems.empty()) return 1;
    return warnings.empty() ? 0 : kExitWarnings;
}

TCheckReport CheckWordLists(TListReport adjectives, TListReport nouns) {
    TCheckReport report;
    report.adjectives = std::move(adjectives);
    report.nouns = std::move(nouns);
    const TListReport& a = report.adjectives;
    const TListReport& n = report.nouns;

    if (a.entries < kMinAdjectives) {
        report.problems.push_back(a.file + " has " + Plural(a.entries, "entry", "entries") + ", at least " +
                                  std::to_string(kMinAdjectives) + " are needed");
    }
    if (n.entries < kMinNouns) {
        report.problems.push_back(n.file + " has " + Plural(n.entries, "entry", "entries") + ", at least " +
                                  std::to_string(kMinNouns) + " are needed");
    }
    if (n.gerunds.count < kMinGerunds) {
        report.problems.push_back(n.file + " has no entry ending in \"" + std::string(kGerundEnding) + "\", at least " +
                                  std::to_string(kMinGerunds) + " is needed for an opening gerund");
    }

    for (const TListReport* list : {&a, &n}) {
        const std::string& f = list->file;
        if (list->utf16ZeroOffset) {
            report.warnings.push_back(f + " looks like UTF-16: a zero byte at offset " +
                                      std::to_string(*list->utf16ZeroOffset) +
                                      "; the program reads 8-bit text only");
        }
        if (list->zeroByteOffset) {
            const std::int64_t unread = list->bytes - *list->zeroByteOffset - 1;
            const std::string rest = unread == 0   ? ", the last byte"
                                     : unread == 1 ? " ends the text; the byte after it is never read"
                                                   : " ends the text; the " + std::to_string(unread) +
                                                         " bytes after it are never read";
            report.warnings.push_back(f + ": a zero byte at offset " + std::to_string(*list->zeroByteOffset) + rest);
        }
        if (list->utf8ByteOrderMark) {
            report.warnings.push_back(f + " starts with a UTF-8 byte-order mark, which stays part of line 1");
        }
        const auto tallied = [&](const TLineTally& t, const char* one, const char* many) {
            if (t.count > 0) report.warnings.push_back(f + ": " + Plural(t.count, one, many));
        };
        tallied(list->empty, "empty entry", "empty entries");
        tallied(list->padded, "entry with leading or trailing space or tab",
                "entries with leading or trailing space or tab");
        if (list->duplicateCount > 0) {
            report.warnings.push_back(f + ": " + Plural(list->duplicateCount, "duplicate entry", "duplicate entries"));
        }
        tallied(list->ampersand, "entry holding \"&\" (the desktop program underlines the next character)",
                "entries holding \"&\" (the desktop program underlines the next character)");
        tallied(list->tab, "entry holding a tab (the desktop program expands it)",
                "entries holding a tab (the desktop program expands them)");
    }
    return report;
}

}  // namespace titles::cli
