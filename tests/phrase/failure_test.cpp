#include <gtest/gtest.h>

#include "phrase/errors.h"

namespace titles {
namespace {

TEST(FormatText, FillsPlaceholdersInOrder) {
    struct Case {
        std::string_view pattern;
        std::initializer_list<TFormatArg> args;
        std::string expected;
    };
    const Case cases[] = {
        {"ファイル %s は開けません", {std::string_view("nouns.txt")}, "ファイル nouns.txt は開けません"},
        {"リストのインデックスが範囲を超えています (%d)", {std::int32_t{-1}},
         "リストのインデックスが範囲を超えています (-1)"},
        {"リストのインデックスが範囲を超えています (%d)", {std::int32_t{-2147483647 - 1}},
         "リストのインデックスが範囲を超えています (-2147483648)"},
        {"%s and %d and %s", {std::string_view("a"), std::int32_t{7}, std::string_view("")}, "a and 7 and "},
        {"100%% %d", {std::int32_t{5}}, "100% 5"},
        {"missing %s", {}, "missing %s"},
        {"trailing %", {}, "trailing %"},
        // A file name that itself holds placeholders is not expanded again.
        {"file %s!", {std::string_view("%s%d")}, "file %s%d!"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatText(c.pattern, c.args), c.expected) << c.pattern;
    }
}

TEST(WithFullStop, AppendsOnlyAfterCharactersAboveFullStop) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"", ""},
        {"done.", "done."},
        {"done", "done."},
        {"code 7", "code 7."},
        {"a:", "a:."},
        {"(5)", "(5)"},
        {"wow!", "wow!"},
        {"a,", "a,"},
        {"a-", "a-"},
        {"a ", "a "},
        {"ファイル x は開けません", "ファイル x は開けません."},
        {"\x82\xa0", "\x82\xa0."},  // a double-byte character (code page 932)
        {"/", "/."},
    };
    for (const auto& [message, expected] : cases) {
        EXPECT_EQ(WithFullStop(message), expected) << message;
    }
}

}  // namespace
}  // namespace titles
