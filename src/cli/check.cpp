#include "cli/check.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <numeric>
#include <unordered_map>
#include <utility>

#include "cli/report_format.h"
#include "phrase/grammar.h"

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

// Calls visit(entry, index) for each entry of the text, split as the
// program splits it: CR LF, LF and CR each end a line.
template <class Visit>
void ForEachEntry(std::string_view text, Visit&& visit) {
    std::int64_t index = 0;
    for (std::size_t pos = 0, end = 0; pos < text.size(); pos = end, ++index) {
        while (end < text.size() && text[end] != '\n' && text[end] != '\r') ++end;
        visit(text.substr(pos, end - pos), index);
        if (end < text.size() && text[end] == '\r') ++end;
        if (end < text.size() && text[end] == '\n') ++end;
    }
}

// Compares the entries that start at offsets a and b by their bytes; a line
// end sorts before any byte. Eight bytes at a time while they agree and hold
// no line end, so that long shared beginnings cost little.
int CompareEntries(std::string_view text, std::size_t a, std::size_t b) {
    constexpr std::uint64_t ones = 0x0101010101010101ULL;
    const auto holds = [](std::uint64_t w, unsigned char c) {
        const std::uint64_t x = w ^ (ones * c);
        return ((x - ones) & ~x & (ones << 7)) != 0;
    };
    for (std::uint64_t x = 0, y = 0; std::max(a, b) + 8 <= text.size(); a += 8, b += 8) {
        std::memcpy(&x, text.data() + a, 8);
        std::memcpy(&y, text.data() + b, 8);
        if (x != y || holds(x, '\n') || holds(x, '\r')) break;
    }
    const auto at = [text](std::size_t i) -> int {
        return i == text.size() || text[i] == '\n' || text[i] == '\r' ? -1 : static_cast<unsigned char>(text[i]);
    };
    for (;; ++a, ++b) {
        if (at(a) != at(b) || at(a) < 0) return at(a) - at(b);
    }
}

// FNV-1a, folded.
std::size_t Hash(std::string_view bytes) noexcept {
    std::uint64_t h = 0xCBF29CE484222325ULL;
    for (const char c : bytes) h = (h ^ static_cast<unsigned char>(c)) * 0x100000001B3ULL;
    return static_cast<std::size_t>(h ^ (h >> 29));
}

}  // namespace

