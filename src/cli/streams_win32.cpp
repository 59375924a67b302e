#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "cli/cli.h"

namespace titles::cli {

// Titles are bytes: no line-end translation on the way out.
void PrepareStandardStreams() {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

}  // namespace titles::cli
