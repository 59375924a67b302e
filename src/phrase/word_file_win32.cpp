// Reading a word file on Windows.
#include <windows.h>

#include <cstdint>
#include <limits>

#include "base/texts.h"
#include "phrase/errors.h"
#include "phrase/word_list.h"

namespace titles {
namespace {

class TFileHandle {
public:
    explicit TFileHandle(HANDLE h) noexcept : h_(h) {}
    TFileHandle(const TFileHandle&) = delete;
    TFileHandle& operator=(const TFileHandle&) = delete;
    ~TFileHandle() {
        if (h_ != INVALID_HANDLE_VALUE) ::CloseHandle(h_);
    }
    HANDLE Get() const noexcept { return h_; }

private:
    HANDLE h_;
};

[[noreturn]] void ThrowOpenError(const std::string& fileName) {
    throw TFileOpenError(FormatText(texts::kFileOpen, {std::string_view(fileName)}));
}

std::int64_t Seek(HANDLE h, DWORD method) {
    LONG high = 0;
    const DWORD low = ::SetFilePointer(h, 0, &high, method);
    if (low == INVALID_SET_FILE_POINTER && ::GetLastError() != NO_ERROR) return -1;
    return (static_cast<std::int64_t>(high) << 32) | low;
}

}  // namespace

TFileBytes ReadWordFileBytes(const std::string& fileName) {
    // Others may read the file while it is open, but not write it.
    TFileHandle file(::CreateFileA(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.Get() == INVALID_HANDLE_VALUE) ThrowOpenError(fileName);
    if (::GetFileType(file.Get()) != FILE_TYPE_DISK) ThrowOpenError(fileName);

    const std::int64_t position = Seek(file.Get(), FILE_CURRENT);
    const std::int64_t end = Seek(file.Get(), FILE_END);
    if (position < 0 || end < 0) ThrowOpenError(fileName);
    LONG high = static_cast<LONG>(position >> 32);
    ::SetFilePointer(file.Get(), static_cast<LONG>(position & 0xFFFFFFFF), &high, FILE_BEGIN);

    // The byte count is a signed 32-bit number; a file of 2 GiB or more
    // would wrap it, so it is refused rather than silently read as empty.
    const std::int64_t count = end - position;
    if (count > std::numeric_limits<std::int32_t>::max()) ThrowOpenError(fileName);

    const std::size_t wanted = count > 0 ? static_cast<std::size_t>(count) : 0;
    TFileBytes buf = AllocateTextBuffer(wanted);
    if (const auto hook = WordFileSizedHook()) hook(fileName);
    DWORD got = 0;
    if (wanted > 0 && !::ReadFile(file.Get(), buf.data.get(), static_cast<DWORD>(wanted), &got, nullptr)) {
        got = 0;  // a failed read delivers nothing
    }
    buf.data[got] = '\0';
    buf.size = got;
    return buf;
}

}  // namespace titles