TListReport CheckWordBytes(std::string_view bytes, TListRole role, std::string file, bool stream) {
    TListReport report;
    report.role = role;
    report.file = std::move(file);
    const std::size_t nul = bytes.find('\0');
    if (nul != std::string_view::npos && stream) {
        bytes = bytes.substr(0, nul + 1);
        report.readToEnd = false;
    }
    report.bytes = static_cast<std::int64_t>(bytes.size());

    if (nul != std::string_view::npos) {
        report.zeroByteOffset = static_cast<std::int64_t>(nul);
        // UTF-16 text mixes zero bytes with others from its first character.
        const std::string_view window = bytes.substr(0, kUtf16Window);
        if (nul < kUtf16Window && window.find_first_not_of('\0') != std::string_view::npos) {
            report.utf16ZeroOffset = static_cast<std::int64_t>(nul);
        }
        report.onlyZeroBytes = report.readToEnd && bytes.find_first_not_of('\0') == std::string_view::npos;
    }
    report.utf8ByteOrderMark = bytes.substr(0, 3) == "\xEF\xBB\xBF";

    // The non-empty entries' offsets, put in buckets by hash and each bucket
    // sorted by content and then by place: equal entries lie together, the
    // first of them at the head. Entries made to share a bucket only cost a
    // sort of that bucket, n log n. A bucket for every kilobyte or so of text
    // keeps the buckets' counts in the cache; four bytes an entry.
    const std::string_view text = bytes.substr(0, bytes.find('\0'));
    const std::size_t buckets = std::bit_ceil(text.size() / 1024 + 1);
    std::vector<std::uint32_t> ends(buckets);  // entries in each bucket, then where each starts, then ends
    std::size_t filled = 0;                    // non-empty entries
    ForEachEntry(text, [&](std::string_view entry, std::int64_t index) {
        const std::int64_t line = index + 1;
        report.entries = line;
        if (entry.empty()) return Tally(report.empty, line);
        ++filled;
        ++ends[Hash(entry) & (buckets - 1)];
        if (IsBlank(entry.front()) || IsBlank(entry.back())) Tally(report.padded, line);
        if (entry.find('&') != std::string_view::npos) Tally(report.ampersand, line);
        if (entry.find('\t') != std::string_view::npos) Tally(report.tab, line);
        if (EndsWithGerund(entry)) Tally(report.gerunds, line);
    });
    std::exclusive_scan(ends.begin(), ends.end(), ends.begin(), 0u);
    std::vector<std::uint32_t> offsets(filled);
    ForEachEntry(text, [&](std::string_view entry, std::int64_t) {
        const auto offset = static_cast<std::uint32_t>(entry.data() - text.data());
        if (!entry.empty()) offsets[ends[Hash(entry) & (buckets - 1)]++] = offset;
    });
    const auto before = [text](std::uint32_t a, std::uint32_t b) {
        const int order = CompareEntries(text, a, b);
        return order < 0 || (order == 0 && a < b);
    };
    // The repeats nearest the top, as offsets {repeat, first}; then their lines.
    std::vector<std::pair<std::uint32_t, std::uint32_t>> listed;
    for (std::size_t b = 0, begin = 0; b < buckets; begin = ends[b++]) {
        const auto first = offsets.begin() + static_cast<std::ptrdiff_t>(begin);
        const auto last = offsets.begin() + ends[b];
        if (!std::is_sorted(first, last, before)) std::sort(first, last, before);
        for (auto i = first, head = first; i != last; ++i) {
            if (i == head || CompareEntries(text, *head, *i) != 0) {
                head = i;
                continue;
            }
            ++report.duplicateCount;
            if (listed.size() == kListedLines && *i > listed.back().first) continue;
            listed.emplace_back(*i, *head);
            std::sort(listed.begin(), listed.end());
            if (listed.size() > kListedLines) listed.pop_back();
        }
    }
    std::unordered_map<std::uint32_t, std::int64_t> lines;
    for (const auto& [repeat, first] : listed) lines[repeat] = lines[first] = 0;
    if (!lines.empty()) {
        ForEachEntry(text, [&](std::string_view entry, std::int64_t index) {
            if (const auto it = lines.find(static_cast<std::uint32_t>(entry.data() - text.data())); it != lines.end()) {
                it->second = index + 1;
            }
        });
    }
    for (const auto& [repeat, first] : listed) report.duplicates.push_back({lines[repeat], lines[first]});
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
        report.problems.push_back(QuotedName(a.file) + " has " + Plural(a.entries, "entry", "entries") + ", at least " +
                                  std::to_string(kMinAdjectives) + " are needed");
    }
    if (n.entries < kMinNouns) {
        report.problems.push_back(QuotedName(n.file) + " has " + Plural(n.entries, "entry", "entries") + ", at least " +
                                  std::to_string(kMinNouns) + " are needed");
    }
    if (n.gerunds.count < kMinGerunds) {
        report.problems.push_back(QuotedName(n.file) + " has no entry ending in \"" + std::string(kGerundEnding) +
                                  "\", at least " + std::to_string(kMinGerunds) + " is needed for an opening gerund");
    }

    for (const TListReport* list : {&a, &n}) {
        const std::string f = QuotedName(list->file);
        if (list->utf16ZeroOffset) {
            report.warnings.push_back(f + " looks like UTF-16: a zero byte at offset " +
                                      std::to_string(*list->utf16ZeroOffset) +
                                      "; the program reads 8-bit text only");
        }
        if (list->onlyZeroBytes) {
            report.warnings.push_back(f + " holds nothing but zero bytes");
        } else if (list->zeroByteOffset) {
            const std::int64_t unread = list->bytes - *list->zeroByteOffset - 1;
            const std::string rest = !list->readToEnd ? " ends the text; the stream is read no further"
                                     : unread == 0   ? ", the last byte"
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
