#include "cli/cli.h"

#include <cerrno>
#include <cstring>
#include <exception>
#include <memory>
#include <new>
#include <utility>

#include "base/data_folders.h"
#include "cli/check_report.h"
#include "cli/report_format.h"
#include "cli/stats.h"
#include "cli/stats_report.h"
#include "phrase/random_source.h"
#include "phrase/word_file.h"
#include "phrase/word_list.h"

namespace titles::cli {

const std::string_view kTwoStandardInputs = "only one list can be read from standard input ('-')";

namespace {

// The desktop program's words for the failures both programs share, the
// same bytes as its boxes show; and titles-cli's own for a list not found.
constexpr std::string_view kFileOpenJa = "ファイル %s は開けません";
constexpr std::string_view kListIndexJa = "リストのインデックスが範囲を超えています (%d)";
constexpr std::string_view kNoFreeEntryJa = "ファイル %s には使える単語が足りません";
constexpr std::string_view kNoGerundJa = "ファイル %s には ing で終わる単語がありません";
constexpr std::string_view kOutOfMemoryJa = "メモリが不足しています";
constexpr std::string_view kListNotFoundJa = "ファイル %s が見つかりません (探した場所: %s)";

// A list not named on the command line that is in none of the places
// searched (a comma-separated list of folders).
class TListNotFoundError : public TFailure {
public:
    TListNotFoundError(const std::string& fileName, std::string folders)
        : TFailure(TFailureKind::FileOpen, fileName), searched(std::move(folders)) {}
    const char* KindName() const noexcept override { return "TListNotFoundError"; }
    std::string searched;
};

// A usage error found only when the lists are opened: a second list from
// standard input.
struct TSecondStandardInput {};

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
    const TFailureFacts& facts = failure.Facts();
    const std::string name = QuotedName(facts.name);
    const bool ja = language == TLanguage::Japanese;
    const auto cannot = [&](std::string_view verb, std::string_view reason) {
        if (ja) return FormatText(kFileOpenJa, {name});
        std::string text = FormatText("cannot %s %s", {verb, name});
        return reason.empty() ? text : text + ": " + std::string(reason);
    };
    const auto worded = [&]() -> std::string {
        switch (facts.kind) {
            case TFailureKind::FileOpen:
                return cannot("open", facts.systemError ? SystemReason(facts.systemError) : "");
            case TFailureKind::FileRead: return cannot("read", SystemReason(facts.systemError));
            case TFailureKind::NotAFile: return cannot("open", "not a file or a pipe");
            case TFailureKind::FileTooLarge: return cannot("open", "2 GiB or larger");
            case TFailureKind::ListIndex:
                return FormatText(ja ? kListIndexJa : "list index out of bounds (%d)", {facts.index});
            case TFailureKind::NoFreeEntry: return FormatText(ja ? kNoFreeEntryJa : "%s: too few usable words", {name});
            case TFailureKind::NoGerund:
                return FormatText(ja ? kNoGerundJa : "%s: no word ends in \"ing\"", {name});
            default: return failure.what();  // the window system's failures never reach titles-cli
        }
    };
    // The desktop program's words end as its boxes end them.
    return ja ? WithFullStop(worded()) : worded();
}

namespace {

// Prints the message line: "titles-cli: " + text + a line break.
void PrintMessage(std::FILE* err, std::string_view text) {
    WriteBytes(err, "titles-cli: " + std::string(text) + "\n");
    std::fflush(err);
}

void PrintUsageError(std::FILE* err, std::string_view text) {
    WriteBytes(err, "titles-cli: " + std::string(text) + "\nTry 'titles-cli --help'.\n");
}

// Collects output in large blocks so that many titles cost few writes.
class TBufferedWriter {
public:
    explicit TBufferedWriter(std::FILE* sink) : sink_(sink) {}

