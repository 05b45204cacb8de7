// The browser's command line from the file-type associations of the
// registry (HKEY_CLASSES_ROOT).
#pragma once

#include <optional>
#include <string>

namespace weblaunch {

// The open command of the ".html" file type, its environment strings
// expanded when it is of the expandable type; nothing when the file type
// or its command is missing, of another type or does not expand.
[[nodiscard]] std::optional<std::string> htmlOpenCommand();

// The command line that opens `address`: the open command up to its
// program's name when that ends in ".exe" (keeping a quoted name quoted),
// else the whole command; then a blank and the address.
[[nodiscard]] std::string commandOpening(const std::string& openCommand, const std::string& address);

}  // namespace weblaunch
