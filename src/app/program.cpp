#include "app/program.h"

#include <cstdio>

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

void ReportFatalFailure(const std::exception_ptr& failure, std::string_view moduleName,
                        framework::TWindowSystem* windows) noexcept {
    // The address the box names is where the program's failure handling
    // caught it: C++ failures carry no code address of their own.
    const auto address = reinterpret_cast<std::uintptr_t>(&ReportFatalFailure);
    const TFailureText info = DescribeFailure(failure);
    try {
        const std::string text = FatalBoxText(info.kind, moduleName, address, info.message);
        std::fprintf(stderr, "%.*s: %s\n", static_cast<int>(kFatalCaption.size()), kFatalCaption.data(), text.c_str());
        std::fflush(stderr);
        if (windows != nullptr) windows->FatalBox(kFatalCaption, text);
    } catch (...) {
        // The text is on standard error, or nothing can be shown at all.
    }
}

int RunProgram(framework::TWindowSystem& windows) {
    std::string path;
    framework::TTitleRules rules;
    try {
        path = windows.ProgramFilePath();
        rules = windows.TitleRules();
        const std::string ProgramTitle = DeriveProgramTitle(path, rules);
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
        ReportFatalFailure(std::current_exception(), FileNameOf(path, std::string_view(&rules.separator, 1), rules.isLeadByte),
                           &windows);
        return 1;
    }
}

}  // namespace titles::app
