// Composes COUNT phrases from two lists of LENGTH realistic entries each, for
// counting the instructions of ComposePhrase under callgrind (bench/run does
// this when valgrind is installed). Prints the total length of the phrases.
// Usage: titles_bench_compose_count LENGTH COUNT
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "phrase/composer.h"
#include "phrase/random_source.h"
#include "phrase/word_list.h"
#include "words.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s LENGTH COUNT\n", argv[0]);
        return 2;
    }
    const std::uint64_t length = std::strtoull(argv[1], nullptr, 10);
    const std::uint64_t count = std::strtoull(argv[2], nullptr, 10);
    titles::TWordList adjectives;
    titles::TWordList nouns;
    for (std::uint64_t i = 0; i < length; ++i) {
        adjectives.AppendWord(titles::bench::MakeWord(i, false));
        nouns.AppendWord(titles::bench::MakeWord(i, true));
    }
    titles::RandomSeed = 1;
    std::size_t bytes = 0;
    for (std::uint64_t i = 0; i < count; ++i) bytes += titles::ComposePhrase(adjectives, nouns).size();
    std::printf("%zu\n", bytes);
    return 0;
}
