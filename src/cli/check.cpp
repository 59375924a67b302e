#include "cli/check.h"

#include <unordered_map>

#include "cli/report_format.h"
#include "phrase/composer.h"
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

std::string RoleName(TListRole role) { return role == TListRole::Adjectives ? "adjectives" : "nouns"; }

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
    std::unordered_map<std::string_view, std::int64_t> firstLineOf;
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
        if (EndsWithGerund(entry)) Tally(report.gerunds, line);
        const auto [it, inserted] = firstLineOf.emplace(entry, line);
        if (!inserted) {
            ++report.duplicateCount;
            if (report.duplicates.size() < kListedLines) report.duplicates.push_back({line, it->second});
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
        report.problems.push_back(n.file + " has no entry ending in \"ing\", at least " +
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

namespace {

std::string LinesText(const std::vector<std::int64_t>& lines, std::int64_t count) {
    if (lines.empty()) return "";
    std::string text = lines.size() == 1 && count == 1 ? "line " : "lines ";
    for (std::size_t i = 0; i < lines.size(); ++i) text += (i ? ", " : "") + std::to_string(lines[i]);
    const auto more = count - static_cast<std::int64_t>(lines.size());
    if (more > 0) text += " and " + std::to_string(more) + " more";
    return text;
}

std::string DuplicatesText(const TListReport& r) {
    std::string text;
    for (const auto& d : r.duplicates) {
        text += (text.empty() ? "line " : ", line ") + std::to_string(d.line) + " = line " +
                std::to_string(d.firstLine);
    }
    const auto more = r.duplicateCount - static_cast<std::int64_t>(r.duplicates.size());
    if (more > 0) text += " and " + std::to_string(more) + " more";
    return text;
}

constexpr std::size_t kLabelWidth = 36;
constexpr std::size_t kCountWidth = 8;

void Row(std::string& out, std::string_view label, std::string_view value, std::string_view detail = {}) {
    std::string line = "  " + PadRight(label, kLabelWidth) + PadLeft(value, kCountWidth);
    if (!detail.empty()) line += "  " + std::string(detail);
    out += line + "\n";
}

void TallyRow(std::string& out, std::string_view label, const TLineTally& t) {
    Row(out, label, std::to_string(t.count), LinesText(t.lines, t.count));
}

void ListText(std::string& out, const TListReport& r) {
    out += r.file + " (" + RoleName(r.role) + ", " + Plural(r.bytes, "byte", "bytes") + ")\n";
    Row(out, "entries", std::to_string(r.entries));
    if (r.role == TListRole::Nouns) TallyRow(out, "ending in \"ing\"", r.gerunds);
    TallyRow(out, "empty", r.empty);
    TallyRow(out, "leading or trailing space or tab", r.padded);
    Row(out, "duplicates", std::to_string(r.duplicateCount), DuplicatesText(r));
    TallyRow(out, "holding \"&\"", r.ampersand);
    TallyRow(out, "holding a tab", r.tab);
    Row(out, "zero byte ending the text", r.zeroByteOffset ? "yes" : "no",
        r.zeroByteOffset ? "at offset " + std::to_string(*r.zeroByteOffset) : "");
    Row(out, "UTF-8 byte-order mark", r.utf8ByteOrderMark ? "yes" : "no");
    Row(out, "signs of UTF-16", r.utf16ZeroOffset ? "yes" : "no",
        r.utf16ZeroOffset ? "zero byte at offset " + std::to_string(*r.utf16ZeroOffset) : "");
}

std::string TallyJson(const TLineTally& t) {
    std::string text = "{\"count\": " + std::to_string(t.count) + ", \"lines\": [";
    for (std::size_t i = 0; i < t.lines.size(); ++i) text += (i ? ", " : "") + std::to_string(t.lines[i]);
    return text + "]}";
}

std::string OptionalJson(const std::optional<std::int64_t>& value) {
    return value ? std::to_string(*value) : "null";
}

std::string ListJson(const TListReport& r) {
    std::string out = "    {\n";
    out += "      \"role\": \"" + RoleName(r.role) + "\",\n";
    out += "      \"file\": " + JsonString(r.file) + ",\n";
    out += "      \"bytes\": " + std::to_string(r.bytes) + ",\n";
    out += "      \"entries\": " + std::to_string(r.entries) + ",\n";
    if (r.role == TListRole::Nouns) out += "      \"ending_in_ing\": " + TallyJson(r.gerunds) + ",\n";
    out += "      \"empty\": " + TallyJson(r.empty) + ",\n";
    out += "      \"leading_or_trailing_blank\": " + TallyJson(r.padded) + ",\n";
    out += "      \"duplicates\": {\"count\": " + std::to_string(r.duplicateCount) + ", \"lines\": [";
    for (std::size_t i = 0; i < r.duplicates.size(); ++i) {
        out += (i ? ", " : "") + std::string("{\"line\": ") + std::to_string(r.duplicates[i].line) +
               ", \"first\": " + std::to_string(r.duplicates[i].firstLine) + "}";
    }
    out += "]},\n";
    out += "      \"ampersand\": " + TallyJson(r.ampersand) + ",\n";
    out += "      \"tab\": " + TallyJson(r.tab) + ",\n";
    out += "      \"zero_byte_offset\": " + OptionalJson(r.zeroByteOffset) + ",\n";
    out += std::string("      \"utf8_byte_order_mark\": ") + (r.utf8ByteOrderMark ? "true" : "false") + ",\n";
    out += "      \"utf16_zero_byte_offset\": " + OptionalJson(r.utf16ZeroOffset) + "\n";
    out += "    }";
    return out;
}

std::string StringArrayJson(const std::vector<std::string>& items) {
    std::string out = "[";
    for (std::size_t i = 0; i < items.size(); ++i) out += (i ? ", " : "") + JsonString(items[i]);
    return out + "]";
}

}  // namespace

std::string FormatCheckText(const TCheckReport& report) {
    std::string out;
    ListText(out, report.adjectives);
    out += "\n";
    ListText(out, report.nouns);
    out += "\n";
    if (report.problems.empty()) {
        out += "Verdict: every composition completes (2 or more adjectives, 5 or more nouns,\n"
               "1 or more of the nouns ending in \"ing\").\n";
    } else {
        out += "Verdict: a composition can fail:\n";
        for (const auto& p : report.problems) out += "  " + p + "\n";
    }
    if (!report.warnings.empty()) {
        out += Plural(static_cast<std::int64_t>(report.warnings.size()), "warning", "warnings") + ":\n";
        for (const auto& w : report.warnings) out += "  " + w + "\n";
    }
    return out;
}

std::string FormatCheckJson(const TCheckReport& report) {
    std::string out = "{\n";
    out += "  \"files\": [\n" + ListJson(report.adjectives) + ",\n" + ListJson(report.nouns) + "\n  ],\n";
    out += std::string("  \"complete\": ") + (report.problems.empty() ? "true" : "false") + ",\n";
    out += "  \"problems\": " + StringArrayJson(report.problems) + ",\n";
    out += "  \"warnings\": " + StringArrayJson(report.warnings) + ",\n";
    out += "  \"exit_code\": " + std::to_string(report.ExitCode()) + "\n";
    out += "}\n";
    return out;
}

}  // namespace titles::cli
