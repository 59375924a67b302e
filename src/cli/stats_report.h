// titles-cli --stats: its reports for people and for scripts.
#pragma once

#include <string>

#include "cli/stats.h"

namespace titles::cli {

// The text ends in a line break.
std::string FormatStatsText(const TStats& stats, const std::string& adjectiveFile, const std::string& nounFile);
std::string FormatStatsJson(const TStats& stats, const std::string& adjectiveFile, const std::string& nounFile);

}  // namespace titles::cli
