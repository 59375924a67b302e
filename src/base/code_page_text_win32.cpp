#include "base/code_page_text.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "base/utf8.h"

namespace titles {
namespace {

unsigned char ByteAt(std::string_view text, std::size_t pos) noexcept {
    return static_cast<unsigned char>(text[pos]);
}

void AppendCodePoint(std::wstring& out, char32_t code) {
    if (code >= 0x10000) {
        code -= 0x10000;
        out += static_cast<wchar_t>(0xD800 + (code >> 10));
        out += static_cast<wchar_t>(0xDC00 + (code & 0x3FF));
    } else {
        out += static_cast<wchar_t>(code);
    }
}

char32_t DecodeUtf8(std::string_view text, std::size_t pos, std::size_t length) noexcept {
    static constexpr unsigned char kLeadMask[] = {0, 0, 0x1F, 0x0F, 0x07};
    char32_t code = ByteAt(text, pos) & kLeadMask[length];
    for (std::size_t i = 1; i < length; ++i) code = (code << 6) | (ByteAt(text, pos + i) & 0x3Fu);
    return code;
}

void AppendCodePage(std::wstring& out, std::string_view bytes, unsigned codePage) {
    const int inLength = static_cast<int>(bytes.size());
    const int outLength = MultiByteToWideChar(codePage, 0, bytes.data(), inLength, nullptr, 0);
    if (outLength <= 0) {
        // A code page the system does not know: keep the bytes' count visible.
        out.append(bytes.size(), L'?');
        return;
    }
    const std::size_t start = out.size();
    out.resize(start + static_cast<std::size_t>(outLength));
    MultiByteToWideChar(codePage, 0, bytes.data(), inLength, out.data() + start, outLength);
}

}  // namespace

std::wstring CodePageToWide(std::string_view bytes, unsigned codePage) {
    std::wstring out;
    AppendCodePage(out, bytes, codePage);
    return out;
}

std::wstring MixedTextToWide(std::string_view text, unsigned codePage) {
    std::wstring out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        const unsigned char byte = ByteAt(text, pos);
        if (byte < 0x80) {
            out += static_cast<wchar_t>(byte);
            ++pos;
            continue;
        }
        if (const std::size_t length = Utf8SequenceLength(text, pos); length != 0) {
            AppendCodePoint(out, DecodeUtf8(text, pos, length));
            pos += length;
            continue;
        }
        const std::size_t start = pos;
        while (pos < text.size() && ByteAt(text, pos) >= 0x80) {
            const bool lead = IsDBCSLeadByteEx(codePage, ByteAt(text, pos)) != FALSE;
            pos += lead && pos + 1 < text.size() ? 2 : 1;
        }
        AppendCodePage(out, text.substr(start, pos - start), codePage);
    }
    return out;
}

}  // namespace titles
