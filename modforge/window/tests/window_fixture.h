// The compiler window under test: on the offscreen platform, with its
// questions answered from scripts instead of dialogs, and the standard
// MIB sources that the set-up fetched.
#pragma once

#include "main_frame.h"
#include "modforge/module_registry.h"
#include "platform/message_box.h"

#include "gui_application.h"
#include "required_peer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <functional>
#include <utility>
#include <fstream>
#include <memory>
#include <string>

namespace modforge {

// Answers the window's dialogs from queues; an unexpected question fails
// the test and is cancelled.
class ScriptedPrompts final : public Prompts {
 public:
  std::deque<std::optional<std::string>> sources, saves, finds, imports;
  std::deque<Preferences> preferences;
  std::vector<std::string> importsAskedFor;

  std::optional<std::string> sourceToCompile(const std::string&) override { return next(sources, "source file"); }
  std::optional<std::string> fileToSave(const std::string& suggested) override {
    suggestedSave = suggested;
    return next(saves, "file to save");
  }
  std::optional<std::string> textToFind(const std::string&) override { return next(finds, "text to find"); }
  std::optional<Preferences> changedPreferences(const Preferences&) override {
    if (preferences.empty()) return std::nullopt;
    Preferences chosen = preferences.front();
    preferences.pop_front();
    return chosen;
  }
  std::optional<std::string> askForSource(const std::string& module) override {
    importsAskedFor.push_back(module);
    if (whileAskingForImport) std::exchange(whileAskingForImport, nullptr)();
    return next(imports, "import source");
  }

  std::string suggestedSave;
  // Runs once while the import question is open, as the event loop of a
  // dialog would run what arrives meanwhile.
  std::function<void()> whileAskingForImport;

 private:
  static std::optional<std::string> next(std::deque<std::optional<std::string>>& queue, const char* what) {
    if (queue.empty()) {
      ADD_FAILURE() << "unexpected question for a " << what;
      return std::nullopt;
    }
    std::optional<std::string> answer = queue.front();
    queue.pop_front();
    return answer;
  }
};

struct SeenBox {
  std::string text;
  std::string caption;
  unsigned type;
};

// Message boxes of the test: noted, and questions answered from `answers`.
struct BoxScript {
  static inline std::vector<SeenBox> seen;
  static inline std::deque<int> answers;

  static int show(HWND, const char* text, const char* caption, unsigned type) {
    seen.push_back({text, caption, type});
    if ((type & MB_TYPEMASK) == MB_OK) return IDOK;
    if (answers.empty()) {
      ADD_FAILURE() << "unexpected question: " << text;
      return IDCANCEL;
    }
    int answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

inline std::string standardMibFolder() {
  if (const char* cache = std::getenv("ORVANE_MIB_CACHE")) return cache;
  if (const char* xdg = std::getenv("XDG_CACHE_HOME")) return std::string(xdg) + "/orvane/mibs";
  const char* home = std::getenv("HOME");
  return std::string(home ? home : "") + "/.cache/orvane/mibs";
}

class CompilerWindow : public testing::Test {
 protected:
  void SetUp() override {
    guiApplication();
    (void)removeAllModules();  // what an earlier test of this program registered
    BoxScript::seen.clear();
    BoxScript::answers.clear();
    platform::setMessageBoxHook(BoxScript::show);
    folder = std::filesystem::path(std::getenv("ORVANE_RUNTIME_DIR")) /
             testing::UnitTest::GetInstance()->current_test_info()->name();
    std::filesystem::create_directories(folder);
    auto scripted = std::make_unique<ScriptedPrompts>();
    prompts = scripted.get();
    frame = std::make_unique<CMainFrame>(std::move(scripted));
  }
  void TearDown() override {
    frame.reset();
    platform::setMessageBoxHook(nullptr);
  }

  // The path of IF-MIB in the standard MIB sources; empty (and the test
  // skipped or failed, as the set-up requires) when they are missing.
  std::string ifMib() {
    std::string path = standardMibFolder() + "/IF-MIB.mib";
    return std::filesystem::exists(path) ? path : std::string();
  }
  std::string writeSource(const std::string& name, const std::string& text) {
    std::string path = (folder / name).string();
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }
  // Compiles through the Compile command, the dialog answered with `path`.
  void compileCommand(const std::string& path) {
    prompts->sources.push_back(path);
    frame->compileCommand();
  }
  std::string logText() const { return frame->logView().toPlainText().toStdString(); }
  // Selects the node in the tree and returns the information view's text.
  std::string infoOf(const std::string& name) {
    if (!frame->treeView().selectNextMatching(QString::fromStdString(name), true)) return "(not in the tree)";
    return frame->infoView().toPlainText().toStdString();
  }
  bool boxShown(const std::string& text) const {
    for (const SeenBox& box : BoxScript::seen)
      if (box.text == text) return true;
    return false;
  }

  std::filesystem::path folder;
  ScriptedPrompts* prompts = nullptr;
  std::unique_ptr<CMainFrame> frame;
};

#define REQUIRE_STANDARD_MIBS(path) \
  if ((path).empty()) ORVANE_MISSING_PEER() << "the standard MIB sources are not in " << standardMibFolder()

}  // namespace modforge
