// The compiler's window as a module of its own, which the modforge program
// loads only to open the window: a compile from the command line then
// never loads the window's toolkit, whose start-up alone costs more than
// compiling a large MIB set.
#pragma once

namespace modforge {

// Whether a window can be shown (see windowed_compiler.h).
using DisplayCheck = bool (*)();
// Runs the window with the source files handed to it (see
// windowed_compiler.h) and returns the exit status.
using WindowRun = int (*)(int argc, char** argv, const char* const* files, int fileCount);

inline constexpr const char* kDisplayCheckName = "modforgeDisplayAvailable";
inline constexpr const char* kWindowRunName = "modforgeRunWindow";

}  // namespace modforge
