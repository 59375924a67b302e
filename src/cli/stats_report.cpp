// titles-cli --stats: the count of compositions written out for people and
// for scripts.
#include "cli/stats_report.h"

#include <algorithm>
#include <cstdio>

#include "cli/report_format.h"

namespace titles::cli {

namespace {

// " (about 1.6 x 10^21)" for counts of 7 digits or more, else nothing.
std::string Magnitude(const TBigCount& count) {
    if (count.ToDecimal().size() < 7) return "";
    char text[32];
    std::snprintf(text, sizeof text, "%.1e", count.ToDouble());  // "1.6e+21"
    const std::string scientific = text;
    const std::size_t e = scientific.find('e');
    return " (about " + scientific.substr(0, e) + " x 10^" + std::to_string(std::stoi(scientific.substr(e + 1))) +
           ")";
}

std::string ListLine(const std::string& file, std::int64_t entries) {
    return QuotedName(file) + ": " + Plural(entries, "entry", "entries");
}

// Words of the grammar as the reports quote them: "ing", " and ", "using, of, for".
std::string Quoted(std::string_view words) {
    std::string text(1, '"');
    text += words;
    text += '"';
    return text;
}

std::string ConnectorList() {
    std::string list;
    for (const auto word : kConnectorWords) list += (list.empty() ? "" : ", ") + std::string(word);
    return list;
}

}  // namespace

std::string FormatStatsText(const TStats& stats, const std::string& adjectiveFile, const std::string& nounFile) {
    const TListCounts& c = stats.counts;
    std::string out;
    out += "Word lists\n";
    out += "  " + ListLine(adjectiveFile, c.adjectives) + "\n";
    out += "  " + ListLine(nounFile, c.nouns) + ", " + std::to_string(c.gerunds) + " ending in " +
           Quoted(kGerundEnding) + "\n";
    out += "\n";
    out += "Compositions: " + stats.total.ToDecimal() + Magnitude(stats.total) + "\n";
    out += "  (sequences of entries, connectors and separators; an entry that stands\n"
           "  twice in a list counts twice)\n";
    out += "Distinct titles: at most " + std::to_string(kMostDistinctTitles) + "\n";
    out += "  (each title is fixed by the 32-bit state of the random stream at its\n"
           "  start; different compositions can read the same)\n";
    if (stats.AllComplete()) {
        out += "Every composition completes.\n";
    } else {
        out += "Some compositions cannot complete: " + Fixed(stats.failureProbability * 100, 4) +
               "% of titles end in an error.\n";
        out += "The count above covers only the compositions that complete.\n";
    }
    out += "\n";

    const std::size_t choiceWidth = 44;
    out += PadRight("Choice", choiceWidth) + PadLeft("Seeds of 2^32", 14) + "  Probability\n";
    const auto choice = [&](const char* name, std::uint32_t seeds) {
        out += "  " + PadRight(name, choiceWidth - 2) + PadLeft(std::to_string(seeds), 14) + "  " +
               Fixed(seeds / kSeedSpace, 10) + "\n";
    };
    choice("opening gerund", kOpeningSeeds);
    choice("two nouns in a group", 2147483648u);
    choice("second clause", kEvenSeeds);
    choice("adjective in a second clause", kEvenSeeds);
    const auto derived = [&](const char* name, double p) {
        out += "  " + PadRight(name, choiceWidth - 2) + PadLeft("", 14) + "  " + Fixed(p, 10) + "\n";
    };
    const std::string pairAnd = Quoted(kListSeparator) + " in a first-group pair, ";
    derived((pairAnd + "no opening").c_str(), stats.andWithoutOpening);
    derived((pairAnd + "after one").c_str(), stats.andAfterOpening);
    out += "\n";

    std::size_t shapeWidth = 5;
    std::size_t countWidth = 12;
    for (const auto& s : stats.shapes) {
        shapeWidth = std::max(shapeWidth, ShapeName(s.shape).size());
        countWidth = std::max(countWidth, s.compositions.ToDecimal().size());
    }
    countWidth = std::max(countWidth, stats.total.ToDecimal().size());
    out += PadRight("Shape", shapeWidth + 4) + PadLeft("Compositions", countWidth) + "  Probability\n";
    for (const auto& s : stats.shapes) {
        out += "  " + PadRight(ShapeName(s.shape), shapeWidth + 2) + PadLeft(s.compositions.ToDecimal(), countWidth) +
               "  " + Fixed(s.probability, 10);
        if (!s.completes) out += "  cannot complete: " + s.reason;
        out += "\n";
    }
    out += "  " + PadRight("all", shapeWidth + 2) + PadLeft(stats.total.ToDecimal(), countWidth) + "  " +
           Fixed(1.0, 10) + "\n";
    out += "\n";
    const std::string space = Quoted(kWordSeparator);
    const std::string andWord = Quoted(kListSeparator);
    out += "G: a noun ending in " + Quoted(kGerundEnding) + "; c: a connector (" + ConnectorList() +
           "); A: an adjective;\n"
           "N: a noun. \"N N\" in the first group is joined by " + andWord + " or " + space + " (always " + space +
           "\nafter a gerund); the second clause joins two nouns by " + andWord + ".\n"
           "Probabilities take each draw's seed as equally likely to be any of the 2^32\n"
           "values, as it is over the generator's full period; the \" and \" rows also\n"
           "take the pair's first noun as equally likely to be any entry not yet used.\n";
    return out;
}

std::string FormatStatsJson(const TStats& stats, const std::string& adjectiveFile, const std::string& nounFile) {
    const TListCounts& c = stats.counts;
    std::string out = "{\n";
    out += "  \"adjectives\": {" + JsonNameMembers("file", adjectiveFile) +
           ", \"entries\": " + std::to_string(c.adjectives) + "},\n";
    out += "  \"nouns\": {" + JsonNameMembers("file", nounFile) + ", \"entries\": " + std::to_string(c.nouns) +
           ", \"ending_in_ing\": " + std::to_string(c.gerunds) + "},\n";
    out += "  \"compositions\": \"" + stats.total.ToDecimal() + "\",\n";
    out += "  \"distinct_titles_at_most\": \"" + std::to_string(kMostDistinctTitles) + "\",\n";
    out += std::string("  \"all_complete\": ") + (stats.AllComplete() ? "true" : "false") + ",\n";
    out += "  \"failure_probability\": " + JsonNumber(stats.failureProbability) + ",\n";
    out += "  \"choices\": {\n";
    out += "    \"opening_gerund\": " + JsonNumber(kOpeningProbability) + ",\n";
    out += "    \"two_nouns_in_a_group\": 0.5,\n";
    out += "    \"second_clause\": " + JsonNumber(kEvenProbability) + ",\n";
    out += "    \"second_clause_adjective\": " + JsonNumber(kEvenProbability) + ",\n";
    out += "    \"and_in_first_pair_without_opening\": " + JsonNumber(stats.andWithoutOpening) + ",\n";
    out += "    \"and_in_first_pair_after_opening\": " + JsonNumber(stats.andAfterOpening) + "\n";
    out += "  },\n";
    out += "  \"shapes\": [\n";
    for (std::size_t i = 0; i < stats.shapes.size(); ++i) {
        const auto& s = stats.shapes[i];
        out += "    {\"shape\": " + JsonString(ShapeName(s.shape)) +
               ", \"opening\": " + (s.shape.opening ? "true" : "false") +
               ", \"first_group\": " + std::to_string(s.shape.firstGroup) +
               ", \"second_clause\": " + (s.shape.secondGroup > 0 ? "true" : "false") +
               ", \"second_adjective\": " + (s.shape.secondAdjective ? "true" : "false") +
               ", \"second_group\": " + std::to_string(s.shape.secondGroup) +
               ", \"compositions\": \"" + s.compositions.ToDecimal() + "\"" +
               ", \"probability\": " + JsonNumber(s.probability) +
               ", \"completes\": " + (s.completes ? "true" : "false") +
               ", \"reason\": " + (s.completes ? std::string("null") : JsonString(s.reason)) + "}" +
               (i + 1 < stats.shapes.size() ? "," : "") + "\n";
    }
    out += "  ]\n}\n";
    return out;
}

}  // namespace titles::cli
