// titles-cli: composes titles from two word lists on the command line.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

// Parses the arguments after the program name, as getopt_long does: short
// and long forms, "--opt=value", unambiguous abbreviations, "--" ending the
// options. On a usage error returns nothing and sets error to a one-line
// description.
std::optional<TCliOptions> ParseCliArgs(const std::vector<std::string>& args, std::string& error);

// The usage text, ending in a line break.
const std::string& UsageText();

// "titles-cli VERSION" and a line break.
std::string VersionText();

// Runs the tool and returns its exit code. Titles go to out, messages to err.
int RunCli(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);

// Platform set-up of the standard streams: binary output, and a closed pipe
// reported as a write error instead of a signal.
void PrepareStandardStreams();

// Writes bytes to a standard stream: unchanged, except that a Windows
// console is given them as text, decoded from the ANSI code page.
// False when the write fails; errno tells why.
bool WriteBytes(std::FILE* stream, std::string_view bytes);

}  // namespace titles::cli
