#include "import_locator.h"

#include "platform/message_box.h"

#include <filesystem>

namespace modforge {

void ImportLocator::searchIn(std::vector<std::string> folders) {
  searchPath_ = std::make_unique<SearchPath>(std::move(folders));
  cancelled_ = false;
}

std::string ImportLocator::locate(const std::string& module, CompileLog& log) {
  CollectingLog searched;
  if (searchPath_) {
    std::string found = searchPath_->locate(module, searched);
    if (!found.empty()) return found;
  }
  for (;;) {
    std::optional<std::string> chosen = prompt_.askForSource(module);
    if (!chosen) {
      cancelled_ = true;
      for (const std::string& message : searched.messages) log.message(message);
      return {};
    }
    std::error_code ignored;
    if (std::filesystem::is_regular_file(*chosen, ignored) && firstModuleName(*chosen) == module) return *chosen;
    std::string text = "File " + *chosen + "\ndoes not contain information for module " + module;
    MessageBoxA(nullptr, text.c_str(), "Error", MB_OK | MB_ICONERROR);
  }
}

}  // namespace modforge
