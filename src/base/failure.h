// Failures: every error the program raises is a TFailure carrying its
// complete, formatted message. The program never catches them itself; the
// window framework's guards (or the command-line tool's main) do.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>

namespace titles {

class TFailure : public std::runtime_error {
public:
    explicit TFailure(const std::string& message) : std::runtime_error(message) {}
    // Short name of the kind of failure, shown by the fatal box.
    virtual const char* KindName() const noexcept { return "TFailure"; }
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
