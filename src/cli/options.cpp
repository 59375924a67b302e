// titles-cli's command line, read by getopt_long.
#include <getopt.h>

#include <algorithm>
#include <charconv>
#include <iterator>
#include <cstring>
#include <utility>

#include "base/failure.h"
#include "cli/cli.h"
#include "cli/report_format.h"
#include "cli_help.h"

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

enum : int { kCheckOption = 256, kStatsOption, kFormatOption };

constexpr const char* kShortOptions = ":s:n:a:N:hV";
const option kLongOptions[] = {
    {"seed", required_argument, nullptr, 's'},       {"count", required_argument, nullptr, 'n'},
    {"adjectives", required_argument, nullptr, 'a'}, {"nouns", required_argument, nullptr, 'N'},
    {"check", no_argument, nullptr, kCheckOption},   {"stats", no_argument, nullptr, kStatsOption},
    {"format", required_argument, nullptr, kFormatOption},
    {"help", no_argument, nullptr, 'h'},             {"version", no_argument, nullptr, 'V'},
    {nullptr, 0, nullptr, 0},
};

bool IsOptionValue(int value) {
    return std::any_of(std::begin(kLongOptions), std::end(kLongOptions), [&](const option& o) { return o.val == value; });
}

// What getopt_long refused, in words. Its result and optopt tell a short
// option's problem (optopt: a letter that is no option, or one whose value is
// missing); for a long option the element before optind is looked up here,
// as the getopt of glibc and of mingw-w64 report those differently.
std::string DescribeRefusal(int result, int shortOption, std::string_view element) {
    if (result == '?' && shortOption != 0 && !IsOptionValue(shortOption)) {
        return FormatText("invalid option -- %s", {QuotedArgument(std::string(1, static_cast<char>(shortOption)))});
    }
    if (element.rfind("--", 0) != 0) {
        const char shown[] = {'-', static_cast<char>(shortOption), '\0'};
        return FormatText("option %s requires an argument", {QuotedArgument(shown)});
    }
    const std::string_view name = element.substr(2, element.find('=') - 2);
    const std::string shown = QuotedArgument("--" + std::string(name));
    const option* chosen = nullptr;
    int matches = 0;
    for (const option* o = kLongOptions; o->name != nullptr; ++o) {
        if (std::string_view(o->name).rfind(name, 0) != 0) continue;
        ++matches;
        if (chosen == nullptr || name == o->name) chosen = o;
    }
    if (matches == 0) return FormatText("unrecognized option %s", {shown});
    if (matches > 1 && name != chosen->name) return FormatText("option %s is ambiguous", {shown});
    return FormatText(chosen->has_arg == no_argument ? "option %s doesn't allow an argument"
                                                     : "option %s requires an argument",
                      {shown});
}

// The value of --seed or --count, a titles-only option; false (with error
// set) when it is no number of the target's type.
template <typename TNumber, typename TTarget>
bool SetNumber(std::string_view value, TTarget& target, const char* option, const char* range,
               std::string& titlesOption, std::string& error) {
    const auto number = ParseNumber<TNumber>(value);
    if (!number) {
        error = FormatText("%s needs a whole number %s, not %s", {option, range, QuotedArgument(value)});
        return false;
    }
    target = *number;
    titlesOption = option;
    return true;
}

// Applies one recognised option; false (with error set) when its value is wrong.
bool Apply(int result, std::string_view value, TCliOptions& options, bool& formatGiven,
           std::string& titlesOption, std::string& error) {
    switch (result) {
        case 's':
            return SetNumber<std::uint32_t>(value, options.seed, "--seed", "from 0 to 4294967295", titlesOption, error);
        case 'n':
            return SetNumber<std::uint64_t>(value, options.count, "--count", "of 0 or more", titlesOption, error);
        case 'a': options.adjectiveFile = value; options.adjectivesNamed = true; return true;
        case 'N': options.nounFile = value; options.nounsNamed = true; return true;
        case 'h': options.help = true; return true;
        case 'V': options.version = true; return true;
        case kFormatOption:
            if (value != "text" && value != "json") {
                error = FormatText("--format needs text or json, not %s", {QuotedArgument(value)});
                return false;
            }
            options.format = value == "json" ? TReportFormat::Json : TReportFormat::Text;
            formatGiven = true;
            return true;
        default: {
            const TCliMode mode = result == kCheckOption ? TCliMode::Check : TCliMode::Stats;
            if (options.mode != TCliMode::Titles && options.mode != mode) {
                error = "--check and --stats cannot be combined";
                return false;
            }
            options.mode = mode;
            return true;
        }
    }
}

}  // namespace

std::optional<TCliOptions> ParseCliArgs(int argc, char** argv, std::string& error) {
    const auto refuse = [&error](std::string text) {
        error = std::move(text);
        return std::nullopt;
    };
    TCliOptions options;
    bool formatGiven = false;
    std::string titlesOption;  // the last option that only printing titles takes
    opterr = 0;                // problems are reported here, in one line
    optind = 0;                // start afresh on every call
    for (;;) {
        const int result = getopt_long(argc, argv, kShortOptions, kLongOptions, nullptr);
        if (result == -1) break;
        if (result == '?' || result == ':') return refuse(DescribeRefusal(result, optopt, argv[optind - 1]));
        const std::string_view value = optarg != nullptr ? optarg : "";
        if (!Apply(result, value, options, formatGiven, titlesOption, error)) return std::nullopt;
    }
    if (optind < argc) return refuse(FormatText("unexpected argument %s", {QuotedArgument(argv[optind])}));
    if (options.adjectiveFile == kStandardInputName && options.nounFile == kStandardInputName) {
        return refuse(std::string(kTwoStandardInputs));
    }
    if (options.mode == TCliMode::Titles && formatGiven) return refuse("--format applies only to --check and --stats");
    if (options.mode != TCliMode::Titles && !titlesOption.empty()) {
        return refuse(FormatText("%s cannot be used with %s",
                                 {titlesOption, options.mode == TCliMode::Check ? "--check" : "--stats"}));
    }
    return options;
}

std::string_view UsageText() { return kCliHelp; }

}  // namespace titles::cli
