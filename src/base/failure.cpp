#include "base/failure.h"

#include <charconv>

namespace titles {

std::string FormatText(std::string_view pattern, std::initializer_list<TFormatArg> args) {
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

std::string WithFullStop(std::string_view message) {
    std::string text(message);
    if (!text.empty() && static_cast<unsigned char>(text.back()) > static_cast<unsigned char>('.')) {
        text += '.';
    }
    return text;
}

}  // namespace titles
