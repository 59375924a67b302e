#include "cli/report_format.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>

#include "base/utf8.h"

namespace titles::cli {

std::string JsonString(std::string_view bytes) {
    std::string out = "\"";
    for (std::size_t i = 0; i < bytes.size();) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c >= 0x80) {
            const std::size_t length = Utf8SequenceLength(bytes, i);
            if (length == 0) {
                out += "\\ufffd";
                ++i;
            } else {
                out.append(bytes.substr(i, length));
                i += length;
            }
            continue;
        }
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    char escape[8];
                    std::snprintf(escape, sizeof escape, "\\u%04x", c);
                    out += escape;
                } else {
                    out += static_cast<char>(c);
                }
        }
        ++i;
    }
    out += '"';
    return out;
}

std::string JsonNameMembers(std::string_view key, std::string_view name) {
    std::string out = "\"" + std::string(key) + "\": " + JsonString(name);
    // JsonString writes each byte outside UTF-8 as U+FFFD, escaped.
    if (out.find("\\ufffd") == std::string::npos) return out;
    out += ", \"" + std::string(key) + "_bytes\": \"";
    for (const char c : name) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02x", static_cast<unsigned char>(c));
        out += pair;
    }
    return out + "\"";
}

std::string QuotedName(std::string_view name, bool codePage) {
    static constexpr std::string_view kNamed = "\aa\bb\tt\nn\vv\ff\rr\x1b" "e";
    std::string out = "$'";
    bool plain = true;
    for (std::size_t i = 0; i < name.size();) {
        const auto c = static_cast<unsigned char>(name[i]);
        const std::size_t length = c < 0x80 || codePage ? 1 : Utf8SequenceLength(name, i);
        // C1 controls (U+0080 to U+009F, C2 80 to C2 9F) act on some terminals.
        const bool c1 = !codePage && c == 0xC2 && static_cast<unsigned char>(name[i + 1]) < 0xA0;
        if (c >= 0x20 && c != 0x7F && length > 0 && !c1) {
            if (c == '\'' || c == '\\') out += '\\';
            out.append(name.substr(i, length));
            i += length;
            continue;
        }
        plain = false;
        for (const std::size_t end = i + std::max<std::size_t>(length, 1); i < end; ++i) {
            const std::size_t named = kNamed.find(name[i]);
            char escape[8];
            if (named != std::string_view::npos) std::snprintf(escape, sizeof escape, "\\%c", kNamed[named + 1]);
            else std::snprintf(escape, sizeof escape, "\\x%02x", static_cast<unsigned char>(name[i]));
            out += escape;
        }
    }
    return plain ? std::string(name) : out + "'";
}

std::string QuotedArgument(std::string_view argument) {
    std::string shown = QuotedName(argument);
    return shown == argument ? "'" + shown + "'" : shown;
}

std::string JsonNumber(double value) {
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

std::string PadRight(std::string_view text, std::size_t width) {
    std::string out(text);
    if (out.size() < width) out.append(width - out.size(), ' ');
    return out;
}

std::string PadLeft(std::string_view text, std::size_t width) {
    std::string out;
    if (text.size() < width) out.append(width - text.size(), ' ');
    out.append(text);
    return out;
}

std::string Plural(std::int64_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::string Fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

}  // namespace titles::cli
