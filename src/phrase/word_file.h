// The platform side of loading a word file: open a regular file by name,
// read all of its bytes into one buffer that the word list then takes over.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace titles {

// Text read for a word list: size bytes, then a zero byte and
// kTextPadding more readable bytes, so the line scanner may read whole blocks.
struct TFileBytes {
    std::unique_ptr<char[]> data;
    std::size_t size = 0;      // bytes delivered
    std::size_t capacity = 0;  // bytes allocated
};

// How far the fast paths may read past the bytes in use, in one place: every
// text buffer and every word list's storage holds at least this many
// readable bytes after its last byte in use. The line scanner reads whole
// 64-byte blocks and moves a short entry as one 32-byte copy; a phrase takes
// a short entry as one 16-byte copy.
inline constexpr std::size_t kTextPadding = 64;

// A word file holds fewer than 2 GiB: its byte count is a signed 32-bit number.
inline constexpr std::uint64_t kMaxWordFileBytes = 0x7FFFFFFF;

// Opens, sizes and reads a regular file to its end. Raises TFileOpenError
// when the name is not a regular file, cannot be opened or read, or holds
// more than kMaxWordFileBytes bytes.
TFileBytes ReadWordFileBytes(const std::string& fileName);

// Allocates size + 1 + kTextPadding bytes, uninitialised but for the
// terminating zero and the padding.
TFileBytes AllocateTextBuffer(std::size_t size);

// An open file as the platform reader sees it: ReadSome delivers up to max
// bytes, 0 at the end of the file, -1 when the read fails.
class TByteSource {
public:
    virtual std::int64_t ReadSome(char* dst, std::size_t max) = 0;

protected:
    ~TByteSource() = default;
};

// Reads source to its end into a text buffer sized for sizeHint bytes, the
// size the file claimed; the file may deliver fewer or more (files whose
// content is made on reading claim 0). Raises TFileOpenError naming the
// file when a read fails or the file turns out larger than
// kMaxWordFileBytes. Calls the sized hook before the first read.
TFileBytes ReadWholeFile(TByteSource& source, std::uint64_t sizeHint, const std::string& fileName);

// Raises the file open error naming the file exactly as given.
[[noreturn]] void ThrowFileOpenError(const std::string& fileName);

// Asks the system to back a large buffer that is about to be written in
// full with large pages, and to provide them now rather than one page
// fault at a time. Only a hint: without it the buffer works the same.
void PrepareLargeBuffer(void* buffer, std::size_t size) noexcept;
// The same without providing the pages now, for a buffer that may be used
// only in part.
void AdviseLargePages(void* buffer, std::size_t size) noexcept;

// A seam for tests: when set, called after a word file has been sized and
// before it is read, with the file's name.
using TWordFileSizedHook = void (*)(const std::string& fileName);
void SetWordFileSizedHook(TWordFileSizedHook hook) noexcept;
TWordFileSizedHook WordFileSizedHook() noexcept;

}  // namespace titles
