#include "cli/cli.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <new>
#include <string_view>

#include "cli/check_report.h"
#include "cli/stats.h"
#include "phrase/composer.h"
#include "base/failure.h"
#include "phrase/random_source.h"
#include "phrase/word_file.h"
#include "phrase/word_list.h"

namespace titles::cli {
namespace {

// Decimal digits only: no sign, no spaces, no base prefix.
template <typename T>
std::optional<T> ParseNumber(std::string_view text) {
    if (text.empty() || text.front() < '0' || text.front() > '9') return std::nullopt;
    T value{};
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

// Collects output in large blocks so that many titles cost few writes.
class TBufferedWriter {
public:
    explicit TBufferedWriter(std::FILE* sink) : sink_(sink) { buffer_.reserve(kBlock + 4096); }

    // False once a write has failed; errno tells why.
    bool Write(std::string_view bytes) {
        buffer_.append(bytes);
        return buffer_.size() < kBlock || Flush();
    }
    bool Flush() {
        if (!ok_) return false;
        if (!buffer_.empty() && std::fwrite(buffer_.data(), 1, buffer_.size(), sink_) != buffer_.size()) {
            ok_ = false;
        }
        buffer_.clear();
        if (ok_ && std::fflush(sink_) != 0) ok_ = false;
        return ok_;
    }

private:
    static constexpr std::size_t kBlock = 64 * 1024;
    std::FILE* sink_;
    std::string buffer_;
    bool ok_ = true;
};

void PrintMessage(std::FILE* err, const std::string& message) {
    const std::string line = WithFullStop(message) + "\n";
    std::fwrite(line.data(), 1, line.size(), err);
    std::fflush(err);
}

// Writes a whole report; false (after saying why) when the output fails.
bool WriteReport(const std::string& text, std::FILE* out, std::FILE* err) {
    TBufferedWriter writer(out);
    if (writer.Write(text) && writer.Flush()) return true;
    if (errno != EPIPE) PrintMessage(err, std::string("titles-cli: write error: ") + std::strerror(errno));
    return errno == EPIPE;
}

// --check and --stats: the lists are read as for titles, and the first one
// that cannot be opened ends the run with the same message.
int RunReport(const TCliOptions& options, std::FILE* out, std::FILE* err) {
    const bool json = options.format == TReportFormat::Json;
    std::string text;
    int exitCode = kExitOk;
    try {
        if (options.mode == TCliMode::Check) {
            const TFileBytes adjectives = ReadWordFileBytes(options.adjectiveFile);
            const TFileBytes nouns = ReadWordFileBytes(options.nounFile);
            const TCheckReport report = CheckWordLists(
                CheckWordBytes({adjectives.data.get(), adjectives.size}, TListRole::Adjectives,
                               options.adjectiveFile),
                CheckWordBytes({nouns.data.get(), nouns.size}, TListRole::Nouns, options.nounFile));
            text = json ? FormatCheckJson(report) : FormatCheckText(report);
            exitCode = report.ExitCode();
        } else {
            TWordList adjectives;
            TWordList nouns;
            adjectives.LoadWordFile(options.adjectiveFile);
            nouns.LoadWordFile(options.nounFile);
            const TStats stats = ComputeStats(CountsOf(adjectives, nouns));
            text = json ? FormatStatsJson(stats, options.adjectiveFile, options.nounFile)
                        : FormatStatsText(stats, options.adjectiveFile, options.nounFile);
            exitCode = stats.AllComplete() ? kExitOk : kExitFailure;
        }
    } catch (const TFailure& failure) {
        PrintMessage(err, failure.what());
        return kExitFailure;
    }
    return WriteReport(text, out, err) ? exitCode : kExitFailure;
}

}  // namespace

const std::string& UsageText() {
    static const std::string text =
        "Usage: titles-cli [--seed N] [--count N] [--adjectives FILE] [--nouns FILE]\n"
        "       titles-cli --check [--format FORMAT] [--adjectives FILE] [--nouns FILE]\n"
        "       titles-cli --stats [--format FORMAT] [--adjectives FILE] [--nouns FILE]\n"
        "Prints random titles composed from an adjective list and a noun list,\n"
        "one per line, exactly as the Titles desktop program composes them.\n"
        "The same seed and the same lists give the same titles in every version.\n"
        "\n"
        "  --seed N           start the random stream at N (0 to 4294967295);\n"
        "                     default: the UTC time of day in milliseconds\n"
        "  --count N          print N titles (default 1)\n"
        "  --adjectives FILE  adjective list, one per line (default adjectives.txt)\n"
        "  --nouns FILE       noun list, one per line (default nouns.txt)\n"
        "  --check            report on the word lists instead of printing titles\n"
        "  --stats            count the distinct titles the lists allow and give\n"
        "                     the probability of each shape of title\n"
        "  --format FORMAT    report format of --check and --stats: text (default)\n"
        "                     or json\n"
        "  --help             show this help and exit\n"
        "\n"
        "Exit status: 0 on success; 1 when a word list fails, or, for --check and\n"
        "--stats, when the lists are too small for some composition to complete;\n"
        "2 on a usage error; 3 when --check finds the lists sound but with warnings.\n";
    return text;
}

std::optional<TCliOptions> ParseCliArgs(const std::vector<std::string>& args, std::string& error) {
    TCliOptions options;
    bool formatGiven = false;
    std::string titlesOption;  // the last option that only printing titles takes
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view arg = args[i];
        std::string_view name = arg;
        std::optional<std::string_view> inlineValue;
        if (const auto eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string_view::npos) {
            name = arg.substr(0, eq);
            inlineValue = arg.substr(eq + 1);
        }
        auto takeValue = [&]() -> std::optional<std::string_view> {
            if (inlineValue) return inlineValue;
            if (i + 1 >= args.size()) return std::nullopt;
            return std::string_view(args[++i]);
        };

        if (name == "--help" || name == "-h" || name == "--check" || name == "--stats") {
            if (inlineValue) {
                error = "option " + std::string(name) + " takes no value";
                return std::nullopt;
            }
            if (name == "--check" || name == "--stats") {
                const TCliMode mode = name == "--check" ? TCliMode::Check : TCliMode::Stats;
                if (options.mode != TCliMode::Titles && options.mode != mode) {
                    error = "--check and --stats cannot be combined";
                    return std::nullopt;
                }
                options.mode = mode;
            } else {
                options.help = true;
            }
        } else if (name == "--format") {
            const auto value = takeValue();
            if (!value) {
                error = "option --format needs a value";
                return std::nullopt;
            }
            if (*value != "text" && *value != "json") {
                error = "--format needs text or json, not '" + std::string(*value) + "'";
                return std::nullopt;
            }
            options.format = *value == "json" ? TReportFormat::Json : TReportFormat::Text;
            formatGiven = true;
        } else if (name == "--seed" || name == "--count" || name == "--adjectives" || name == "--nouns") {
            const auto value = takeValue();
            if (!value) {
                error = "option " + std::string(name) + " needs a value";
                return std::nullopt;
            }
            if (name == "--seed") {
                const auto seed = ParseNumber<std::uint32_t>(*value);
                if (!seed) {
                    error = "--seed needs a whole number from 0 to 4294967295, not '" + std::string(*value) + "'";
                    return std::nullopt;
                }
                options.seed = *seed;
                titlesOption = "--seed";
            } else if (name == "--count") {
                const auto count = ParseNumber<std::uint64_t>(*value);
                if (!count) {
                    error = "--count needs a whole number of 0 or more, not '" + std::string(*value) + "'";
                    return std::nullopt;
                }
                options.count = *count;
                titlesOption = "--count";
            } else if (name == "--adjectives") {
                options.adjectiveFile = std::string(*value);
            } else {
                options.nounFile = std::string(*value);
            }
        } else {
            error = "unknown argument '" + std::string(arg) + "'";
            return std::nullopt;
        }
    }
    if (options.mode == TCliMode::Titles && formatGiven) {
        error = "--format applies only to --check and --stats";
        return std::nullopt;
    }
    if (options.mode != TCliMode::Titles && !titlesOption.empty()) {
        error = titlesOption + " cannot be used with " +
                (options.mode == TCliMode::Check ? "--check" : "--stats");
        return std::nullopt;
    }
    return options;
}

int RunCli(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    std::string usageError;
    const auto options = ParseCliArgs(args, usageError);
    if (!options) {
        const std::string text = "titles-cli: " + usageError + "\n" + UsageText();
        std::fwrite(text.data(), 1, text.size(), err);
        return kExitUsage;
    }
    if (options->help) {
        std::fwrite(UsageText().data(), 1, UsageText().size(), out);
        return std::fflush(out) == 0 ? kExitOk : kExitFailure;
    }
    if (options->mode != TCliMode::Titles) return RunReport(*options, out, err);

    TBufferedWriter writer(out);
    try {
        TWordList adjectives;
        TWordList nouns;
        adjectives.LoadWordFile(options->adjectiveFile);
        nouns.LoadWordFile(options->nounFile);
        if (options->seed) {
            RandomSeed = *options->seed;
        } else {
            SeedFromClock();
        }
        std::string phrase;
        for (std::uint64_t i = 0; i < options->count; ++i) {
            ComposePhrase(adjectives, nouns, phrase);
            phrase += '\n';
            if (!writer.Write(phrase)) break;
        }
    } catch (const TFailure& failure) {
        writer.Flush();
        PrintMessage(err, failure.what());
        return kExitFailure;
    } catch (const std::bad_alloc&) {
        // The titles composed so far still go out before the message.
        writer.Flush();
        PrintMessage(err, "titles-cli: not enough memory");
        return kExitFailure;
    }
    if (!writer.Flush()) {
        // A reader that stops early (head) is no error; anything else is.
        if (errno == EPIPE) return kExitOk;
        PrintMessage(err, std::string("titles-cli: write error: ") + std::strerror(errno));
        return kExitFailure;
    }
    return kExitOk;
}

}  // namespace titles::cli
