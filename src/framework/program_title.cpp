#include "framework/program_title.h"

namespace titles::framework {

void LowerAsciiFrom(std::string& text, std::size_t from) {
    for (std::size_t i = from; i < text.size(); ++i) {
        if (text[i] >= 'A' && text[i] <= 'Z') text[i] = static_cast<char>(text[i] - 'A' + 'a');
    }
}

std::string DeriveProgramTitle(std::string_view path, const TTitleRules& rules) {
    // Walk by whole characters so that a trail byte is never taken for a
    // separator or a full stop.
    auto step = [&](std::size_t i) {
        if (rules.isLeadByte && rules.isLeadByte(static_cast<unsigned char>(path[i])) && i + 1 < path.size()) {
            return std::size_t{2};
        }
        return std::size_t{1};
    };
    std::size_t nameStart = 0;
    for (std::size_t i = 0; i < path.size(); i += step(i)) {
        if (path[i] == rules.separator) nameStart = i + 1;
    }
    std::string_view name = path.substr(nameStart);
    for (std::size_t i = 0; i < name.size(); i += step(nameStart + i)) {
        if (name[i] == '.') {
            name = name.substr(0, i);
            break;
        }
    }
    std::string title(name.substr(0, kMaxTitleBytes));
    if (title.size() > 1) {
        if (rules.lowerFrom) {
            rules.lowerFrom(title, 1);
        } else {
            LowerAsciiFrom(title, 1);
        }
    }
    return title;
}

}  // namespace titles::framework
