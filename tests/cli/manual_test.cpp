// The manual page and --help describe the same options and exit statuses.
#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>

#include "cli/cli.h"
#include "support/test_support.h"

namespace titles::cli {
namespace {

std::string ManualText(const char* name) {
    return test_support::ReadFileBytes(std::string(TITLES_DOCS_DIR) + "/" + name);
}

// Options in the help: the lines that start with two spaces and "--".
std::set<std::string> HelpOptions() {
    std::set<std::string> options;
    const std::regex option(R"(^  (?:-[a-zA-Z], |    )(--[a-z]+))");
    std::istringstream lines{std::string(UsageText())};
    for (std::string line; std::getline(lines, line);) {
        std::smatch m;
        if (std::regex_search(line, m, option)) options.insert(m[1]);
    }
    return options;
}

// Text of one section of a man page: from ".SH NAME" to the next ".SH".
std::string Section(const std::string& manual, const std::string& name) {
    const std::string head = ".SH " + name + "\n";
    const std::size_t start = manual.find(head);
    if (start == std::string::npos) return "";
    const std::size_t end = manual.find("\n.SH ", start + head.size());
    return manual.substr(start + head.size(), end == std::string::npos ? std::string::npos : end - start - head.size());
}

// Tagged paragraphs of a section: the line after each ".TP", with roff's
// "\-" read as "-", first word after the font macro.
std::set<std::string> Tags(const std::string& section, const std::regex& tag) {
    std::set<std::string> tags;
    std::istringstream lines(section);
    bool afterTp = false;
    for (std::string line; std::getline(lines, line);) {
        if (afterTp) {
            line = std::regex_replace(line, std::regex(R"(\\-)"), "-");
            std::smatch m;
            if (std::regex_search(line, m, tag)) tags.insert(m[1]);
        }
        afterTp = line == ".TP";
    }
    return tags;
}

TEST(Manual, OptionsAgreeWithHelp) {
    const std::string manual = ManualText("titles-cli.1");
    const std::set<std::string> documented = Tags(Section(manual, "OPTIONS"), std::regex(R"(^\.B.*(--[a-z]+))"));
    const std::set<std::string> help = HelpOptions();
    EXPECT_EQ(help.size(), 9u) << ::testing::PrintToString(help);
    EXPECT_EQ(documented, help);
    // Every option also stands in the synopsis.
    const std::string synopsis = std::regex_replace(Section(manual, "SYNOPSIS"), std::regex(R"(\\-)"), "-");
    for (const auto& o : help) EXPECT_NE(synopsis.find(o), std::string::npos) << o;
}

TEST(Manual, ExitStatusesAgreeWithHelp) {
    const std::string manual = ManualText("titles-cli.1");
    const std::set<std::string> documented = Tags(Section(manual, "EXIT STATUS"), std::regex(R"(^\.B ([0-9]+)$)"));
    const std::string help(UsageText().substr(UsageText().find("Exit status:")));
    std::set<std::string> helped;
    const std::regex status(R"(\b([0-9])\b)");
    for (auto it = std::sregex_iterator(help.begin(), help.end(), status); it != std::sregex_iterator(); ++it) {
        helped.insert((*it)[1]);
    }
    EXPECT_EQ(documented, (std::set<std::string>{"0", "1", "2", "3"}));
    EXPECT_EQ(helped, documented);
}

TEST(Manual, PagesAreWellFormed) {
    for (const char* name : {"titles-cli.1", "titles.1"}) {
        const std::string manual = ManualText(name);
        EXPECT_EQ(manual.rfind(".\\\"", 0), 0u) << name;
        EXPECT_NE(manual.find("\n.TH "), std::string::npos) << name;
        for (const char* section : {"NAME", "SYNOPSIS", "DESCRIPTION", "EXIT STATUS", "FILES", "SEE ALSO"}) {
            EXPECT_FALSE(Section(manual, section).empty()) << name << ": " << section;
        }
        // Plain ASCII: other characters are written as roff escapes.
        for (const char c : manual) ASSERT_LT(static_cast<unsigned char>(c), 0x80u) << name;
    }
    // The desktop program takes no options.
    EXPECT_EQ(Section(ManualText("titles.1"), "SYNOPSIS"), ".B titles");
}

}  // namespace
}  // namespace titles::cli
