// The Win32 backend as the program's backend. The process ends with
// ExitProcess when the backend goes at the end of main: exit code 1 after
// the fatal box, else 0.
#include "framework/win32/win32_internal.h"

namespace titles::framework {

std::unique_ptr<TBackend> win32::CreateWin32Backend(TWin32Options options) {
    return std::make_unique<TWin32Backend>(options);
}

std::unique_ptr<TBackend> CreateBackend(int, char**) {
    return win32::CreateWin32Backend({.exitProcessOnDestroy = true});
}

}  // namespace titles::framework
