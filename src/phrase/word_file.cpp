#include "phrase/word_file.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "phrase/errors.h"

namespace titles {
namespace {

constexpr std::size_t kProbeBytes = 4096;

std::size_t Room(const TFileBytes& buf) noexcept { return buf.capacity - 1 - kTextPadding - buf.size; }

// Makes room for at least extra more bytes, keeping what buf holds.
void Grow(TFileBytes& buf, std::size_t extra) {
    const std::size_t wanted = std::max({buf.size * 2, buf.size + extra, kProbeBytes});
    TFileBytes grown = AllocateTextBuffer(std::min<std::size_t>(wanted, kMaxWordFileBytes));
    if (buf.size > 0) std::memcpy(grown.data.get(), buf.data.get(), buf.size);
    grown.size = buf.size;
    buf = std::move(grown);
}

// The number of bytes a read delivered; raises for a failed one.
std::size_t Delivered(std::int64_t got, const std::string& fileName) {
    if (got < 0) throw TFileOpenError(TFailureKind::FileRead, fileName, static_cast<int>(-got));
    return static_cast<std::size_t>(got);
}

void CheckSize(std::uint64_t size, const std::string& fileName) {
    if (size > kMaxWordFileBytes) throw TFileOpenError(TFailureKind::FileTooLarge, fileName);
}

}  // namespace

TFileBytes AllocateTextBuffer(std::size_t size, bool populate) {
    TFileBytes buf;
    buf.capacity = size + 1 + kTextPadding;
    buf.data.reset(new char[buf.capacity]);
    if (populate) {
        PrepareLargeBuffer(buf.data.get(), buf.capacity);
    } else {
        AdviseLargePages(buf.data.get(), buf.capacity);
    }
    buf.size = size;
    std::memset(buf.data.get() + size, 0, 1 + kTextPadding);
    return buf;
}

TFileBytes ReadWholeFile(TByteSource& source, std::uint64_t sizeHint, const std::string& fileName) {
    CheckSize(sizeHint, fileName);
    TFileBytes buf = AllocateTextBuffer(static_cast<std::size_t>(sizeHint));
    buf.size = 0;
    for (;;) {
        if (Room(buf) > 0) {
            const std::size_t got = Delivered(source.ReadSome(buf.data.get() + buf.size, Room(buf)), fileName);
            if (got == 0) break;
            buf.size += got;
            continue;
        }
        // The buffer is full: the file usually ends here, and a small read
        // tells without growing the buffer for nothing.
        char probe[kProbeBytes];
        const std::size_t more = Delivered(source.ReadSome(probe, sizeof probe), fileName);
        if (more == 0) break;
        CheckSize(buf.size + more, fileName);
        Grow(buf, more);
        std::memcpy(buf.data.get() + buf.size, probe, more);
        buf.size += more;
    }
    std::memset(buf.data.get() + buf.size, 0, 1 + kTextPadding);
    return buf;
}

TFileBytes ReadStream(TByteSource& source, const std::string& fileName) {
    // What arrives fills blocks of a fixed size; one buffer of the final size
    // takes them at the end, each block freed once copied. The peak stays
    // near the stream's size, and a stream past the bound is refused holding
    // no more than the bound and one block.
    constexpr std::size_t kBlock = std::size_t{1} << 20;
    std::vector<std::unique_ptr<char[]>> blocks;
    std::size_t total = 0;
    std::size_t inLast = kBlock;
    for (bool zero = false; !zero;) {
        if (inLast == kBlock) {
            blocks.emplace_back(new char[kBlock]);
            inLast = 0;
        }
        char* at = blocks.back().get() + inLast;
        const std::size_t got = Delivered(source.ReadSome(at, kBlock - inLast), fileName);
        if (got == 0) break;
        zero = std::memchr(at, 0, got) != nullptr;
        inLast += got;
        total += got;
        CheckSize(total, fileName);
    }
    TFileBytes text = AllocateTextBuffer(total, false);
    for (std::size_t i = 0, at = 0; at < total; ++i, at += kBlock) {
        std::memcpy(text.data.get() + at, blocks[i].get(), std::min(kBlock, total - at));
        blocks[i].reset();
    }
    return text;
}

}  // namespace titles
