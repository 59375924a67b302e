#include "cli/messages.h"

#include <cerrno>
#include <cstring>

#include "base/texts.h"
#include "cli/cli.h"
#include "cli/report_format.h"

namespace titles::cli {

const std::string_view kTwoStandardInputs = "only one list can be read from standard input ('-')";

namespace {

constexpr std::string_view kListNotFoundJa = "ファイル %s が見つかりません (探した場所: %s)";

}  // namespace

TListNotFoundError::TListNotFoundError(const std::string& fileName, std::string searched)
    : TFailure(FormatText(kListNotFoundJa, {fileName, searched}), {TFailureKind::Other, fileName, 0, 0}),
      searched_(std::move(searched)) {}

TLanguage LanguageFromEnvironment(const std::function<const char*(const char*)>& lookup) {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = lookup(name);
        if (value == nullptr || *value == '\0') continue;
        return std::string_view(value).rfind("ja", 0) == 0 ? TLanguage::Japanese : TLanguage::English;
    }
    return TLanguage::English;
}

std::string FailureText(const TFailure& failure, TLanguage language) {
    const TFailureFacts& facts = failure.Facts();
    const std::string name = QuotedName(facts.fileName);
    const bool ja = language == TLanguage::Japanese;
    if (const auto* missing = dynamic_cast<const TListNotFoundError*>(&failure)) {
        return FormatText(ja ? kListNotFoundJa : "cannot find %s; looked in %s",
                          {name, missing->Searched()});
    }
    const auto cannot = [&](std::string_view verb, std::string_view reason) {
        if (ja) return FormatText(texts::kFileOpen, {name});
        std::string text = FormatText("cannot %s %s", {verb, name});
        return reason.empty() ? text : text + ": " + std::string(reason);
    };
    switch (facts.kind) {
        case TFailureKind::FileOpen:
            return cannot("open", facts.systemError != 0 ? SystemReason(facts.systemError) : "");
        case TFailureKind::FileRead: return cannot("read", SystemReason(facts.systemError));
        case TFailureKind::NotAFile: return cannot("open", "not a file or a pipe");
        case TFailureKind::FileTooLarge: return cannot("open", "2 GiB or larger");
        case TFailureKind::ListIndex:
            return FormatText(ja ? texts::kListIndex : "list index out of bounds (%d)", {facts.index});
        case TFailureKind::NoFreeEntry:
            return FormatText(ja ? texts::kNoFreeEntry : "%s: too few usable words", {name});
        case TFailureKind::NoGerund:
            return FormatText(ja ? texts::kNoGerund : "%s: no word ends in \"ing\"", {name});
        case TFailureKind::Other: break;
    }
    return failure.what();
}

std::string_view OutOfMemoryText(TLanguage language) {
    return language == TLanguage::Japanese ? texts::kOutOfMemory : "not enough memory";
}

std::string WriteErrorText() { return std::string("write error: ") + std::strerror(errno); }

void PrintMessage(std::FILE* err, std::string_view text, TLanguage language) {
    std::string line("titles-cli: ");
    line += language == TLanguage::Japanese ? WithFullStop(text) : std::string(text);
    WriteBytes(err, line + "\n");
    std::fflush(err);
}

void PrintUsageError(std::FILE* err, std::string_view text) {
    WriteBytes(err, "titles-cli: " + std::string(text) + "\nTry 'titles-cli --help'.\n");
}

}  // namespace titles::cli
