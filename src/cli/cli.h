// titles-cli: composes titles from two word lists on the command line.
// Its messages are one line each on standard error, beginning with the
// program's name, in the language the user's locale asks for.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/failure.h"
#include "phrase/composer.h"

namespace titles::cli {

// What the tool does: print titles, or report on the word lists.
enum class TCliMode { Titles, Check, Stats };
enum class TReportFormat { Text, Json };

struct TCliOptions {
    TCliMode mode = TCliMode::Titles;
    TReportFormat format = TReportFormat::Text;  // for --check and --stats
    std::optional<std::uint32_t> seed;  // none: seed from the clock
    std::uint64_t count = 1;
    std::string adjectiveFile{kDefaultAdjectiveFile};
    std::string nounFile{kDefaultNounFile};
    bool adjectivesNamed = false;  // -a given: no search for installed lists
    bool nounsNamed = false;       // -N given
    bool help = false;
    bool version = false;
};

// The name that stands for standard input in place of a list file.
inline constexpr std::string_view kStandardInputName = "-";

// Exit codes.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// Parses main's arguments (argv[0] the program's name) as getopt_long does:
// short and long forms, "--opt=value", unambiguous abbreviations, "--"
// ending the options; getopt_long may reorder argv. On a usage error
// returns nothing and sets error to a one-line description.
std::optional<TCliOptions> ParseCliArgs(int argc, char** argv, std::string& error);

// The usage text, ending in a line break.
std::string_view UsageText();

// Runs the tool and returns its exit code. Titles go to out, messages to err.
int RunCli(int argc, char** argv, std::FILE* out, std::FILE* err);

// Platform set-up of the standard streams: binary output, and a closed pipe
// reported as a write error instead of a signal.
void PrepareStandardStreams();

// Writes bytes to a standard stream: unchanged, except that a Windows
// console is given them as text, decoded from the ANSI code page.
// False when the write fails; errno tells why.
bool WriteBytes(std::FILE* stream, std::string_view bytes);

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
// program's text, with the full stop its boxes add; file names with bytes a
// terminal could act on are quoted.
std::string FailureText(const TFailure& failure, TLanguage language);

// "only one list can be read from standard input ('-')"
extern const std::string_view kTwoStandardInputs;

}  // namespace titles::cli
