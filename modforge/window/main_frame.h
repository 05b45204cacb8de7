// CMainFrame: the compiler's main window. The MIB tree and the node's
// text side by side above the compiler log, a menu bar, a toolbar and a
// status bar; every command of the window is a public slot here.
#pragma once

#include "compiler_document.h"
#include "mib_tree_view.h"
#include "preferences.h"
#include "prompts.h"
#include "text_views.h"

#include <QMainWindow>

#include <memory>

class QLabel;
class QSplitter;

namespace modforge {

class CMainFrame final : public QMainWindow {
  Q_OBJECT

 public:
  // `prompts` answers the window's questions; null: the real dialogs.
  explicit CMainFrame(std::unique_ptr<Prompts> prompts = nullptr);
  ~CMainFrame() override;

  CMibTreeView& treeView() { return *tree_; }
  CInfoView& infoView() { return *info_; }
  CLogView& logView() { return *log_; }
  CompilerDocument& document() { return *document_; }
  Preferences& preferences() { return preferences_; }

 public slots:
  void compileCommand();
  // Compiles `path` as the Compile command's OK does: files dropped on the
  // window, named on the command line or handed over by a second start.
  void compileFile(const QString& path);
  void saveCommand();
  void removeAllCommand();
  void findCommand();
  void findNextCommand();
  void preferencesCommand();
  void unsupportedCommand();
  void webPageCommand(unsigned code);
  void aboutCommand();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void compileNow(const QString& path);
  void buildViews();
  void buildCommands();
  void restoreLayout();
  void saveLayout();
  void showTitle();
  void showStatus(const QString& text);
  bool maySaveBeforeExit();
  bool saveModule();

  Preferences preferences_;
  std::unique_ptr<Prompts> prompts_;
  CMibTreeView* tree_ = nullptr;
  CInfoView* info_ = nullptr;
  CLogView* log_ = nullptr;
  QSplitter* vertical_ = nullptr;
  QSplitter* horizontal_ = nullptr;
  QLabel* nodeCount_ = nullptr;
  std::unique_ptr<CompilerDocument> document_;
  std::string lastSource_;
  bool compiling_ = false;
  QStringList waitingFiles_;
  std::string findText_;
};

}  // namespace modforge
