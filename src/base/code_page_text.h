// Windows text as UTF-16, for the system's wide functions (message boxes,
// the console). The programs' own texts are UTF-8, while file names and
// word-list bytes are in the system's ANSI code page, and one message can
// hold both (the file-open message with an ANSI file name). Each
// well-formed UTF-8 character is taken as UTF-8; a byte that does not start
// one begins a run in the code page, which goes on over the following
// non-ASCII bytes (a lead byte always with its trail byte) and ends at the
// next ASCII byte, so a file name is decoded as a whole. Windows only.
#pragma once

#include <string>
#include <string_view>

namespace titles {

// The system's ANSI code page (CP_ACP).
inline constexpr unsigned kSystemCodePage = 0;

// Decodes mixed UTF-8 and code-page text as described above; codePage is
// the code page of the bytes that are not UTF-8.
std::wstring MixedTextToWide(std::string_view text, unsigned codePage = kSystemCodePage);

// Decodes bytes that are all in the code page.
std::wstring CodePageToWide(std::string_view bytes, unsigned codePage = kSystemCodePage);

}  // namespace titles
