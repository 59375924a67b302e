// titles-cli --check: the report of the word lists' analysis.
#pragma once

#include <string>

#include "cli/check.h"

namespace titles::cli {

// Reports for people and for scripts; each ends in a line break.
std::string FormatCheckText(const TCheckReport& report);
std::string FormatCheckJson(const TCheckReport& report);

}  // namespace titles::cli
