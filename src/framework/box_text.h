// Texts of the program's two message boxes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/texts.h"

namespace titles::framework {

inline constexpr std::string_view kFatalCaption = texts::kFatalCaption;
inline constexpr std::size_t kMaxFatalTextBytes = 1024;
inline constexpr std::size_t kMaxFatalCaptionBytes = 63;

// The error box's text: the message, with "." appended after any last
// character above ".".
std::string FailureBoxText(std::string_view message);

// The fatal box's text: which failure, in which module, at which address,
// then the message with "." appended unless it is empty or already ends in
// ".". At most 1024 bytes.
std::string FatalBoxText(std::string_view kindName, std::string_view moduleName, std::uintptr_t address,
                         std::string_view message);

}  // namespace titles::framework
