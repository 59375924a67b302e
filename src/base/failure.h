// Failures: every error Titles raises is a TFailure that carries the facts
// of what went wrong (its kind, the name concerned, a list index, the
// system's error code) and no words. Each program words them at its edge:
// the desktop program in its boxes (app/messages), titles-cli on standard
// error in the user's language (cli). The programs' own code never catches
// them; the guards do.
#pragma once

#include <charconv>
#include <cstdint>
#include <exception>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

namespace titles {

enum class TFailureKind {
    // Word lists and the composer; name is the word file.
    FileOpen,      // it cannot be opened
    FileRead,      // it was opened, but reading it failed
    NotAFile,      // the name is no regular file (or, for titles-cli, stream)
    FileTooLarge,  // it holds 2 GiB or more
    ListIndex,     // an index outside a list
    NoFreeEntry,   // a list ran out of entries not yet used in the title
    NoGerund,      // the nouns hold no entry ending in "ing"
    // The window system; name is the window class, font, display or plug-in.
    CannotCreateWindow,
    CannotCreateProgramWindow,
    CannotRegisterClass,
    CannotCreateFont,
    CannotCreateLabel,
    NoScreenContext,
    DisplayUnreachable,  // name: the X display or the Wayland socket
    NoDisplay,           // DISPLAY is not set
    NoDisplayOrWayland,  // neither DISPLAY nor WAYLAND_DISPLAY is set
    NoWaylandPlugin,     // only Wayland is set, and Qt's plug-in for it is missing
    NoPlatformPlugin,    // name: the window-system plug-in asked for
    DisplayNoAnswer,      // name: the display; it took the connection and said nothing in time
    DisplayBadAnswer,     // name: the display; what it answered is not its protocol
    DisplayLost,          // name: the display; its connection broke while the program ran
    UnsupportedPlatform,  // name: a window-system plug-in that cannot show the window
    NoPlatformNamed,      // name: QT_QPA_PLATFORM's value, which names no plug-in
};

struct TFailureFacts {
    TFailureKind kind = TFailureKind::FileOpen;
    std::string name;        // the file, display, font... concerned
    std::int32_t index = 0;  // the list index asked for
    int systemError = 0;     // the system's error code (errno, GetLastError), 0 when none
};

class TFailure : public std::exception {
public:
    explicit TFailure(TFailureFacts facts) : facts_(std::move(facts)) {}
    explicit TFailure(TFailureKind kind, std::string name = {}, int systemError = 0)
        : facts_{kind, std::move(name), 0, systemError} {}
    const TFailureFacts& Facts() const noexcept { return facts_; }
    // The failure's kind as the fatal box names it; what() says the same.
    virtual const char* KindName() const noexcept { return "TFailure"; }
    const char* what() const noexcept override { return KindName(); }

private:
    TFailureFacts facts_;
};

using TFormatArg = std::variant<std::string_view, std::int32_t>;

// Fills a message template: each %s takes the next text argument, each %d
// the next integer in signed decimal, "%%" is one "%". A placeholder without
// a matching argument is left as it stands.
inline std::string FormatText(std::string_view pattern, std::initializer_list<TFormatArg> args) {
    std::string out;
    out.reserve(pattern.size() + 32);
    auto next = args.begin();
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c != '%' || i + 1 == pattern.size()) {
            out += c;
            continue;
        }
        const char conversion = pattern[i + 1];
        if (conversion == '%') {
            out += '%';
            ++i;
            continue;
        }
        if ((conversion == 's' || conversion == 'd') && next != args.end()) {
            if (conversion == 's' && std::holds_alternative<std::string_view>(*next)) {
                out += std::get<std::string_view>(*next);
            } else if (conversion == 'd' && std::holds_alternative<std::int32_t>(*next)) {
                char digits[16];
                auto res = std::to_chars(digits, digits + sizeof digits, std::get<std::int32_t>(*next));
                out.append(digits, res.ptr);
            } else {
                out += c;
                continue;
            }
            ++next;
            ++i;
            continue;
        }
        out += c;
    }
    return out;
}

// The full-stop rule of the desktop program's error box, which titles-cli's
// Japanese messages follow too: a "." is appended unless the message is
// empty or its last character sorts at or below "." as unsigned bytes.
// Comparing the last byte is enough: the last byte of a UTF-8 sequence and
// the trail byte of a double-byte character are both above 0x2E, exactly as
// the whole character's lead byte is.
inline std::string WithFullStop(std::string_view message) {
    std::string text(message);
    if (!text.empty() && static_cast<unsigned char>(text.back()) > static_cast<unsigned char>('.')) {
        text += '.';
    }
    return text;
}

}  // namespace titles
