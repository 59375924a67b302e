// Reading UTF-8, strictly: no overlong forms, no surrogates, nothing above
// U+10FFFF. Word files are bytes of any code page, so a byte that does not
// begin a well-formed character is left to the caller.
#pragma once

#include <cstddef>
#include <string_view>

namespace titles {

// The length of the well-formed UTF-8 character of two to four bytes that
// starts at text[pos], or 0 when none starts there (ASCII included).
inline std::size_t Utf8SequenceLength(std::string_view text, std::size_t pos) noexcept {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    if (pos >= text.size()) return 0;
    const unsigned char lead = byte(pos);
    std::size_t length = 0;
    unsigned char low = 0x80;  // the allowed range of the second byte
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;   // overlong
        if (lead == 0xED) high = 0x9F;  // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;   // overlong
        if (lead == 0xF4) high = 0x8F;  // above U+10FFFF
    } else {
        return 0;
    }
    if (pos + length > text.size()) return 0;
    if (byte(pos + 1) < low || byte(pos + 1) > high) return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if ((byte(pos + i) & 0xC0u) != 0x80u) return 0;
    }
    return length;
}

}  // namespace titles
