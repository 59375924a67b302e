#include "app/program.h"

#include "app/UMain.h"
#include "app/messages.h"
#include "base/data_folders.h"
#include "base/file_name.h"
#include "phrase/composer.h"

namespace titles::app {

std::string DeriveProgramTitle(std::string_view path, const framework::TTitleRules& rules) {
    // Both walks go by whole characters, so that a trail byte is never taken
    // for a separator or a full stop.
    std::string_view name = FileNameOf(path, std::string_view(&rules.separator, 1), rules.isLeadByte);
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '.') {
            name = name.substr(0, i);
            break;
        }
        if (rules.isLeadByte && rules.isLeadByte(static_cast<unsigned char>(name[i])) && i + 1 < name.size()) ++i;
    }
    std::string title(name.substr(0, kMaxTitleBytes));
    if (title.size() > 1 && rules.lowerFrom) {
        rules.lowerFrom(title, 1);
    } else {
        for (std::size_t i = 1; i < title.size(); ++i) {
            if (title[i] >= 'A' && title[i] <= 'Z') title[i] = static_cast<char>(title[i] - 'A' + 'a');
        }
    }
    return title;
}

int RunProgram(framework::TWindowSystem& windows) {
    try {
        const std::string ProgramTitle = DeriveProgramTitle(windows.ProgramFilePath(), windows.TitleRules());
        // Started where no word list is, it reads the installed ones.
        EnterInstalledListFolder(std::string(kDefaultAdjectiveFile), std::string(kDefaultNounFile));
        TFormMain form(windows, ProgramTitle);
        FormMain = &form;
        windows.Show();
        windows.Run();
        FormMain = nullptr;
        return 0;
    } catch (...) {
        FormMain = nullptr;
        ReportFatalFailure(std::current_exception(), ModuleName(windows), &windows);
        return 1;
    }
}

}  // namespace titles::app
