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

// A message raised as a TFailure, in the language, without the program's
// name. The failures of the word lists and the composer carry their Japanese
// text; the English text is matched up with it.
std::string FailureText(const TFailure& failure, TLanguage language);

// The message line: "titles-cli: " + text + a line break; Japanese texts end
// with a full stop, as the desktop program's boxes end them.
std::string MessageLine(std::string_view text, TLanguage language);

void PrintMessage(std::FILE* err, std::string_view text, TLanguage language);

// The message for running out of memory.
std::string_view OutOfMemoryText(TLanguage language);

// A failure whose message titles-cli has already put in its words.
class TCliFailure : public TFailure {
public:
    using TFailure::TFailure;
    const char* KindName() const noexcept override { return "TCliFailure"; }
};

}  // namespace titles::cli
