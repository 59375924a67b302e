// The program's life from entry to exit.
#pragma once

#include <string>
#include <string_view>

#include "framework/window_system.h"

namespace titles::app {

// Runs the program on a window system: derives the title, builds the main
// window and runs its creation handler, handles events until the window is
// closed. Returns the exit code: 0, or 1 after a fatal failure.
int RunProgram(framework::TWindowSystem& windows);

// The program's title from its own file name: the name without its folder,
// cut at its first full stop, lower-cased from the second byte on
// (TITLES.EXE gives Titles, MY.TOOL.EXE gives My), at most 255 bytes.
std::string DeriveProgramTitle(std::string_view path, const framework::TTitleRules& rules);
inline constexpr std::size_t kMaxTitleBytes = 255;

}  // namespace titles::app
