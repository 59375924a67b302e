// Windows text as UTF-16 for boxes and the console: UTF-8 where the bytes
// are UTF-8, the code page of the word files and file names elsewhere.
#include <gtest/gtest.h>

#include <string>

#include "base/code_page_text.h"
#include "base/utf8.h"

namespace titles {
namespace {

constexpr unsigned kWestern = 1252;
constexpr unsigned kJapanese = 932;

TEST(Utf8SequenceLength, AcceptsOnlyWellFormedCharacters) {
    const struct {
        std::string bytes;
        std::size_t length;
    } cases[] = {
        {"\xC3\xA9", 2},              // é
        {"\xE3\x83\x95", 3},          // フ
        {"\xF0\x9F\x98\x80", 4},      // U+1F600
        {"\xF4\x8F\xBF\xBF", 4},      // U+10FFFF
        {"\xC0\xAF", 0},              // overlong "/"
        {"\xC1\xBF", 0},              // overlong
        {"\xE0\x9F\xBF", 0},          // overlong three-byte form
        {"\xED\xA0\x80", 0},          // a surrogate
        {"\xF0\x8F\xBF\xBF", 0},      // overlong four-byte form
        {"\xF4\x90\x80\x80", 0},      // above U+10FFFF
        {"\xF5\x80\x80\x80", 0},
        {"\xE3\x83", 0},              // cut short
        {"\xE3\x83\x41", 0},          // third byte not a continuation
        {"\x80", 0},                  // a lone continuation byte
        {"\x95\x5C", 0},              // Shift-JIS 表
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Utf8SequenceLength(c.bytes, 0), c.length) << ::testing::PrintToString(c.bytes);
    }
}

TEST(MixedTextToWide, DecodesUtf8AndCodePageBytesEachAsWhatTheyAre) {
    const struct {
        std::string bytes;
        unsigned codePage;
        std::wstring text;
    } cases[] = {
        {"", kWestern, L""},
        {"Titles", kWestern, L"Titles"},
        // The program's own messages are UTF-8.
        {"ファイル adjectives.txt は開けません.", kJapanese, L"ファイル adjectives.txt は開けません."},
        {"アプリケーション エラー", kWestern, L"アプリケーション エラー"},
        {"\xF0\x9F\x98\x80!", kWestern, L"\xD83D\xDE00!"},
        // A file name in the system's code page inside a UTF-8 message.
        {"ファイル caf\xE9.txt は開けません.", kWestern, L"ファイル café.txt は開けません."},
        {"ファイル \x95\x5C\x8E\xA6.txt は開けません.", kJapanese, L"ファイル 表示.txt は開けません."},
        // A trail byte equal to "\" stays with its lead byte.
        {"\x95\x5C\\x", kJapanese, L"表\\x"},
        // A run in the code page goes on over bytes that could also be read
        // as UTF-8, up to the next ASCII byte.
        {"\xE9\xC3\xA9 ok", kWestern, L"\x00E9\x00C3\x00A9 ok"},
        // Not UTF-8: overlong and surrogate forms, a sequence cut short.
        {"\xC0\xAF", kWestern, L"\x00C0\x00AF"},
        {"x\xE3\x83", kWestern, L"x\x00E3\x0192"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MixedTextToWide(c.bytes, c.codePage), c.text) << ::testing::PrintToString(c.bytes);
    }
}

}  // namespace
}  // namespace titles
