// A library loaded while the program runs, for parts that only some runs
// need (a program's window, which brings a whole toolkit with it).
#pragma once

#include "platform/export.h"

#include <string>

namespace platform {

class PLATFORM_API LoadableModule {
 public:
  LoadableModule() = default;
  ~LoadableModule();
  LoadableModule(const LoadableModule&) = delete;
  LoadableModule& operator=(const LoadableModule&) = delete;

  // Loads the library at `relativePath` from the folder of the running
  // program's file; it stays loaded until the process ends (what it brings
  // along may not survive being unloaded). False, with the reason in
  // error(), when it cannot.
  [[nodiscard]] bool openBesideProgram(const std::string& relativePath);
  // The address of an exported function, or null (see error()).
  [[nodiscard]] void* function(const char* name);
  const std::string& error() const { return error_; }

 private:
  void* handle_ = nullptr;
  std::string error_;
};

}  // namespace platform
