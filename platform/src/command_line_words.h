// The words of a Windows-form command line (see processes.h).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform::detail {

[[nodiscard]] std::vector<std::string> splitCommandLine(std::string_view line);

}  // namespace platform::detail
