#include "cli/input.h"

#include <cstring>

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
    if (!options.nounsNamed) FindInstalledList(options.nounFile, language);
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
