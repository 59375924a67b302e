// titles-cli --check: what the word lists hold that a person editing them
// would want to know, and whether every composition is sure to complete.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace titles::cli {

enum class TListRole { Adjectives, Nouns };

// How many entries have some property, and the first few of their lines.
struct TLineTally {
    std::int64_t count = 0;
    std::vector<std::int64_t> lines;  // 1-based, at most kListedLines
};

struct TDuplicateLine {
    std::int64_t line = 0;       // the repeat
    std::int64_t firstLine = 0;  // where the same bytes first stood
};

inline constexpr std::size_t kListedLines = 5;

struct TListReport {
    TListRole role = TListRole::Adjectives;
    std::string file;
    std::int64_t bytes = 0;    // bytes in the file, or a stream's up to its first zero byte
    bool readToEnd = true;     // false: a stream that a zero byte ended, not read further
    std::int64_t entries = 0;  // entries the program reads from them
    TLineTally empty;
    TLineTally padded;     // leading or trailing space or tab
    TLineTally ampersand;  // holding "&"
    TLineTally tab;        // holding a tab anywhere
    TLineTally gerunds;    // ending in "ing" (counted for both lists, reported for nouns)
    // Non-empty entries whose bytes equal an earlier entry's; empty entries
    // are reported as empty and not again as duplicates.
    std::int64_t duplicateCount = 0;
    std::vector<TDuplicateLine> duplicates;  // the first few
    std::optional<std::int64_t> zeroByteOffset;   // a zero byte there ends the text
    bool utf8ByteOrderMark = false;               // EF BB BF at the start of the first entry
    std::optional<std::int64_t> utf16ZeroOffset;  // zero and non-zero bytes among the first 4 bytes
    bool onlyZeroBytes = false;                   // a file of nothing but zero bytes
};

// Examines a word file's bytes as the program reads them. A stream's bytes
// count only up to its first zero byte, where its reading stops: what a
// read brought past it depends on the writer's timing.
TListReport CheckWordBytes(std::string_view bytes, TListRole role, std::string file, bool stream = false);

struct TCheckReport {
    TListReport adjectives;
    TListReport nouns;
    std::vector<std::string> problems;  // reasons a composition can fail
    std::vector<std::string> warnings;  // sound but worth a look
    int ExitCode() const noexcept;      // 0 sound, 1 a composition can fail, 3 sound with warnings
};

inline constexpr int kExitWarnings = 3;

TCheckReport CheckWordLists(TListReport adjectives, TListReport nouns);

}  // namespace titles::cli
