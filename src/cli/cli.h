// titles-cli: composes titles from two word lists on the command line.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
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
    bool help = false;
};

// Exit codes.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// Parses the arguments after the program name. On a usage error returns
// nothing and sets error to a one-line description.
std::optional<TCliOptions> ParseCliArgs(const std::vector<std::string>& args, std::string& error);

// The usage text, ending in a line break.
const std::string& UsageText();

// Runs the tool and returns its exit code. Titles go to out, messages to err.
int RunCli(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);

// Platform set-up of the standard streams: binary output, and a closed pipe
// reported as a write error instead of a signal.
void PrepareStandardStreams();

}  // namespace titles::cli
