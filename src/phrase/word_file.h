// The platform side of loading a word file: open a regular file by name (or,
// for titles-cli, a stream), read all of its bytes into one buffer that the
// word list then takes over.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "base/failure.h"

namespace titles {

// Text read for a word list: size bytes, then a zero byte and
// kTextPadding more readable bytes, so the line scanner may read whole blocks.
struct TFileBytes {
    std::unique_ptr<char[]> data;
    std::size_t size = 0;      // bytes delivered
    std::size_t capacity = 0;  // bytes allocated
    // Read from a stream, which is read no further than the read that
    // brought its first zero byte: any bytes after that zero byte are only
    // those the read happened to bring.
    bool stream = false;
};

// How far the fast paths may read past the bytes in use, in one place: every
// text buffer and every word list's storage holds at least this many
// readable bytes after its last byte in use. The line scanner reads whole
// 64-byte blocks and moves a short entry as one 32-byte copy; a phrase takes
// a short entry as one 16-byte copy.
inline constexpr std::size_t kTextPadding = 64;

// A word file holds fewer than 2 GiB: its byte count is a signed 32-bit
// number. Every reader, of files and of streams, stops here.
inline constexpr std::uint64_t kMaxWordFileBytes = 0x7FFFFFFF;

// Allocates size + 1 + kTextPadding bytes, uninitialised but for the
// terminating zero and the padding. populate asks the system for the pages
// now, for a buffer about to be written in full at once.
TFileBytes AllocateTextBuffer(std::size_t size, bool populate = true);

// An open file as the reader sees it: ReadSome delivers up to max bytes,
// 0 at the end of the file, or the system's error code negated when the
// read fails.
class TByteSource {
public:
    virtual std::int64_t ReadSome(char* dst, std::size_t max) = 0;

protected:
    ~TByteSource() = default;
};

// Reads source to its end into a text buffer sized for sizeHint bytes, the
// size a regular file claimed (0 for a stream); the file may deliver fewer or
// more (files whose content is made on reading claim 0). A stream (a pipe, a
// FIFO, a device) ends too with the read that brings its first zero byte,
// since a zero byte ends a list's text. Raises TFileOpenError naming the file
// when a read fails or the file passes kMaxWordFileBytes.
TFileBytes ReadWholeFile(TByteSource& source, std::uint64_t sizeHint, const std::string& fileName,
                         bool stream = false);

// What a TWordSource accepts.
enum class TSourceKind {
    RegularFile,   // the desktop program's word files
    FileOrStream,  // titles-cli's: a regular file, a FIFO or a character device
    StandardInput, // the process's standard input: a regular file or a stream
};

// A word source opened once: by name (the name is passed to the system
// unchanged) or standard input (the name is then only what messages show).
class TWordSource {
public:
    TWordSource(const std::string& name, TSourceKind kind);
    TWordSource(const TWordSource&) = delete;
    TWordSource& operator=(const TWordSource&) = delete;
    ~TWordSource();

    // Nothing stands at the name.
    bool Missing() const noexcept { return missing_; }
    // A stream that is the same open file as standard input.
    bool IsStandardInput() const noexcept { return standardInput_; }
    // Reads it to its end. Raises TFileOpenError, with the system's reason,
    // when it could not be opened, is of a kind not accepted, or a read fails.
    TFileBytes Read();

private:
    void Open(TSourceKind kind);  // platform side
    // Records why the source cannot be read, for Read to raise.
    void Fail(TFailureKind failure, int error, bool missing = false) noexcept {
        failure_ = failure, error_ = error, missing_ = missing;
    }

    std::string name_;
    std::intptr_t handle_ = -1;
    bool owned_ = true;
    bool stream_ = false;
    bool standardInput_ = false;
    std::optional<TFailureKind> failure_;  // none: opened
    int error_ = 0;
    bool missing_ = false;
};

}  // namespace titles
