// The window's import search: the folders of a search path first, then
// the person at the keyboard, who is asked for the module's source file.
#pragma once

#include "modforge/search_path.h"

#include <memory>
#include <optional>
#include <string>

namespace modforge {

// Asks for the source file of a module that the search path lacks.
class ImportPrompt {
 public:
  virtual ~ImportPrompt() = default;
  // A file name, or nothing when the person cancelled.
  [[nodiscard]] virtual std::optional<std::string> askForSource(const std::string& module) = 0;
};

class ImportLocator final : public ModuleLocator {
 public:
  explicit ImportLocator(ImportPrompt& prompt) : prompt_(prompt) {}

  // The folders searched before asking, for the next compile; clears the
  // cancelled mark.
  void searchIn(std::vector<std::string> folders);
  // Whether the person cancelled an import since searchIn.
  [[nodiscard]] bool cancelled() const { return cancelled_; }

  // A file chosen by the person must exist and hold the module as its
  // first module; otherwise an "Error" box says so and the question comes
  // again.
  std::string locate(const std::string& module, CompileLog& log) override;

 private:
  ImportPrompt& prompt_;
  std::unique_ptr<SearchPath> searchPath_;
  bool cancelled_ = false;
};

}  // namespace modforge
