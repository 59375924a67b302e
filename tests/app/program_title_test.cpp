#include <gtest/gtest.h>

#include "app/messages.h"
#include "app/UMain.h"

namespace titles::app {

using framework::TTitleRules;
namespace {

bool IsShiftJisLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

TEST(ProgramTitle, DerivedFromTheProgramFileName) {
    const TTitleRules windows{'\\', nullptr, nullptr};
    const TTitleRules posix{'/', nullptr, nullptr};
    const TTitleRules japanese{'\\', &IsShiftJisLeadByte, nullptr};
    struct Case {
        const char* path;
        const TTitleRules* rules;
        const char* title;
    };
    const Case cases[] = {
        {"C:\\Program Files\\TITLES.EXE", &windows, "Titles"},
        {"C:\\Tools\\MY.TOOL.EXE", &windows, "My"},
        {"C:\\ABC", &windows, "Abc"},
        {"C:\\apps\\my.tool.exe", &windows, "my"},
        {"C:\\v1.2\\TITLES.EXE", &windows, "Titles"},       // a full stop in a directory plays no part
        {"C:\\v1.2\\TITLES", &windows, "Titles"},
        {"TITLES.EXE", &windows, "Titles"},
        {"C:\\dir\\.HIDDEN", &windows, ""},
        {"C:\\dir\\", &windows, ""},
        {"/usr/bin/titles", &posix, "titles"},
        {"/opt/v2.0/Titles", &posix, "Titles"},
        {"/opt/TITLES.bin", &posix, "Titles"},
        {"/opt/a\\B.C/XY", &posix, "Xy"},                  // a backslash is an ordinary byte here
        {"/opt/\xC3\x89TOILE", &posix, "\xC3\x89toile"},  // lower-casing starts at the second byte
        // Shift-JIS: the trail byte 0x5C of 0x95 0x5C is no backslash.
        {"C:\\dir\\\x95\x5c" "ABC.EXE", &japanese, "\x95\x5c" "abc"},
        {"C:\\dir\\\x95\x5c" "ABC.EXE", &windows, "Abc"},
        {"C:\\\x95\x5c\\X.EXE", &japanese, "X"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DeriveProgramTitle(c.path, *c.rules), c.title) << c.path;
    }
}

TEST(ProgramTitle, UsesTheCodePagesLowerCasing) {
    TTitleRules rules{'\\', nullptr, [](std::string& text, std::size_t from) {
                          for (std::size_t i = from; i < text.size(); ++i) text[i] = '*';
                      }};
    EXPECT_EQ(DeriveProgramTitle("C:\\ABC.EXE", rules), "A**");
}

TEST(ProgramTitle, IsAtMost255Bytes) {
    const std::string longName(400, 'A');
    EXPECT_EQ(DeriveProgramTitle("/x/" + longName, {}).size(), 255u);
}

TEST(BoxText, FatalTextNamesKindModuleAddressAndMessage) {
    const std::string text = FatalBoxText("TFileOpenError", "titles", 0x1234, "bad resource");
    const std::string address = std::string(2 * sizeof(std::uintptr_t) - 4, '0') + "1234";
    EXPECT_EQ(text, "TFileOpenErrorがモジュール titles の " + address + " で発生しました。\nbad resource.");
    EXPECT_EQ(FatalBoxText("E", "m", 0, "done."), "Eがモジュール m の " + std::string(2 * sizeof(std::uintptr_t), '0') +
                                                      " で発生しました。\ndone.");
    // Unlike the error box, only a last "." stops the full stop.
    EXPECT_EQ(FatalBoxText("E", "m", 0, "(5)").substr(FatalBoxText("E", "m", 0, "(5)").size() - 4), "(5).");
    EXPECT_EQ(FatalBoxText("E", "m", 0, "").back(), '\n');
    EXPECT_EQ(FatalBoxText("E", "m", 0, std::string(5000, 'x')).size(), kMaxFatalTextBytes);
    EXPECT_LE(kFatalCaption.size(), 63u);
}

}  // namespace
}  // namespace titles::app
