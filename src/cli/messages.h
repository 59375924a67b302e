// titles-cli's messages: one line each on standard error, beginning with the
// program's name, in the language the user's locale asks for.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

#include "base/failure.h"

namespace titles::cli {

enum class TLanguage { English, Japanese };

// The language for messages as gettext picks it: the first set, non-empty
// one of LC_ALL, LC_MESSAGES and LANG; Japanese when it starts with "ja".
// lookup returns a variable's value, or nullptr when it is not set.
TLanguage LanguageFromEnvironment(const std::function<const char*(const char*)>& lookup);

// The language of this process: from the environment above, or on Windows
// from the user's interface language.
TLanguage MessageLanguage();

// Platform side: the system's words for one of its error codes.
std::string SystemReason(int code);

// The message for a failure, in the language, without the program's name,
// made from the failure's facts. Under a Japanese locale it is the desktop
// program's text; file names with bytes a terminal could act on are quoted.
std::string FailureText(const TFailure& failure, TLanguage language);

// The message for running out of memory.
std::string_view OutOfMemoryText(TLanguage language);

// The message for a failed write of standard output; errno tells why.
std::string WriteErrorText();

// Prints the message line: "titles-cli: " + text + a line break; Japanese
// texts end with a full stop, as the desktop program's boxes end them.
void PrintMessage(std::FILE* err, std::string_view text, TLanguage language);

// Prints a usage error and the pointer to the help.
void PrintUsageError(std::FILE* err, std::string_view text);

// A list not named on the command line that is found in none of the places
// searched (a comma-separated list of folders).
class TListNotFoundError : public TFailure {
public:
    TListNotFoundError(const std::string& fileName, std::string searched);
    const std::string& Searched() const noexcept { return searched_; }

private:
    std::string searched_;
};

// A usage error found only when the lists are opened: both from the same
// stream as standard input.
class TUsageError : public TFailure {
public:
    using TFailure::TFailure;
};

// "only one list can be read from standard input ('-')"
extern const std::string_view kTwoStandardInputs;

}  // namespace titles::cli
