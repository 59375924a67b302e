// Cost of one ComposePhrase as the word lists grow. A composition uses at
// most seven entries, so its cost must not depend on the lists' length.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <map>
#include <string>

#include "phrase/composer.h"
#include "phrase/random_source.h"
#include "phrase/word_list.h"
#include "words.h"

namespace {

using titles::TWordList;

struct TListPair {
    TWordList adjectives;
    TWordList nouns;
};

// Lists are built once per length and kept for every run of that length.
const TListPair& ListsOfLength(std::int64_t count) {
    static std::map<std::int64_t, TListPair> built;
    auto it = built.find(count);
    if (it == built.end()) {
        TListPair pair;
        for (std::int64_t i = 0; i < count; ++i) {
            const auto index = static_cast<std::uint64_t>(i);
            pair.adjectives.AppendWord(titles::bench::MakeWord(index, false));
            pair.nouns.AppendWord(titles::bench::MakeWord(index, true));
        }
        it = built.emplace(count, std::move(pair)).first;
    }
    return it->second;
}

void BM_ComposePhrase(benchmark::State& state) {
    const TListPair& lists = ListsOfLength(state.range(0));
    titles::RandomSeed = 1;
    // The program composes from lists that no longer change; let the first
    // compositions see them once before timing starts.
    for (int i = 0; i < 64; ++i) {
        benchmark::DoNotOptimize(titles::ComposePhrase(lists.adjectives, lists.nouns));
    }
    std::int64_t bytes = 0;
    for (auto _ : state) {
        std::string phrase = titles::ComposePhrase(lists.adjectives, lists.nouns);
        bytes += static_cast<std::int64_t>(phrase.size());
        benchmark::DoNotOptimize(phrase);
    }
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_ComposePhrase)->Arg(1000)->Arg(1000000);

}  // namespace

BENCHMARK_MAIN();
