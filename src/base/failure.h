// Failures: every error the program raises is a TFailure carrying its
// complete message as the desktop program shows it, and the facts it was
// made from, so that titles-cli can word it its own way. The program never
// catches them itself; the window framework's guards (or the command-line
// tool's RunCli) do.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

namespace titles {

// What a failure is about.
enum class TFailureKind {
    Other,        // only the message tells
    FileOpen,     // a word file cannot be opened
    FileRead,     // a word file was opened but reading it failed
    NotAFile,     // the name is no regular file (or, for titles-cli, stream)
    FileTooLarge, // a word file holds 2 GiB or more
    ListIndex,    // an index outside a list
    NoFreeEntry,  // a list ran out of entries not yet used in a title
    NoGerund,     // the nouns hold too few entries ending in "ing"
};

struct TFailureFacts {
    TFailureKind kind = TFailureKind::Other;
    std::string fileName;    // the word file concerned
    std::int32_t index = 0;  // the list index asked for
    int systemError = 0;     // the system's error code (errno, GetLastError), 0 when none
};

class TFailure : public std::runtime_error {
public:
    explicit TFailure(const std::string& message, TFailureFacts facts = {})
        : std::runtime_error(message), facts_(std::move(facts)) {}
    const TFailureFacts& Facts() const noexcept { return facts_; }
    // Short name of the kind of failure, shown by the fatal box.
    virtual const char* KindName() const noexcept { return "TFailure"; }

private:
    TFailureFacts facts_;
};

using TFormatArg = std::variant<std::string_view, std::int32_t>;

// Fills a message template: each %s takes the next text argument, each %d
// the next integer in signed decimal, "%%" is one "%". A placeholder without
// a matching argument is left as it stands.
std::string FormatText(std::string_view pattern, std::initializer_list<TFormatArg> args);

// The error box's full-stop rule: a "." is appended unless the message is
// empty or its last character sorts at or below "." as unsigned bytes.
// Comparing the last byte is enough: the last byte of a UTF-8 sequence and
// the trail byte of a double-byte character are both above 0x2E, exactly as
// the whole character's lead byte is.
std::string WithFullStop(std::string_view message);

}  // namespace titles
