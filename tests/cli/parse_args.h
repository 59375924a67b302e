// ParseCliArgs over the arguments after the program's name, passed as main
// passes them.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/cli.h"

namespace titles::cli {

inline std::optional<TCliOptions> ParseArgs(std::vector<std::string> args, std::string& error) {
    args.insert(args.begin(), "titles-cli");
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    return ParseCliArgs(static_cast<int>(args.size()), argv.data(), error);
}

}  // namespace titles::cli
