// Titles: shows a random title; each click on it shows a new one.
#include <exception>

#include "app/UMain.h"
#include "base/file_name.h"

int main(int argc, char** argv) {
    std::unique_ptr<titles::framework::TWindowSystem> windows;
    try {
        windows = titles::framework::CreateWindowSystem(argc, argv);
    } catch (...) {
        // No window system at all: the fatal box's text goes to the console only.
        const std::string_view path = argc > 0 && argv[0] != nullptr ? argv[0] : "titles";
        titles::app::ReportFatalFailure(std::current_exception(), titles::FileNameOf(path, "/\\"), nullptr);
        return 1;
    }
    return titles::app::RunProgram(*windows);
}
