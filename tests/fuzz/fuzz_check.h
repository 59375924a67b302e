// Shared pieces of the fuzz targets: a check that stops the fuzzer with a
// message, and a plain line splitter written independently of TWordList.
#pragma once

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#define FUZZ_CHECK(cond, ...)                                                          \
    do {                                                                               \
        if (!(cond)) {                                                                 \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond); \
            std::fprintf(stderr, __VA_ARGS__);                                         \
            std::fprintf(stderr, "\n");                                                \
            std::abort();                                                              \
        }                                                                              \
    } while (0)

namespace titles::fuzz {

// One line of a text: where it starts, how long it is, and how many bytes
// of line end follow it (0 at the end of the text, 1 for LF or CR, 2 for
// CR LF).
struct TLine {
    std::size_t offset;
    std::size_t length;
    std::size_t endLength;
};

// Splits the text up to its first zero byte into lines, each ended by CR LF,
// LF, CR or the end of the text; a line end at the very end adds no line.
inline std::vector<TLine> ReferenceLines(std::string_view text) {
    const std::size_t stop = std::min(text.find('\0'), text.size());
    std::vector<TLine> lines;
    std::size_t start = 0;
    while (start < stop) {
        std::size_t end = start;
        while (end < stop && text[end] != '\n' && text[end] != '\r') ++end;
        std::size_t endLength = 0;
        if (end < stop) {
            endLength = (text[end] == '\r' && end + 1 < stop && text[end + 1] == '\n') ? 2 : 1;
        }
        lines.push_back({start, end - start, endLength});
        start = end + endLength;
    }
    return lines;
}

// Prints a short, escaped form of bytes for failure messages.
inline std::string Escaped(std::string_view bytes, std::size_t limit = 80) {
    std::string out;
    for (std::size_t i = 0; i < bytes.size() && i < limit; ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c >= 0x20 && c < 0x7f && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            out += hex;
        }
    }
    if (bytes.size() > limit) out += "...";
    return out;
}

}  // namespace titles::fuzz
