// The program's title, derived from the program's own file name: the name
// without its directory, cut at its first full stop, lower-cased from the
// second byte on (TITLES.EXE gives Titles, MY.TOOL.EXE gives My).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace titles::framework {

struct TTitleRules {
    char separator = '/';
    // Lead bytes of a double-byte code page; their trail bytes never count
    // as a separator or a full stop. Null when the code page has none.
    bool (*isLeadByte)(unsigned char byte) = nullptr;
    // Lower-cases text[from..] in the system's code page.
    void (*lowerFrom)(std::string& text, std::size_t from) = nullptr;
};

inline constexpr std::size_t kMaxTitleBytes = 255;

std::string DeriveProgramTitle(std::string_view path, const TTitleRules& rules);

// Lower-cases the ASCII letters of text[from..]; other bytes stay.
void LowerAsciiFrom(std::string& text, std::size_t from);

}  // namespace titles::framework
