// Reading UTF-8, strictly: no overlong forms, no surrogates, nothing above
// U+10FFFF. Word files are bytes of any code page, so a byte that does not
// begin a well-formed character is left to the caller.
#pragma once

#include <cstddef>
#include <string_view>

namespace titles {

// The length of the well-formed UTF-8 character of two to four bytes that
// starts at text[pos], or 0 when none starts there (ASCII included).
std::size_t Utf8SequenceLength(std::string_view text, std::size_t pos) noexcept;

}  // namespace titles
