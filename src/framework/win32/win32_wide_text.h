// Message box texts for MessageBoxW. The program's own texts are UTF-8,
// while file names and word-list bytes are in the system's ANSI code page,
// and one message can hold both (the file-open message with an ANSI
// file name). Each well-formed UTF-8 character is taken as UTF-8; a byte
// that does not start one begins a run in the code page, which goes on over
// the following non-ASCII bytes (a lead byte always with its trail byte) and
// ends at the next ASCII byte, so a file name is decoded as a whole.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "base/utf8.h"

namespace titles::framework::win32 {

// Decodes text as described above; codePage is the code page of the bytes
// that are not UTF-8 (CP_ACP for the system's ANSI code page).
std::wstring BoxTextToWide(std::string_view text, unsigned codePage);

// Decodes bytes that are all in the code page.
std::wstring CodePageToWide(std::string_view bytes, unsigned codePage);

}  // namespace titles::framework::win32
