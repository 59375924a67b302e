// Small helpers shared by the --check and --stats reports.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace titles::cli {

// A JSON string literal, quotes included. Valid UTF-8 passes through; control
// characters are escaped; a byte that is not part of valid UTF-8 (the word
// files are bytes of any code page) becomes U+FFFD.
std::string JsonString(std::string_view bytes);

// The JSON members for a file name: "key": the name as JsonString writes
// it, and, when that holds U+FFFD for a byte outside UTF-8, "key_bytes": the
// name's bytes in lowercase hexadecimal, from which it can be recovered.
std::string JsonNameMembers(std::string_view key, std::string_view name);

// Platform side: whether file names are characters of the ANSI code page
// (Windows, whose console titles-cli writes through that code page) rather
// than UTF-8.
bool NamesInCodePage();

// A file name as messages and text reports show it: unchanged when it is
// printable, else in the shell's $'...' quotes with each control character
// (and, for UTF-8 names, each byte outside UTF-8) escaped (\e, \n, \xff).
std::string QuotedName(std::string_view name, bool codePage = NamesInCodePage());

// A command-line argument as usage errors show it: in single quotes when
// it is printable, else as QuotedName quotes it.
std::string QuotedArgument(std::string_view argument);

// The shortest decimal text that reads back as the same double.
std::string JsonNumber(double value);

// Text padded with spaces on the right (left-aligned) or the left
// (right-aligned) to at least width bytes.
std::string PadRight(std::string_view text, std::size_t width);
std::string PadLeft(std::string_view text, std::size_t width);

// "1 entry", "2 entries": the count and the word that goes with it.
std::string Plural(std::int64_t n, const char* one, const char* many);

// printf-style formatting of one double, e.g. Fixed(0.5, 4) == "0.5000".
std::string Fixed(double value, int decimals);

}  // namespace titles::cli
