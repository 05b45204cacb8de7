// What the browser's window tests share: the main window on the offscreen
// platform, the standard MIB modules compiled into the test's registry,
// message boxes answered and remembered instead of shown, and reading the
// results pane.
#pragma once

#include "main_window.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

class QTreeWidgetItem;

// Failures show texts as texts.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace netlens {

struct ShownMessage {
  std::string text;
  std::string caption;
};

class BrowserTest : public testing::Test {
 public:
  // What message boxes said, and the button every box answers with.
  static std::vector<ShownMessage> messages;
  static int answer;

 protected:
  void SetUp() override;
  void TearDown() override;

  // Compiles and registers the standard MIB modules from the set-up's
  // cache; false (the test then skips or fails, as peers do) without it.
  bool registerStandardModules();
  // A new main window, shown.
  TZormNL32& openWindow();
  // Destroys the window, as at the end of the program, and unloads every
  // module as a new process would start without any.
  void closeWindow();

  TZormNL32& window() { return *window_; }
  QTreeWidgetItem* treeItem(const QString& text) const;
  void selectNode(const QString& text);
  QStringList paneLines() const;
  // Waits for the query state; false when the time ran out first.
  bool waitForState(TQueryState state);
  // Points the Preferences tab at an agent on 127.0.0.1.
  void useAgent(uint16_t port, const QString& community = QStringLiteral("public"));
  void contactAgent();

 private:
  std::unique_ptr<TZormNL32> window_;
};

}  // namespace netlens
