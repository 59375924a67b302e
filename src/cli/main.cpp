#include <cstdio>
#include <exception>
#include <new>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/messages.h"

int main(int argc, char** argv) {
    using namespace titles::cli;
    PrepareStandardStreams();
    // Failures of the word lists and lack of memory while composing are
    // reported by RunCli itself; any other library error still ends with a
    // message, not a crash.
    const TLanguage language = MessageLanguage();
    try {
        std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
        return RunCli(args, stdout, stderr);
    } catch (const std::bad_alloc&) {
        PrintMessage(stderr, OutOfMemoryText(language), language);
    } catch (const std::exception& e) {
        PrintMessage(stderr, e.what(), language);
    }
    return kExitFailure;
}
