// Titles: shows a random title; each click on it shows a new one.
#include <exception>
#include <string>

#include "app/program.h"
#include "base/file_name.h"
#include "framework/application.h"
#include "framework/backend.h"

int main(int argc, char** argv) {
    std::unique_ptr<titles::framework::TBackend> backend;
    try {
        backend = titles::framework::CreateBackend(argc, argv);
    } catch (...) {
        // No window system at all: the fatal box's text goes to the console.
        const std::string_view path = argc > 0 && argv[0] != nullptr ? argv[0] : "titles";
        titles::framework::ReportFatalFailureToConsole(std::current_exception(), titles::FileNameOf(path, "/\\"));
        return 1;
    }
    return titles::app::RunProgram(*backend);
}
