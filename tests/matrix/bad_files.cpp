#include "matrix/bad_files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <stdexcept>

namespace titles::test_support {
namespace {

namespace fs = std::filesystem;
using TCreate = std::function<void(const fs::path&, const std::string&)>;

void WriteBytes(const fs::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

TCreate Bytes(std::string bytes) {
    return [bytes = std::move(bytes)](const fs::path& dir, const std::string& name) { WriteBytes(dir / name, bytes); };
}

// A file of the given size that holds a short first line and then zeros,
// without taking the space on disk.
TCreate Sparse(std::uintmax_t size) {
    return [size](const fs::path& dir, const std::string& name) {
        WriteBytes(dir / name, "Dark\nSilent\n");
        fs::resize_file(dir / name, size);
    };
}

TCreate Symlink(std::string target) {
    return [target = std::move(target)](const fs::path& dir, const std::string& name) {
        fs::create_symlink(target, dir / name);
    };
}

std::string Utf16(std::string_view ascii, bool bigEndian) {
    std::string out;
    for (const char c : ascii) {
        out += bigEndian ? std::string{'\0', c} : std::string{c, '\0'};
    }
    return out;
}

// The one line of /proc/version, made by the kernel as it is read.
std::string ProcVersionLine() {
    std::ifstream in("/proc/version", std::ios::binary);
    std::string line;
    std::getline(in, line);
    return line;
}

// Bytes made only when the case's file is created.
TCreate Made(std::string (*make)()) {
    return [make](const fs::path& dir, const std::string& name) { WriteBytes(dir / name, make()); };
}

std::string LongLine() { return std::string(10 * 1024 * 1024, 'w'); }

// 200,000 lines, every other one empty, with mixed line ends.
std::vector<std::string> ManyEntries() {
    std::vector<std::string> entries;
    for (int i = 0; i < 200000; ++i) entries.push_back(i % 2 == 0 ? "w" + std::to_string(i) : "");
    return entries;
}

std::string ManyLines() {
    std::string text;
    int i = 0;
    for (const std::string& entry : ManyEntries()) {
        text += entry + (i % 3 == 0 ? "\r\n" : i % 3 == 1 ? "\n" : "\r");
        ++i;
    }
    return text;
}

std::vector<TBadFileCase> MakeCases() {
    std::vector<TBadFileCase> cases = {
        {"missing", "no such file", [](const fs::path&, const std::string&) {}, false, {}},
        {"empty", "a file of no bytes", Bytes(""), true, {}},
        {"directory", "a directory",
         [](const fs::path& dir, const std::string& name) { fs::create_directory(dir / name); }, false, {}},
        {"fifo", "a named pipe without a writer",
         [](const fs::path& dir, const std::string& name) {
             if (::mkfifo((dir / name).c_str(), 0644) != 0) throw std::runtime_error("mkfifo failed");
         },
         false, {}},
        {"dev_zero", "a link to /dev/zero, endless zero bytes", Symlink("/dev/zero"), false, {}},
        {"dev_null", "a link to /dev/null", Symlink("/dev/null"), false, {}},
        {"symlink_loop", "two links pointing at each other",
         [](const fs::path& dir, const std::string& name) {
             fs::create_symlink(name + ".other", dir / name);
             fs::create_symlink(name, dir / (name + ".other"));
         },
         false, {}},
        {"proc_file", "a link to /proc/version, which claims no size and cannot seek to its end",
         Symlink("/proc/version"), true, TCaseEntries([] { return std::vector<std::string>{ProcVersionLine()}; })},
        {"dangling_symlink", "a link to a file that does not exist", Symlink("no-such-target.txt"), false, {}},
        {"unreadable", "a file without read permission",
         [](const fs::path& dir, const std::string& name) {
             WriteBytes(dir / name, "Dark\nSilent\n");
             fs::permissions(dir / name, fs::perms::none);
         },
         false, {}, true},
        {"size_2_gib", "a sparse file of exactly 2 GiB", Sparse(std::uintmax_t{1} << 31), false, {}},
        {"size_4_gib_and_5", "a sparse file of 4 GiB and 5 bytes (5 when cut to 32 bits)",
         Sparse((std::uintmax_t{1} << 32) + 5), false, {}},
        {"one_line_of_10_mib", "one line of 10 MiB without a line end", Made(LongLine), true,
         TCaseEntries([] { return std::vector<std::string>{LongLine()}; })},
        {"many_lines", "200000 lines, every other one empty, mixed line ends", Made(ManyLines), true,
         TCaseEntries(ManyEntries)},
        {"utf16le_with_bom", "UTF-16 little endian with a byte-order mark",
         Bytes("\xff\xfe" + Utf16("Dark\r\nSilent\r\n", false)), true, {"\xff\xfe" "D"}},
        {"utf16le_without_bom", "UTF-16 little endian without a byte-order mark",
         Bytes(Utf16("Dark\r\nSilent\r\n", false)), true, {"D"}},
        {"utf16be_with_bom", "UTF-16 big endian with a byte-order mark",
         Bytes("\xfe\xff" + Utf16("Dark\r\nSilent\r\n", true)), true, {"\xfe\xff"}},
        {"utf16be_without_bom", "UTF-16 big endian without a byte-order mark",
         Bytes(Utf16("Dark\r\nSilent\r\n", true)), true, {}},
        {"utf8_bom", "UTF-8 with a byte-order mark, kept in the first entry",
         Bytes("\xef\xbb\xbf" "Dark\r\nSilent\r\n"), true, {"\xef\xbb\xbf" "Dark", "Silent"}},
        {"invalid_utf8", "bytes that are not UTF-8",
         Bytes("\xc3\x28\n\xff\xfe\xfd\n\x80" "abc\n\xed\xa0\x80\n\xf8\x88\x80\x80\x80"), true,
         {"\xc3\x28", "\xff\xfe\xfd", "\x80" "abc", "\xed\xa0\x80", "\xf8\x88\x80\x80\x80"}},
        {"nul_in_first_line", "a zero byte inside the first line ends the text",
         Bytes(std::string("Da\0rk\nSilent\nGolden\n", 20)), true, {"Da"}},
        {"nul_first", "a zero byte as the first byte", Bytes(std::string("\0Dark\nSilent\n", 13)), true, {}},
        {"blank_and_ampersand_lines", "lines of spaces, tabs and ampersands, untrimmed",
         Bytes("   \n&\n\t\t\n & \t\n&&\nA&B\n"), true, {"   ", "&", "\t\t", " & \t", "&&", "A&B"}},
        {"cr_only", "lines ended by CR alone", Bytes("Dark\rSilent\rGolden\r"), true, {"Dark", "Silent", "Golden"}},
        {"lf_cr", "lines ended by LF CR, two line ends each", Bytes("Dark\n\rSilent\n\r"), true,
         {"Dark", "", "Silent", ""}},
        {"only_line_ends", "nothing but line ends: CR LF, LF, CR, CR LF", Bytes("\r\n\n\r\r\n"), true,
         {"", "", "", ""}},
        {"control_bytes", "control bytes other than CR, LF and NUL stay in entries",
         Bytes("\x1a\x0c\x1b\x7f\n\x01\x02\x03\n"), true, {"\x1a\x0c\x1b\x7f", "\x01\x02\x03"}},
    };
    return cases;
}

}  // namespace

const std::vector<TBadFileCase>& BadFileCases() {
    static const std::vector<TBadFileCase> cases = MakeCases();
    return cases;
}

std::string ExpectedOpenErrorMessage(std::string_view fileName) {
    return "ファイル " + std::string(fileName) + " は開けません";
}

}  // namespace titles::test_support
