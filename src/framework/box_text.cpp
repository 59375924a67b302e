#include "framework/box_text.h"

#include <cstdio>

#include "base/texts.h"
#include "base/failure.h"

namespace titles::framework {

std::string FailureBoxText(std::string_view message) { return WithFullStop(message); }

std::string FatalBoxText(std::string_view kindName, std::string_view moduleName, std::uintptr_t address,
                         std::string_view message) {
    char hex[2 * sizeof(std::uintptr_t) + 1];
    std::snprintf(hex, sizeof hex, "%0*llX", static_cast<int>(2 * sizeof(std::uintptr_t)),
                  static_cast<unsigned long long>(address));
    std::string text = FormatText(texts::kFatalWhere,
                                  {kindName, moduleName, std::string_view(hex)});
    text += "\n";
    text += message;
    if (!message.empty() && message.back() != '.') text += '.';
    if (text.size() > kMaxFatalTextBytes) text.resize(kMaxFatalTextBytes);
    return text;
}

}  // namespace titles::framework
