// The Win32 backend as others see it: its options and its factory. Its
// classes live in win32_internal.h, for its own sources and tests.
#pragma once

#include <memory>

#include "framework/backend.h"

namespace titles::framework::win32 {

struct TWin32Options {
    // End the process with ExitProcess when the backend goes: 1 when the
    // fatal box was shown, else 0. Set for the program, not for tests.
    bool exitProcessOnDestroy = false;
};

std::unique_ptr<TBackend> CreateWin32Backend(TWin32Options options = {});

}  // namespace titles::framework::win32
