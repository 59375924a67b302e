#include "phrase/word_file.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "base/texts.h"
#include "phrase/errors.h"

namespace titles {
namespace {

TWordFileSizedHook gSizedHook = nullptr;

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

}  // namespace

void SetWordFileSizedHook(TWordFileSizedHook hook) noexcept { gSizedHook = hook; }
TWordFileSizedHook WordFileSizedHook() noexcept { return gSizedHook; }

[[noreturn]] void ThrowFileOpenError(const std::string& fileName) {
    throw TFileOpenError(FormatText(texts::kFileOpen, {std::string_view(fileName)}));
}

TFileBytes AllocateTextBuffer(std::size_t size) {
    TFileBytes buf;
    buf.capacity = size + 1 + kTextPadding;
    buf.data.reset(new char[buf.capacity]);
    PrepareLargeBuffer(buf.data.get(), buf.capacity);
    buf.size = size;
    std::memset(buf.data.get() + size, 0, 1 + kTextPadding);
    return buf;
}

TFileBytes ReadWholeFile(TByteSource& source, std::uint64_t sizeHint, const std::string& fileName) {
    if (sizeHint > kMaxWordFileBytes) ThrowFileOpenError(fileName);
    TFileBytes buf = AllocateTextBuffer(static_cast<std::size_t>(sizeHint));
    buf.size = 0;
    if (const auto hook = WordFileSizedHook()) hook(fileName);
    for (;;) {
        if (Room(buf) > 0) {
            const std::int64_t got = source.ReadSome(buf.data.get() + buf.size, Room(buf));
            if (got < 0) ThrowFileOpenError(fileName);
            if (got == 0) break;
            buf.size += static_cast<std::size_t>(got);
            continue;
        }
        // The buffer is full: the file usually ends here, and a small read
        // tells without growing the buffer for nothing.
        char probe[kProbeBytes];
        const std::int64_t got = source.ReadSome(probe, sizeof probe);
        if (got < 0) ThrowFileOpenError(fileName);
        if (got == 0) break;
        const auto more = static_cast<std::size_t>(got);
        if (buf.size + more > kMaxWordFileBytes) ThrowFileOpenError(fileName);
        Grow(buf, more);
        std::memcpy(buf.data.get() + buf.size, probe, more);
        buf.size += more;
    }
    std::memset(buf.data.get() + buf.size, 0, 1 + kTextPadding);
    return buf;
}

}  // namespace titles
