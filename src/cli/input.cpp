#include "cli/input.h"

#include <cstring>

#include "base/texts.h"

namespace titles::cli {

TCliFailure CannotOpen(const std::string& name, const std::string& reason, TLanguage language) {
    if (language == TLanguage::Japanese) return TCliFailure(FormatText(texts::kFileOpen, {name}));
    const std::string text = FormatText(texts::kCliFileOpen, {name});
    return TCliFailure(reason.empty() ? text : FormatText(texts::kCliWithReason, {text, reason}));
}

void FindInstalledLists(TCliOptions& options, TLanguage language) {
    if (options.listsNamed || PathExists(options.adjectiveFile) || PathExists(options.nounFile)) return;
    std::string searched = ".";
    for (const std::string& folder : InstalledListFolders()) {
        const std::string adjectives = folder + "/" + options.adjectiveFile;
        const std::string nouns = folder + "/" + options.nounFile;
        if (PathExists(adjectives) && PathExists(nouns)) {
            options.adjectiveFile = adjectives;
            options.nounFile = nouns;
            return;
        }
        searched += ", " + folder;
    }
    const auto pattern = language == TLanguage::Japanese ? texts::kCliListsNotFoundJa : texts::kCliListsNotFound;
    throw TCliFailure(FormatText(pattern, {options.adjectiveFile, options.nounFile, searched}));
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
