#include "cli/input.h"

#include <algorithm>
#include <cstring>

#include "base/data_folders.h"
#include "base/texts.h"

namespace titles::cli {

TCliFailure CannotOpen(const std::string& name, const std::string& reason, TLanguage language) {
    if (language == TLanguage::Japanese) return TCliFailure(FormatText(texts::kFileOpen, {name}));
    const std::string text = FormatText(texts::kCliFileOpen, {name});
    return TCliFailure(reason.empty() ? text : FormatText(texts::kCliWithReason, {text, reason}));
}

namespace {

void FindInstalledList(std::string& fileName, TLanguage language) {
    if (PathExists(fileName)) return;
    std::string searched = ".";
    for (const std::string& folder : InstalledListFolders()) {
        const std::string path = folder + "/" + fileName;
        if (PathExists(path)) {
            fileName = path;
            return;
        }
        searched += ", " + folder;
    }
    const auto pattern = language == TLanguage::Japanese ? texts::kCliListNotFoundJa : texts::kCliListNotFound;
    throw TCliFailure(FormatText(pattern, {fileName, searched}));
}

}  // namespace

void FindInstalledLists(TCliOptions& options, TLanguage language) {
    if (!options.adjectivesNamed) FindInstalledList(options.adjectiveFile, language);
    // The adjectives are read first, so a named adjective file that is not
    // there is reported before anything is said about the nouns.
    const bool adjectivesThere = options.adjectiveFile == kStandardInputName || PathExists(options.adjectiveFile);
    if (!options.nounsNamed && adjectivesThere) FindInstalledList(options.nounFile, language);
}

std::string ReadToEnd(const std::function<std::size_t(char* buffer, std::size_t size)>& readSome,
                      const std::string& name, TLanguage language) {
    constexpr std::size_t kChunk = 65536;
    std::string text;
    std::size_t got = 0;
    for (;;) {
        if (text.size() - got < kChunk) text.resize(got + std::max(kChunk, got / 2));
        const std::size_t read = readSome(text.data() + got, kChunk);
        if (read == 0) break;
        got += read;
        if (got > kMaxListBytes) throw CannotOpen(name, std::string(texts::kCliTooLarge), language);
    }
    text.resize(got);
    return text;
}

void LoadList(TWordList& list, const std::string& name, TLanguage language) {
    TListInput input = ExamineList(name, language);
    if (input.stream) {
        list.AssignText(input.text, name);
    } else {
        list.LoadWordFile(name);
    }
}

TFileBytes ReadListBytes(const std::string& name, TLanguage language) {
    TListInput input = ExamineList(name, language);
    if (!input.stream) return ReadWordFileBytes(name);
    TFileBytes bytes = AllocateTextBuffer(input.text.size());
    if (!input.text.empty()) std::memcpy(bytes.data.get(), input.text.data(), input.text.size());
    bytes.size = input.text.size();
    return bytes;
}

}  // namespace titles::cli
