#include "cli/messages.h"

#include <array>
#include <cstdlib>
#include <utility>

#include "base/texts.h"
#include "cli/cli.h"

namespace titles::cli {
namespace {

// Each Japanese template the engine raises and its English counterpart;
// every one holds a single placeholder.
constexpr std::array<std::pair<std::string_view, std::string_view>, 5> kTranslations = {{
    {texts::kFileOpen, texts::kCliFileOpen},
    {texts::kListIndex, texts::kCliListIndex},
    {texts::kNoFreeEntry, texts::kCliNoFreeEntry},
    {texts::kNoGerund, texts::kCliNoGerund},
    {texts::kOutOfMemory, texts::kCliOutOfMemory},
}};

// The text the placeholder of pattern stands for in message, if message was
// made from pattern.
std::optional<std::string_view> PlaceholderValue(std::string_view message, std::string_view pattern) {
    const std::size_t at = pattern.find('%');
    if (at == std::string_view::npos) {
        if (message == pattern) return std::string_view();
        return std::nullopt;
    }
    const std::string_view head = pattern.substr(0, at);
    const std::string_view tail = pattern.substr(at + 2);
    if (message.size() < head.size() + tail.size() || message.substr(0, head.size()) != head ||
        message.substr(message.size() - tail.size()) != tail) {
        return std::nullopt;
    }
    return message.substr(head.size(), message.size() - head.size() - tail.size());
}

}  // namespace

TLanguage LanguageFromEnvironment(const std::function<const char*(const char*)>& lookup) {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = lookup(name);
        if (value == nullptr || *value == '\0') continue;
        return std::string_view(value).rfind("ja", 0) == 0 ? TLanguage::Japanese : TLanguage::English;
    }
    return TLanguage::English;
}

std::string FailureText(const TFailure& failure, TLanguage language) {
    const std::string_view message = failure.what();
    if (language == TLanguage::Japanese || dynamic_cast<const TCliFailure*>(&failure) != nullptr) {
        return std::string(message);
    }
    for (const auto& [japanese, english] : kTranslations) {
        const auto value = PlaceholderValue(message, japanese);
        if (!value) continue;
        // The one placeholder is %s or %d; either way its text goes back in.
        std::string pattern(english);
        if (const std::size_t d = pattern.find("%d"); d != std::string::npos) pattern[d + 1] = 's';
        return FormatText(pattern, {*value});
    }
    return std::string(message);
}

std::string MessageLine(std::string_view text, TLanguage language) {
    std::string line(texts::kCliPrefix);
    line += language == TLanguage::Japanese ? WithFullStop(text) : std::string(text);
    line += '\n';
    return line;
}

std::string_view OutOfMemoryText(TLanguage language) {
    return language == TLanguage::Japanese ? texts::kOutOfMemory : texts::kCliOutOfMemory;
}

void PrintMessage(std::FILE* err, std::string_view text, TLanguage language) {
    WriteBytes(err, MessageLine(text, language));
    std::fflush(err);
}

}  // namespace titles::cli
