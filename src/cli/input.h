// Where titles-cli's word lists come from: regular files (read as the
// desktop program reads them), standard input, pipes and FIFOs (read to
// their end), and the installed lists when none is named.
#pragma once

#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/messages.h"
#include "phrase/word_file.h"
#include "phrase/word_list.h"

namespace titles::cli {

// A named list examined before it is read.
struct TListInput {
    bool stream = false;  // standard input, a pipe or a FIFO: text holds it all
    std::string text;
};

// Platform side. For a regular file that can be opened returns {false}; for
// "-", a pipe or a FIFO (waiting for a FIFO's writer, as cat does) reads it
// to its end, up to the word-file limit. Raises TCliFailure, with the reason
// where the system gives one, for anything else: a file that cannot be
// opened, a directory, a socket or a device.
TListInput ExamineList(const std::string& name, TLanguage language);

// Word files, streamed or not, stop short of 2 GiB.
inline constexpr std::size_t kMaxListBytes = std::numeric_limits<std::int32_t>::max();

// Reads a stream to its end through readSome, which fills up to size bytes
// of buffer and returns how many (0 at the end) or raises; raises TCliFailure
// once the stream passes the word-file limit.
std::string ReadToEnd(const std::function<std::size_t(char* buffer, std::size_t size)>& readSome,
                      const std::string& name, TLanguage language);

// Platform side: whether anything stands at the path, a broken link too.
bool PathExists(const std::string& path);

// The failure for a list that cannot be opened; the reason may be empty.
TCliFailure CannotOpen(const std::string& name, const std::string& reason, TLanguage language);

// Points each list not named by an option and missing from the working
// directory at the first installed folder that holds it; raises TCliFailure
// naming the places searched when there is none.
void FindInstalledLists(TCliOptions& options, TLanguage language);

// Fills the list from the named source.
void LoadList(TWordList& list, const std::string& name, TLanguage language);

// The bytes of the named source, for the checker.
TFileBytes ReadListBytes(const std::string& name, TLanguage language);

}  // namespace titles::cli
