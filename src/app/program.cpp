#include "app/program.h"

#include "app/UMain.h"
#include "base/data_folders.h"
#include "framework/application.h"
#include "phrase/composer.h"
#include "phrase/random_source.h"

namespace titles::app {

int RunProgram(framework::TBackend& backend) {
    framework::TApplication application(backend);
    int exitCode = 0;
    try {
        application.Initialize();
        // Started where no word list is, it reads the installed ones.
        EnterInstalledListFolder(std::string(kDefaultAdjectiveFile), std::string(kDefaultNounFile));
        application.CreateForm(FormMain);
        application.RunEventLoop();
    } catch (...) {
        application.ReportFatalFailure(std::current_exception());
        exitCode = 1;
    }
    FormMain = nullptr;
    return exitCode;
}

void ResetProgramState() {
    AdjectiveList.reset();
    NounList.reset();
    FormMain = nullptr;
    RandomSeed = 0;
}

}  // namespace titles::app
