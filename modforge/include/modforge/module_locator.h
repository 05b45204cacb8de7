// Finding the source file of an imported module. The console looks in a
// search path; the window asks the user.
#pragma once

#include "modforge/compile_log.h"

#include <string>

namespace modforge {

class ModuleLocator {
 public:
  virtual ~ModuleLocator() = default;
  // The path of a source file whose first module header names `module`,
  // or empty when there is none; then `log` has been told why.
  [[nodiscard]] virtual std::string locate(const std::string& module, CompileLog& log) = 0;
};

// The module named by the first "DEFINITIONS" header of the file at
// `path`, or empty when the file cannot be read or has no header.
[[nodiscard]] std::string firstModuleName(const std::string& path);

}  // namespace modforge
