// The desktop program's words: the Japanese texts of its boxes, made from
// the facts a failure carries, exactly as the program shows them (UTF-8,
// the system code page on Linux).
#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

#include "base/failure.h"

namespace titles::app {

inline constexpr std::string_view kFatalCaption = "アプリケーション エラー";
inline constexpr std::size_t kMaxFatalTextBytes = 1024;

// The message of a failure: its template filled with its facts.
std::string FailureMessage(const TFailureFacts& facts);

// The kind and the message of a caught failure of any type.
struct TFailureText {
    std::string kind;
    std::string message;
};
TFailureText DescribeFailure(const std::exception_ptr& failure) noexcept;

// The fatal box's text: which failure, in which module, at which address,
// then the message with "." appended unless it is empty or already ends in
// ".". At most kMaxFatalTextBytes.
std::string FatalBoxText(std::string_view kindName, std::string_view moduleName, std::uintptr_t address,
                         std::string_view message);

}  // namespace titles::app
