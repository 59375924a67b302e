#include "framework/program_title.h"

#include "base/file_name.h"

namespace titles::framework {

void LowerAsciiFrom(std::string& text, std::size_t from) {
    for (std::size_t i = from; i < text.size(); ++i) {
        if (text[i] >= 'A' && text[i] <= 'Z') text[i] = static_cast<char>(text[i] - 'A' + 'a');
    }
}

std::string DeriveProgramTitle(std::string_view path, const TTitleRules& rules) {
    // Both walks go by whole characters, so that a trail byte is never taken
    // for a separator or a full stop.
    std::string_view name = FileNameOf(path, std::string_view(&rules.separator, 1), rules.isLeadByte);
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '.') {
            name = name.substr(0, i);
            break;
        }
        if (rules.isLeadByte && rules.isLeadByte(static_cast<unsigned char>(name[i])) && i + 1 < name.size()) ++i;
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
