#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli.h"

int main(int argc, char** argv) {
    titles::cli::PrepareStandardStreams();
    return titles::cli::RunCli(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc), stdout, stderr);
}
