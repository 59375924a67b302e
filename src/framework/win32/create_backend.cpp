// The Win32 backend as the program's backend. The process ends with
// ExitProcess when the backend goes at the end of main: exit code 1 after
// the fatal box, else 0.
#include "framework/win32/win32_backend.h"

namespace titles::framework {

std::unique_ptr<TBackend> CreateBackend(int, char**) {
    return std::make_unique<win32::TWin32Backend>(win32::TWin32Options{.exitProcessOnDestroy = true});
}

}  // namespace titles::framework