    // False once a write has failed; errno tells why.
    bool Write(std::string_view bytes) {
        buffer_.append(bytes);
        return buffer_.size() < 64 * 1024 || Flush();
    }
    bool Flush() {
        ok_ = ok_ && WriteBytes(sink_, buffer_) && std::fflush(sink_) == 0;
        buffer_.clear();
        return ok_;
    }

private:
    std::FILE* sink_;
    std::string buffer_;
    bool ok_ = true;
};

// After the output failed: a reader that stopped early (head) is no error;
// anything else is reported.
int OutputFailed(std::FILE* err) {
    if (errno == EPIPE) return kExitOk;
    PrintMessage(err, std::string("write error: ") + std::strerror(errno));
    return kExitFailure;
}

int WriteAll(std::string_view text, std::FILE* out, std::FILE* err) {
    return WriteBytes(out, text) && std::fflush(out) == 0 ? kExitOk : OutputFailed(err);
}

// Reads the list called name, opening it once: "-" is standard input. A
// list not named on the command line and not in the working directory is
// looked for in the installed folders; name becomes the path found. A
// second list from standard input is a usage error.
TFileBytes ReadList(std::string& name, bool named, bool& standardInputRead) {
    const TSourceKind kind = name == kStandardInputName ? TSourceKind::StandardInput : TSourceKind::FileOrStream;
    auto source = std::make_unique<TWordSource>(name, kind);
    if (!named && source->Missing()) {
        const std::string folder = InstalledListFolder(name);
        if (folder.empty()) {
            std::string searched = ".";
            for (const std::string& f : InstalledListFolders()) searched += ", " + QuotedName(f);
            throw TListNotFoundError(name, searched);
        }
        name = folder + "/" + name;
        source = std::make_unique<TWordSource>(name, kind);
    }
    if (source->IsStandardInput() && std::exchange(standardInputRead, true)) {
        throw TSecondStandardInput{};
    }
    return source->Read();
}

// Both lists, the adjectives first, each opened once.
std::pair<TFileBytes, TFileBytes> ReadLists(TCliOptions& options) {
    bool standardInputRead = false;
    TFileBytes adjectives = ReadList(options.adjectiveFile, options.adjectivesNamed, standardInputRead);
    return {std::move(adjectives), ReadList(options.nounFile, options.nounsNamed, standardInputRead)};
}

void LoadLists(TCliOptions& options, TWordList& adjectives, TWordList& nouns) {
    auto [adjectiveBytes, nounBytes] = ReadLists(options);
    adjectives.AssignText(std::move(adjectiveBytes), options.adjectiveFile);
    nouns.AssignText(std::move(nounBytes), options.nounFile);
}

// The report of --check or --stats and the exit code it asks for.
std::pair<std::string, int> Report(TCliOptions& options) {
    const bool json = options.format == TReportFormat::Json;
    if (options.mode == TCliMode::Check) {
        const auto [adjectives, nouns] = ReadLists(options);
        const TCheckReport report = CheckWordLists(
            CheckWordBytes({adjectives.data.get(), adjectives.size}, TListRole::Adjectives, options.adjectiveFile,
                           adjectives.stream),
            CheckWordBytes({nouns.data.get(), nouns.size}, TListRole::Nouns, options.nounFile, nouns.stream));
        return {json ? FormatCheckJson(report) : FormatCheckText(report), report.ExitCode()};
    }
    TWordList adjectives;
    TWordList nouns;
    LoadLists(options, adjectives, nouns);
    const TStats stats = ComputeStats(CountsOf(adjectives, nouns));
    return {json ? FormatStatsJson(stats, options.adjectiveFile, options.nounFile)
                 : FormatStatsText(stats, options.adjectiveFile, options.nounFile),
            stats.AllComplete() ? kExitOk : kExitFailure};
}

// Prints the titles; the titles composed before a failure still go out
// before its message, and a failed write of them is reported too.
int PrintTitles(TCliOptions& options, std::FILE* out, std::FILE* err) {
    TBufferedWriter writer(out);
    try {
        TWordList adjectives;
        TWordList nouns;
        LoadLists(options, adjectives, nouns);
        options.seed ? void(RandomSeed = *options.seed) : SeedFromClock();
        std::string phrase;
        for (std::uint64_t i = 0; i < options.count; ++i) {
            ComposePhrase(adjectives, nouns, phrase);
            phrase += '\n';
            if (!writer.Write(phrase)) break;
        }
    } catch (...) {
        if (!writer.Flush()) OutputFailed(err);
        throw;
    }
    return writer.Flush() ? kExitOk : OutputFailed(err);
}

}  // namespace

int RunCli(int argc, char** argv, std::FILE* out, std::FILE* err) {
    try {
        std::string usageError;
        auto options = ParseCliArgs(argc, argv, usageError);
        if (!options) {
            PrintUsageError(err, usageError);
            return kExitUsage;
        }
        if (options->help || options->version) {
            return WriteAll(options->help ? UsageText() : "titles-cli " TITLES_VERSION "\n", out, err);
        }
        if (options->mode == TCliMode::Titles) return PrintTitles(*options, out, err);
        const auto [text, exitCode] = Report(*options);
        const int written = WriteAll(text, out, err);
        return written == kExitOk ? exitCode : written;
    } catch (const TSecondStandardInput&) {
        PrintUsageError(err, kTwoStandardInputs);
        return kExitUsage;
    } catch (const TListNotFoundError& missing) {
        const bool ja = MessageLanguage() == TLanguage::Japanese;
        PrintMessage(err, FormatText(ja ? kListNotFoundJa : "cannot find %s; looked in %s",
                                     {QuotedName(missing.Facts().name), missing.searched}));
    } catch (const TFailure& failure) {
        PrintMessage(err, FailureText(failure, MessageLanguage()));
    } catch (const std::bad_alloc&) {
        const bool ja = MessageLanguage() == TLanguage::Japanese;
        PrintMessage(err, ja ? WithFullStop(kOutOfMemoryJa) : "not enough memory");
    } catch (const std::exception& e) {
        PrintMessage(err, e.what());  // any other library error still ends with a message, not a crash
    }
    return kExitFailure;
}

}  // namespace titles::cli
