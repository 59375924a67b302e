#include "cli/check_report.h"

#include "cli/report_format.h"
#include "phrase/grammar.h"

namespace titles::cli {
namespace {

std::string RoleName(TListRole role) { return role == TListRole::Adjectives ? "adjectives" : "nouns"; }

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
    out += QuotedName(r.file) + " (" + RoleName(r.role) + ", " +
           (r.readToEnd ? "" : "a stream read to its first zero byte: ") + Plural(r.bytes, "byte", "bytes") + ")\n";
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
    out += "      " + JsonNameMembers("file", r.file) + ",\n";
    out += "      \"bytes\": " + std::to_string(r.bytes) + ",\n";
    out += std::string("      \"read_to_end\": ") + (r.readToEnd ? "true" : "false") + ",\n";
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
        out += "Verdict: every composition completes (" + std::to_string(kMaxAdjectivesPerTitle) +
               " or more adjectives, " + std::to_string(kMaxNounsPerTitle) + " or more nouns,\n" +
               std::to_string(kMinGerundNouns) + " or more of the nouns ending in \"" + std::string(kGerundEnding) +
               "\").\n";
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
