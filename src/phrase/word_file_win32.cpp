// Reading a word file on Windows.
#include <windows.h>

#include <cstdint>

#include "phrase/errors.h"
#include "phrase/word_file.h"

namespace titles {
namespace {

class THandleSource final : public TByteSource {
public:
    explicit THandleSource(HANDLE h) noexcept : h_(h) {}
    std::int64_t ReadSome(char* dst, std::size_t max) override {
        DWORD got = 0;
        const DWORD wanted = max > 0x40000000 ? 0x40000000 : static_cast<DWORD>(max);
        if (::ReadFile(h_, dst, wanted, &got, nullptr)) return got;
        const DWORD error = ::GetLastError();
        if (error == ERROR_BROKEN_PIPE || error == ERROR_HANDLE_EOF) return 0;  // the writer is done
        return -static_cast<std::int64_t>(error);
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

HANDLE HandleOf(std::intptr_t handle) noexcept { return reinterpret_cast<HANDLE>(handle); }

}  // namespace

TWordSource::TWordSource(const std::string& name, TSourceKind kind) : name_(name) { Open(kind); }

void TWordSource::Open(TSourceKind kind) {
    HANDLE file = INVALID_HANDLE_VALUE;
    if (kind == TSourceKind::StandardInput) {
        file = ::GetStdHandle(STD_INPUT_HANDLE);
        owned_ = false;
    } else {
        // Others may read the file while it is open, but not write it.
        file = ::CreateFileA(name_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    handle_ = reinterpret_cast<std::intptr_t>(file);
    if (file == INVALID_HANDLE_VALUE || file == nullptr) {
        const DWORD error = ::GetLastError();
        return Fail(TFailureKind::FileOpen, static_cast<int>(error),
                    error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND);
    }
    const DWORD type = ::GetFileType(file);
    stream_ = kind != TSourceKind::RegularFile && (type == FILE_TYPE_PIPE || type == FILE_TYPE_CHAR);
    standardInput_ = stream_ && kind == TSourceKind::StandardInput;
    if (type != FILE_TYPE_DISK && !stream_) Fail(TFailureKind::NotAFile, 0);
}

TWordSource::~TWordSource() {
    const HANDLE file = HandleOf(handle_);
    if (owned_ && file != INVALID_HANDLE_VALUE && file != nullptr) ::CloseHandle(file);
}

TFileBytes TWordSource::Read() {
    if (failure_) throw TFileOpenError(*failure_, name_, error_);
    const HANDLE file = HandleOf(handle_);
    THandleSource source(file);
    if (stream_) return ReadWholeFile(source, 0, name_, true);
    const std::int64_t position = Seek(file, FILE_CURRENT);
    const std::int64_t end = Seek(file, FILE_END);
    if (position < 0 || end < 0) {
        throw TFileOpenError(TFailureKind::FileRead, name_, static_cast<int>(::GetLastError()));
    }
    LONG high = static_cast<LONG>(position >> 32);
    ::SetFilePointer(file, static_cast<LONG>(position & 0xFFFFFFFF), &high, FILE_BEGIN);
    return ReadWholeFile(source, end > position ? static_cast<std::uint64_t>(end - position) : 0, name_);
}

}  // namespace titles
