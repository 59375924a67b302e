// Titles: shows a random title; each click on it shows a new one.
#include <exception>
#include <string>

#include "app/program.h"
#include "framework/application.h"
#include "framework/backend.h"

int main(int argc, char** argv) {
    std::unique_ptr<titles::framework::TBackend> backend;
    try {
        backend = titles::framework::CreateBackend(argc, argv);
    } catch (...) {
        // No window system at all: the fatal box's text goes to the console.
        std::string module = argc > 0 && argv[0] != nullptr ? argv[0] : "titles";
        const auto slash = module.find_last_of("/\\");
        if (slash != std::string::npos) module.erase(0, slash + 1);
        titles::framework::ReportFatalFailureToConsole(std::current_exception(), module);
        return 1;
    }
    return titles::app::RunProgram(*backend);
}
