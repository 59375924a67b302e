// titles-cli's standard streams, language and system reasons on POSIX systems.
#include <csignal>
#include <cstdlib>
#include <cstring>

#include "cli/cli.h"

namespace titles::cli {

void PrepareStandardStreams() { std::signal(SIGPIPE, SIG_IGN); }

bool WriteBytes(std::FILE* stream, std::string_view bytes) {
    return bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), stream) == bytes.size();
}

std::string SystemReason(int code) { return std::strerror(code); }

TLanguage MessageLanguage() { return LanguageFromEnvironment([](const char* name) { return std::getenv(name); }); }

}  // namespace titles::cli
