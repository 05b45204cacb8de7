// The browser's window tests' shared set-up.
#include "browser_fixture.h"

#include "background_process.h"
#include "gui_application.h"
#include "mib_sets.h"
#include "preferences_tab.h"
#include "query_tab.h"
#include "required_peer.h"

#include "platform/message_box.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTreeWidget>

#include <cstdlib>

namespace netlens {

std::vector<ShownMessage> BrowserTest::messages;
int BrowserTest::answer = IDOK;

namespace {

int rememberMessage(HWND, const char* text, const char* caption, unsigned) {
  BrowserTest::messages.push_back({text ? text : "", caption ? caption : ""});
  return BrowserTest::answer;
}

}  // namespace

void BrowserTest::SetUp() {
  guiApplication();
  messages.clear();
  answer = IDOK;
  platform::setMessageBoxHook(rememberMessage);
}

void BrowserTest::TearDown() {
  closeWindow();
  platform::setMessageBoxHook(nullptr);
}

bool BrowserTest::registerStandardModules() {
  std::string folder = standardMibFolder();
  // In name order, as the shell gives `*.mib`, so that each node belongs to
  // the module it does after the README's command.
  std::vector<std::string> sources = mibSourcesOf(folder);
  if (sources.empty()) return false;
  std::vector<std::string> command{ORVANE_MODFORGE_PATH, "-I", folder, "-c"};
  command.insert(command.end(), sources.begin(), sources.end());
  command.push_back("-d");
  command.push_back(std::string(std::getenv("ORVANE_REGISTRY")) + "/smidb");
  command.push_back("--register");
  return runProgram(command, std::chrono::seconds(60)).exitCode == 0;
}

TZormNL32& BrowserTest::openWindow() {
  window_ = std::make_unique<TZormNL32>();
  window_->show();
  QCoreApplication::processEvents();
  return *window_;
}

void BrowserTest::closeWindow() {
  window_.reset();
  char identity[1024];
  while (WsmEnumLoadedModule(0, identity, sizeof identity) && WsmEnumLoadedModule(1, identity, sizeof identity)) {
    if (!WsmUnloadModule(identity)) break;
  }
}

QTreeWidgetItem* BrowserTest::treeItem(const QString& text) const {
  QList<QTreeWidgetItem*> found = window_->queryTab()->MibTreeView->findItems(
      text, Qt::MatchExactly | Qt::MatchCaseSensitive | Qt::MatchRecursive);
  return found.isEmpty() ? nullptr : found.first();
}

void BrowserTest::selectNode(const QString& text) {
  QTreeWidgetItem* item = treeItem(text);
  ASSERT_NE(item, nullptr) << text.toStdString();
  window_->queryTab()->MibTreeView->setCurrentItem(item);
}

QStringList BrowserTest::paneLines() const {
  return window_->queryTab()->MemoBResult->toPlainText().split(QLatin1Char('\n'));
}

bool BrowserTest::waitForState(TQueryState state) {
  return processEventsUntil([&] { return window_->queryState() == state; });
}

void BrowserTest::useAgent(uint16_t port, const QString& community) {
  window_->queryTab()->ComboBoxRSnmpAgent->setEditText(QStringLiteral("127.0.0.1"));
  window_->preferencesTab()->ComboBoxSnmpPort->setEditText(QString::number(port));
  window_->preferencesTab()->ComboBoxCommunity->setEditText(community);
}

void BrowserTest::contactAgent() {
  window_->SpeedButtonContactClick();
  ASSERT_TRUE(waitForState(qsContacted)) << window_->statusText().toStdString();
}

}  // namespace netlens
