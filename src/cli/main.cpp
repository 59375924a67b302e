#include "cli/cli.h"

int main(int argc, char** argv) {
    titles::cli::PrepareStandardStreams();
    return titles::cli::RunCli(argc, argv, stdout, stderr);
}
