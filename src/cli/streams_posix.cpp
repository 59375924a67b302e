#include <csignal>

#include "cli/cli.h"

namespace titles::cli {

void PrepareStandardStreams() { std::signal(SIGPIPE, SIG_IGN); }

}  // namespace titles::cli
