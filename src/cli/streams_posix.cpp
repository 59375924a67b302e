// titles-cli's standard streams, language and system reasons on POSIX systems.
#include <csignal>
#include <cstdlib>
#include <cstring>

#include "cli/cli.h"
#include "cli/report_format.h"

namespace titles::cli {

void PrepareStandardStreams() { std::signal(SIGPIPE, SIG_IGN); }

bool WriteBytes(std::FILE* stream, std::string_view bytes) {
    return bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), stream) == bytes.size();
}

std::string SystemReason(int code) { return std::strerror(code); }

TLanguage MessageLanguage() { return LanguageFromEnvironment([](const char* name) { return std::getenv(name); }); }

bool NamesInCodePage() { return false; }

}  // namespace titles::cli
