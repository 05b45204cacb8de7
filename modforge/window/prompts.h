// What the compiler window asks the person at the keyboard, behind one
// interface, so that tests can answer in their place.
#pragma once

#include "import_locator.h"
#include "preferences.h"

#include <optional>
#include <string>

class QWidget;

namespace modforge {

class Prompts : public ImportPrompt {
 public:
  // The Compile dialog: the source file to compile.
  [[nodiscard]] virtual std::optional<std::string> sourceToCompile(const std::string& suggested) = 0;
  // The save dialog: the SMIDB file to write.
  [[nodiscard]] virtual std::optional<std::string> fileToSave(const std::string& suggested) = 0;
  // The text to find in node names.
  [[nodiscard]] virtual std::optional<std::string> textToFind(const std::string& previous) = 0;
  // The preferences dialog.
  [[nodiscard]] virtual std::optional<Preferences> changedPreferences(const Preferences& current) = 0;
};

// The real dialogs, over `parent`. The file dialogs start in the folders
// of `preferences` and remember the folders chosen there.
class DialogPrompts final : public Prompts {
 public:
  DialogPrompts(QWidget* parent, Preferences& preferences) : parent_(parent), preferences_(preferences) {}

  std::optional<std::string> sourceToCompile(const std::string& suggested) override;
  std::optional<std::string> fileToSave(const std::string& suggested) override;
  std::optional<std::string> textToFind(const std::string& previous) override;
  std::optional<Preferences> changedPreferences(const Preferences& current) override;
  std::optional<std::string> askForSource(const std::string& module) override;

 private:
  QWidget* parent_;
  Preferences& preferences_;
};

}  // namespace modforge
