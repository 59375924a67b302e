// The program's life from entry to exit.
#pragma once

#include "framework/backend.h"

namespace titles::app {

// Runs the program on a backend: derives the title, builds the main window
// and runs its creation handler, handles events until the window is
// closed. Returns the exit code: 0, or 1 after a fatal failure.
int RunProgram(framework::TBackend& backend);

// Returns the process-wide state to its state at process start (word lists
// gone, seed 0), so that tests can run the program more than once.
void ResetProgramState();

}  // namespace titles::app
