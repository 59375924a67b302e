// The headless backend as a program's backend: no display, no events; boxes
// and phrases are echoed to standard output, so a run of the program shows
// its start-up on the console and then ends as if the window were closed.
#include "framework/headless/headless_backend.h"

namespace titles::framework {

std::unique_ptr<TBackend> CreateBackend(int argc, char** argv) {
    headless::THeadlessConfig config;
    if (argc > 0 && argv[0] != nullptr) config.programPath = argv[0];
    config.echo = true;
    auto backend = std::make_unique<headless::THeadlessBackend>(config);
    backend->PostClose();
    return backend;
}

}  // namespace titles::framework
