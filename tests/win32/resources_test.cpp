// The resources linked into the Windows programs: the icon MAINICON with all
// its sizes, and version information that matches the project version.
#include <gtest/gtest.h>
#include <windows.h>

#include <cctype>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace {

struct TProgram {
    const char* path;
    const char* fileName;
    const char* description;
};

const TProgram kPrograms[] = {
    {TITLES_CLI_EXE, "titles-cli.exe", "Titles command-line tool"},
#ifdef TITLES_GUI_EXE
    {TITLES_GUI_EXE, "Titles.exe", "Titles"},
#endif
};

class ProgramResources : public ::testing::TestWithParam<TProgram> {};

// The icon directory as stored in an RT_GROUP_ICON resource.
#pragma pack(push, 2)
struct TGroupIconEntry {
    BYTE width;
    BYTE height;
    BYTE colorCount;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytesInRes;
    WORD id;
};
struct TGroupIconHeader {
    WORD reserved;
    WORD type;
    WORD count;
};
#pragma pack(pop)

TEST_P(ProgramResources, CarryTheIconInEverySize) {
    HMODULE module = ::LoadLibraryExA(GetParam().path, nullptr,
                                      LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(module, nullptr) << GetParam().path << ": error " << ::GetLastError();
    HRSRC found = ::FindResourceA(module, "MAINICON", MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */);
    ASSERT_NE(found, nullptr) << "no MAINICON";
    const auto* bytes = static_cast<const BYTE*>(::LockResource(::LoadResource(module, found)));
    ASSERT_NE(bytes, nullptr);
    ASSERT_GE(::SizeofResource(module, found), sizeof(TGroupIconHeader));
    const auto* header = reinterpret_cast<const TGroupIconHeader*>(bytes);
    EXPECT_EQ(header->type, 1);
    ASSERT_EQ(::SizeofResource(module, found), sizeof(TGroupIconHeader) + header->count * sizeof(TGroupIconEntry));
    std::set<int> sizes;
    const auto* entries = reinterpret_cast<const TGroupIconEntry*>(bytes + sizeof(TGroupIconHeader));
    for (WORD i = 0; i < header->count; ++i) {
        sizes.insert(entries[i].width == 0 ? 256 : entries[i].width);
        EXPECT_EQ(entries[i].width, entries[i].height);
        EXPECT_EQ(entries[i].bitCount, 32);
        // Each image of the group is there as an RT_ICON resource.
        HRSRC image = ::FindResourceA(module, MAKEINTRESOURCEA(entries[i].id), MAKEINTRESOURCEA(3) /* RT_ICON */);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(::SizeofResource(module, image), entries[i].bytesInRes);
    }
    EXPECT_EQ(sizes, (std::set<int>{16, 32, 48, 256}));
    ::FreeLibrary(module);
}

std::string VersionString(std::vector<char>& info, const std::string& name) {
    char* value = nullptr;
    UINT length = 0;
    const std::string key = "\\StringFileInfo\\040904B0\\" + name;
    if (!::VerQueryValueA(info.data(), key.c_str(), reinterpret_cast<void**>(&value), &length) || length == 0) {
        return "(missing)";
    }
    return std::string(value);
}

TEST_P(ProgramResources, CarryTheProjectVersion) {
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeA(GetParam().path, &ignored);
    ASSERT_GT(size, 0u) << "no version information in " << GetParam().path;
    std::vector<char> info(size);
    ASSERT_TRUE(::GetFileVersionInfoA(GetParam().path, 0, size, info.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(HIWORD(fixed->dwFileVersionMS), TITLES_VERSION_MAJOR);
    EXPECT_EQ(LOWORD(fixed->dwFileVersionMS), TITLES_VERSION_MINOR);
    EXPECT_EQ(HIWORD(fixed->dwFileVersionLS), TITLES_VERSION_PATCH);
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

    EXPECT_EQ(VersionString(info, "FileVersion"), TITLES_VERSION_STRING);
    EXPECT_EQ(VersionString(info, "ProductVersion"), TITLES_VERSION_STRING);
    EXPECT_EQ(VersionString(info, "ProductName"), "Titles");
    EXPECT_EQ(VersionString(info, "OriginalFilename"), GetParam().fileName);
    EXPECT_EQ(VersionString(info, "FileDescription"), GetParam().description);
    EXPECT_EQ(VersionString(info, "CompanyName"), "The Titles developers");
    EXPECT_EQ(VersionString(info, "LegalCopyright"), "Copyright (c) 2026 The Titles developers");
}

// The manifest Windows reads when it starts the program: system-aware DPI
// scaling and the supported versions up to Windows 10 and 11.
TEST_P(ProgramResources, CarryTheApplicationManifest) {
    HMODULE module = ::LoadLibraryExA(GetParam().path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24) /* RT_MANIFEST */);
    ASSERT_NE(found, nullptr) << "no manifest";
    const std::string manifest(static_cast<const char*>(::LockResource(::LoadResource(module, found))),
                               ::SizeofResource(module, found));
    EXPECT_NE(manifest.find(">true</dpiAware>"), std::string::npos);
    EXPECT_NE(manifest.find("{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"), std::string::npos);
    ::FreeLibrary(module);
}

INSTANTIATE_TEST_SUITE_P(Programs, ProgramResources, ::testing::ValuesIn(kPrograms),
                         [](const ::testing::TestParamInfo<TProgram>& param) {
                             std::string name = param.param.fileName;
                             for (char& c : name) {
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             }
                             return name;
                         });

}  // namespace
