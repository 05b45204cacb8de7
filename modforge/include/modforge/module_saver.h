// Saving a compiled module as an SMIDB file, the file modbase loads.
#pragma once

#include "modforge/compiler.h"

#include <ctime>
#include <string>

namespace modforge {

enum class SaveOutcome { saved, nothingToSave, failed };

// Writes `module` to `path` with `created` as its creation time, and on
// success records the file's full path as the module's database path.
// Logs "Compiled MIB file doesn't contain any OIDs. Nothing to save." for
// a module without nodes (no file is written) and "File: " and the path
// when the file cannot be written (an existing file is left as it was).
[[nodiscard]] SaveOutcome saveModule(Compiler& compiler, const std::string& module, const std::string& path,
                                     std::time_t created);

}  // namespace modforge
