// Fuzzes the line splitter: arbitrary bytes go through AssignText and,
// written to a file, through LoadWordFile (whole, and shrunk between sizing
// and reading). Every result must match a plain reference splitter.
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "phrase/errors.h"
#include "phrase/word_file.h"
#include "phrase/word_list.h"

using titles::TListIndexError;
using titles::TWordList;
using titles::fuzz::Escaped;
using titles::fuzz::ReferenceLines;
using titles::fuzz::TLine;

namespace {

void CheckLines(const TWordList& list, std::string_view text, const char* how) {
    const auto lines = ReferenceLines(text);
    FUZZ_CHECK(list.WordCount() == static_cast<std::int32_t>(lines.size()), "%s: %d entries, expected %zu for '%s'",
               how, list.WordCount(), lines.size(), Escaped(text).c_str());
    const std::size_t stop = std::min(text.find('\0'), text.size());
    std::size_t offset = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view entry = list.WordAt(static_cast<std::int32_t>(i));
        FUZZ_CHECK(entry.find_first_of(std::string_view("\0\n\r", 3)) == std::string_view::npos,
                   "%s: entry %zu holds a line-end byte: '%s'", how, i, Escaped(entry).c_str());
        // Entries laid end to end with their line ends give back the text.
        FUZZ_CHECK(lines[i].offset == offset && text.substr(offset, entry.size()) == entry,
                   "%s: entry %zu '%s' is not the text at offset %zu", how, i, Escaped(entry).c_str(), offset);
        offset += entry.size();
        const std::string_view end = text.substr(offset, lines[i].endLength);
        FUZZ_CHECK(end == "\r\n" || end == "\n" || end == "\r" || (end.empty() && offset == stop),
                   "%s: entry %zu is followed by '%s' at offset %zu", how, i, Escaped(end).c_str(), offset);
        offset += end.size();
    }
    FUZZ_CHECK(offset == stop, "%s: entries cover %zu of %zu bytes", how, offset, stop);

    for (const std::int32_t bad : {-1, list.WordCount()}) {
        bool raised = false;
        try {
            (void)list.WordAt(bad);
        } catch (const TListIndexError&) {
            raised = true;
        }
        FUZZ_CHECK(raised, "%s: WordAt(%d) did not raise", how, bad);
    }
}

// The file the loads read: an in-memory file reached through /proc.
int gFile = -1;
std::string gPath;
std::size_t gShrinkTo = 0;

void WriteFile(std::string_view bytes) {
    FUZZ_CHECK(::ftruncate(gFile, 0) == 0, "ftruncate");
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pwrite(gFile, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        FUZZ_CHECK(n > 0, "pwrite");
        done += static_cast<std::size_t>(n);
    }
}

// The file as the reader sees it when it shrank to its first gShrinkTo bytes
// after it was sized.
class TShrunkFile final : public titles::TByteSource {
public:
    std::int64_t ReadSome(char* dst, std::size_t max) override {
        const ssize_t got = ::pread(gFile, dst, std::min(max, gShrinkTo - at_), static_cast<off_t>(at_));
        FUZZ_CHECK(got >= 0, "pread");
        at_ += static_cast<std::size_t>(got);
        return got;
    }

private:
    std::size_t at_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    gFile = ::memfd_create("titles-fuzz-words", MFD_CLOEXEC);
    FUZZ_CHECK(gFile >= 0, "memfd_create");
    gPath = "/proc/self/fd/" + std::to_string(gFile);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    TWordList list;
    list.AppendWord("previous");
    list.AssignText(text);
    CheckLines(list, text, "AssignText");
    FUZZ_CHECK(list.SourceName().empty(), "AssignText kept a source name");

    WriteFile(text);
    TWordList loaded;
    loaded.AppendWord("previous");
    loaded.LoadWordFile(gPath);
    CheckLines(loaded, text, "LoadWordFile");
    FUZZ_CHECK(loaded.SourceName() == gPath, "source name '%s'", loaded.SourceName().c_str());

    // The file shrinks after it was sized: only the bytes still there count.
    if (size > 0) {
        gShrinkTo = size / 2;
        TShrunkFile file;
        TWordList shrunk;
        shrunk.AssignText(titles::ReadWholeFile(file, size, gPath), gPath);
        CheckLines(shrunk, text.substr(0, gShrinkTo), "shrunk LoadWordFile");
    }
    return 0;
}
