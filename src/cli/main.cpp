#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli.h"

int main(int argc, char** argv) {
    titles::cli::PrepareStandardStreams();
    std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    return titles::cli::RunCli(args, stdout, stderr);
}
