// The phrase composer: builds one random title from an adjective list and a
// noun list by the program's fixed grammar, drawing from the random stream.
#pragma once

#include <string>
#include <string_view>

#include "phrase/grammar.h"
#include "phrase/word_list.h"

namespace titles {

inline constexpr std::string_view kDefaultAdjectiveFile = "adjectives.txt";
inline constexpr std::string_view kDefaultNounFile = "nouns.txt";

// Composes one phrase, drawing from RandomSeed. Raises TListIndexError for
// an empty list and TListTooSmallError when a list runs out of usable
// entries; lists of at least 2 adjectives and 5 nouns, one of them ending
// in "ing", always compose.
std::string ComposePhrase(const TWordList& adjectives, const TWordList& nouns);

// The same, written into phrase in place of what it held, so that a caller
// composing many phrases reuses one buffer. After a failure phrase holds
// the part composed so far.
void ComposePhrase(const TWordList& adjectives, const TWordList& nouns, std::string& phrase);

}  // namespace titles
