#include "base/file_name.h"

namespace titles {

std::string_view FileNameOf(std::string_view path, std::string_view separators, TLeadByteTest isLeadByte) noexcept {
    std::size_t nameStart = 0;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (separators.find(path[i]) != std::string_view::npos) {
            nameStart = i + 1;
        } else if (isLeadByte != nullptr && isLeadByte(static_cast<unsigned char>(path[i])) && i + 1 < path.size()) {
            ++i;
        }
    }
    return path.substr(nameStart);
}

}  // namespace titles
