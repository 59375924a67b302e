// The system's own words for a Windows error code.
#pragma once

#include <windows.h>

#include <string>

namespace titles::cli {

// The text FormatMessage gives for the code, in UTF-8, without its closing
// full stop and line end ("The system cannot find the file specified").
std::string SystemErrorText(DWORD error);

}  // namespace titles::cli
