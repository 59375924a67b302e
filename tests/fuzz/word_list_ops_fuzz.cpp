// Fuzzes sequences of operations on two word lists (append, clear, assign,
// move, self-move) against a plain vector of strings. A list
// that was moved from must stay usable.
#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "fuzz_check.h"
#include "phrase/errors.h"
#include "phrase/word_list.h"

using titles::TListIndexError;
using titles::TWordList;
using titles::fuzz::ReferenceLines;

namespace {

using TModel = std::vector<std::string>;

TModel ModelOfText(std::string_view text) {
    TModel model;
    for (const auto& line : ReferenceLines(text)) model.emplace_back(text.substr(line.offset, line.length));
    return model;
}

// What a list holds, read through its public interface.
TModel Contents(const TWordList& list) {
    FUZZ_CHECK(list.WordCount() >= 0, "negative count %d", list.WordCount());
    TModel model;
    for (std::int32_t i = 0; i < list.WordCount(); ++i) model.emplace_back(list.WordAt(i));
    return model;
}

void Check(const TWordList& list, const TModel& model, int which, int step) {
    const TModel actual = Contents(list);
    FUZZ_CHECK(actual == model, "step %d: list %d holds %zu entries, expected %zu", step, which, actual.size(),
               model.size());
    bool raised = false;
    try {
        (void)list.WordAt(list.WordCount());
    } catch (const TListIndexError&) {
        raised = true;
    }
    FUZZ_CHECK(raised, "step %d: list %d: WordAt(count) did not raise", step, which);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    std::array<TWordList, 2> lists;
    std::array<TModel, 2> models;
    for (int step = 0; step < 64 && in.remaining_bytes() > 0; ++step) {
        const int i = in.ConsumeBool() ? 1 : 0;
        const int j = 1 - i;
        TWordList& a = lists[static_cast<std::size_t>(i)];
        TWordList& b = lists[static_cast<std::size_t>(j)];
        TModel& ma = models[static_cast<std::size_t>(i)];
        TModel& mb = models[static_cast<std::size_t>(j)];
        switch (in.ConsumeIntegralInRange<int>(0, 8)) {
        case 0: {
            const std::string word = in.ConsumeRandomLengthString(64);
            const std::int32_t index = a.AppendWord(word);
            FUZZ_CHECK(index == static_cast<std::int32_t>(ma.size()), "AppendWord returned %d", index);
            ma.push_back(word);
            break;
        }
        case 1:
            a.ClearWords();
            ma.clear();
            break;
        case 2: {
            const std::string text = in.ConsumeRandomLengthString(256);
            a.AssignText(text);
            ma = ModelOfText(text);
            break;
        }
        case 4:
            b = std::move(a);
            mb = ma;
            ma = Contents(a);  // valid but unspecified; checked by later steps
            break;
        case 5: {
            TWordList taken(std::move(a));
            Check(taken, ma, i, step);
            ma = Contents(a);
            b = std::move(taken);
            mb = Contents(b);
            break;
        }
        case 7:
            a = std::move(*&a);
            ma = Contents(a);
            break;
        default: {
            // Appending to a list keeps every earlier entry in place.
            const std::string word = in.ConsumeRandomLengthString(8);
            a.AppendWord(word);
            ma.push_back(word);
            break;
        }
        }
        Check(a, ma, i, step);
        Check(b, mb, j, step);
    }
    return 0;
}
