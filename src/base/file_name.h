// File names and paths as bytes.
#pragma once

#include <string_view>

namespace titles {

// Lead bytes of a double-byte code page: the byte after one is its trail
// byte and never counts as a separator. Null when the code page has none.
using TLeadByteTest = bool (*)(unsigned char byte);

// The file name without its folder: what follows the last byte of path that
// is one of separators, walking whole characters.
std::string_view FileNameOf(std::string_view path, std::string_view separators = "/",
                            TLeadByteTest isLeadByte = nullptr) noexcept;

}  // namespace titles
