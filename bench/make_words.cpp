// Writes a word file of realistic entries, one per LF-ended line.
// Usage: titles_bench_make_words FILE COUNT mb|lines [KIND]
//   COUNT mb     about COUNT million bytes (whole lines only)
//   COUNT lines  exactly COUNT lines
//   KIND         adjectives (default): lines of about ten bytes, repeating;
//                nouns: the same, one entry in ten ending in "ing";
//                distinct: every entry different, about twelve bytes;
//                one-gerund: distinct, and only the middle one ends in "ing"
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "words.h"

int main(int argc, char** argv) {
    if (argc < 4 || argc > 5 || (std::strcmp(argv[3], "mb") != 0 && std::strcmp(argv[3], "lines") != 0)) {
        std::fprintf(stderr, "usage: %s FILE COUNT mb|lines [nouns|distinct|one-gerund]\n", argv[0]);
        return 2;
    }
    const std::string kind = argc == 5 ? argv[4] : "adjectives";
    const std::uint64_t count = std::strtoull(argv[2], nullptr, 10);
    const bool byBytes = std::strcmp(argv[3], "mb") == 0;
    const bool nouns = kind == "nouns";
    const bool distinct = kind == "distinct" || kind == "one-gerund";
    const std::uint64_t wantedBytes = byBytes ? count * 1000u * 1000u : UINT64_MAX;
    const std::uint64_t wantedLines = byBytes ? UINT64_MAX : count;

    std::FILE* out = std::fopen(argv[1], "wb");
    if (out == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    std::string block;
    block.reserve(1 << 20);
    std::uint64_t written = 0;
    bool ok = true;
    for (std::uint64_t i = 0; i < wantedLines && ok; ++i) {
        std::string line = titles::bench::MakeWord(i, nouns, distinct ? 0 : 10000);
        if (kind == "one-gerund" && i == count / 2) line += "ing";
        line += '\n';
        if (written + line.size() > wantedBytes) break;
        block += line;
        written += line.size();
        if (block.size() >= (1u << 20) - 64) {
            ok = std::fwrite(block.data(), 1, block.size(), out) == block.size();
            block.clear();
        }
    }
    ok = ok && std::fwrite(block.data(), 1, block.size(), out) == block.size();
    if (std::fclose(out) != 0 || !ok) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
