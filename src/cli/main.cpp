#include <cstdio>
#include <exception>
#include <new>
#include <string>
#include <vector>

#include "cli/cli.h"

int main(int argc, char** argv) {
    titles::cli::PrepareStandardStreams();
    // Failures of the word lists and lack of memory are reported by RunCli
    // itself; another library error still ends with a message, not a crash.
    try {
        std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
        return titles::cli::RunCli(args, stdout, stderr);
    } catch (const std::bad_alloc&) {
        std::fputs("titles-cli: not enough memory.\n", stderr);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "titles-cli: %s.\n", e.what());
    }
    return titles::cli::kExitFailure;
}
