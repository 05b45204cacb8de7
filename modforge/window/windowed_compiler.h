// modforge as a windowed program: what the console front end starts when
// it is given no options.
#pragma once

#include <string>
#include <vector>

namespace modforge {

// Whether a window can be shown: a Qt platform is named, or an X11 or
// Wayland display is there.
[[nodiscard]] bool displayAvailable();

// Runs the window until it is closed and returns the exit status. When
// another instance runs, `files` (only the first: one file is compiled at
// a time) is handed to it instead and this returns at once.
int runWindowedCompiler(int argc, char** argv, const std::vector<std::string>& files);

}  // namespace modforge
