#include "cli/input.h"

#include <memory>

#include "cli/cli.h"
#include "cli/messages.h"

namespace titles::cli {

TFileBytes ReadList(std::string& name, bool named, bool& standardInputRead) {
    const TSourceKind kind = name == kStandardInputName ? TSourceKind::StandardInput : TSourceKind::FileOrStream;
    auto source = std::make_unique<TWordSource>(name, kind);
    if (!named && source->Missing()) {
        std::string searched = ".";
        for (const std::string& folder : InstalledListFolders()) {
            source = std::make_unique<TWordSource>(folder + "/" + name, kind);
            if (!source->Missing()) {
                name = folder + "/" + name;
                break;
            }
            searched += ", " + folder;
        }
        if (source->Missing()) throw TListNotFoundError(name, searched);
    }
    if (source->IsStandardInput()) {
        if (standardInputRead) throw TUsageError(std::string(kTwoStandardInputs));
        standardInputRead = true;
    }
    return source->Read();
}

}  // namespace titles::cli
