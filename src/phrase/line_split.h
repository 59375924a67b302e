// Splitting a text into word-list entries, in place: the lines move down
// over the line ends that followed them, so the text's buffer becomes the
// list's storage.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "phrase/offset_array.h"

namespace titles {

struct TSplitLines {
    std::size_t bytes = 0;                // bytes of all entries, back to back
    TOffsetArray ends;                    // end offset of each entry
    std::vector<std::uint64_t> gerunds;   // one bit per entry: ends in "ing"
    std::int32_t gerundCount = 0;
};

// Splits text into its lines: CR LF, LF and CR each end one, and the first
// zero byte ends the text. The text is zero-terminated at text[size] and
// readable for kTextPadding bytes beyond.
TSplitLines SplitLinesInPlace(char* text, std::size_t size);

}  // namespace titles
