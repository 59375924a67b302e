#include "phrase/word_file.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "base/memory_hints.h"
#include "phrase/errors.h"

namespace titles {
namespace {

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

TFileBytes ReadWholeFile(TByteSource& source, std::uint64_t sizeHint, const std::string& fileName, bool stream) {
    CheckSize(sizeHint, fileName);
    TFileBytes text = AllocateTextBuffer(static_cast<std::size_t>(sizeHint));
    // Bytes past the size claimed fill blocks, which one buffer of the final
    // size takes at the end, each block freed once copied: a stream's peak
    // stays near its size, and a stream past the bound is refused holding no
    // more than the bound and one block. A block is large enough (over
    // 32 MiB) for the C library to map each one apart and unmap it when freed.
    constexpr std::size_t kBlock = std::size_t{33} << 20;
    // The first read may also take the terminating zero's byte: a file that
    // delivers no more than it claimed then ends without a block.
    const std::size_t head = text.size + 1;
    std::vector<std::unique_ptr<char[]>> blocks;
    std::size_t total = 0;
    std::size_t room = head;
    char* at = text.data.get();
    for (bool zero = false; !zero;) {
        if (room == 0) {
            blocks.emplace_back(new char[kBlock]);
            at = blocks.back().get();
            room = kBlock;
        }
        const std::size_t got = Delivered(source.ReadSome(at, room), fileName);
        if (got == 0) break;
        zero = stream && std::memchr(at, 0, got) != nullptr;
        at += got;
        room -= got;
        total += got;
        CheckSize(total, fileName);
    }
    text.stream = stream;
    if (total <= text.size) {
        text.size = total;
        std::memset(text.data.get() + total, 0, 1 + kTextPadding);
        return text;
    }
    TFileBytes whole = AllocateTextBuffer(total, false);
    whole.stream = stream;
    std::memcpy(whole.data.get(), text.data.get(), head);
    for (std::size_t i = 0, done = head; done < total; ++i, done += kBlock) {
        std::memcpy(whole.data.get() + done, blocks[i].get(), std::min(kBlock, total - done));
        blocks[i].reset();
    }
    return whole;
}

}  // namespace titles
