// Reading a word file on Windows.
#include <windows.h>

#include <cstdint>

#include "phrase/word_file.h"

namespace titles {
namespace {

class TFileHandle final : public TByteSource {
public:
    explicit TFileHandle(HANDLE h) noexcept : h_(h) {}
    TFileHandle(const TFileHandle&) = delete;
    TFileHandle& operator=(const TFileHandle&) = delete;
    ~TFileHandle() {
        if (h_ != INVALID_HANDLE_VALUE) ::CloseHandle(h_);
    }
    HANDLE Get() const noexcept { return h_; }

    std::int64_t ReadSome(char* dst, std::size_t max) override {
        DWORD got = 0;
        const DWORD wanted = max > 0x40000000 ? 0x40000000 : static_cast<DWORD>(max);
        if (!::ReadFile(h_, dst, wanted, &got, nullptr)) return -1;
        return got;
    }

private:
    HANDLE h_;
};

std::int64_t Seek(HANDLE h, DWORD method) {
    LONG high = 0;
    const DWORD low = ::SetFilePointer(h, 0, &high, method);
    if (low == INVALID_SET_FILE_POINTER && ::GetLastError() != NO_ERROR) return -1;
    return (static_cast<std::int64_t>(high) << 32) | low;
}

}  // namespace

void PrepareLargeBuffer(void*, std::size_t) noexcept {}
void AdviseLargePages(void*, std::size_t) noexcept {}

TFileBytes ReadWordFileBytes(const std::string& fileName) {
    // Others may read the file while it is open, but not write it.
    TFileHandle file(::CreateFileA(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.Get() == INVALID_HANDLE_VALUE) ThrowFileOpenError(fileName);
    if (::GetFileType(file.Get()) != FILE_TYPE_DISK) ThrowFileOpenError(fileName);

    const std::int64_t position = Seek(file.Get(), FILE_CURRENT);
    const std::int64_t end = Seek(file.Get(), FILE_END);
    if (position < 0 || end < 0) ThrowFileOpenError(fileName);
    LONG high = static_cast<LONG>(position >> 32);
    ::SetFilePointer(file.Get(), static_cast<LONG>(position & 0xFFFFFFFF), &high, FILE_BEGIN);

    const std::int64_t count = end - position;
    return ReadWholeFile(file, count > 0 ? static_cast<std::uint64_t>(count) : 0, fileName);
}

}  // namespace titles
