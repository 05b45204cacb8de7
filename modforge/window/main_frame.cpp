#include "main_frame.h"

#include "info_text.h"
#include "modforge/module_registry.h"
#include "platform/message_box.h"
#include "weblaunch.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>

#include <filesystem>

namespace modforge {
namespace {

constexpr char kTitle[] = "Orvane MIB Compiler";

bool ask(const char* text, UINT type = MB_YESNO | MB_ICONWARNING) {
  return MessageBoxA(nullptr, text, "Warning", type) == IDYES;
}

void showError(const std::string& text) { MessageBoxA(nullptr, text.c_str(), "Error", MB_OK | MB_ICONERROR); }

QByteArray toBytes(const std::optional<std::vector<uint8_t>>& data) {
  return data ? QByteArray(reinterpret_cast<const char*>(data->data()), static_cast<qsizetype>(data->size()))
              : QByteArray();
}

std::vector<uint8_t> fromBytes(const QByteArray& bytes) { return {bytes.begin(), bytes.end()}; }

QIcon themed(const char* name, QStyle::StandardPixmap fallback) {
  return QIcon::fromTheme(QLatin1String(name), QApplication::style()->standardIcon(fallback));
}

}  // namespace

CMainFrame::CMainFrame(std::unique_ptr<Prompts> prompts) : preferences_(readPreferences()), prompts_(std::move(prompts)) {
  if (!prompts_) prompts_ = std::make_unique<DialogPrompts>(this, preferences_);
  buildViews();
  document_ = std::make_unique<CompilerDocument>(*log_, *prompts_);
  buildCommands();
  setAcceptDrops(true);
  showTitle();
  showStatus(tr("Ready"));
  restoreLayout();
}

CMainFrame::~CMainFrame() = default;

void CMainFrame::buildViews() {
  tree_ = new CMibTreeView;
  info_ = new CInfoView;
  log_ = new CLogView;
  vertical_ = new QSplitter(Qt::Horizontal);
  vertical_->addWidget(tree_);
  vertical_->addWidget(info_);
  vertical_->setStretchFactor(1, 1);
  horizontal_ = new QSplitter(Qt::Vertical);
  horizontal_->addWidget(vertical_);
  horizontal_->addWidget(log_);
  horizontal_->setStretchFactor(0, 1);
  setCentralWidget(horizontal_);
  connect(tree_, &CMibTreeView::nodeSelected, this, [this](const Node* node) {
    if (node) info_->showText(nodeInfoText(*node, document_->compiler().types()));
    else info_->clear();
  });
  nodeCount_ = new QLabel;
  statusBar()->addPermanentWidget(nodeCount_);
}

void CMainFrame::buildCommands() {
  auto command = [this](QMenu* menu, const QString& text, auto slot, QKeySequence keys = {}, QIcon icon = {}) {
    QAction* action = menu->addAction(icon, text);
    action->setShortcut(keys);
    connect(action, &QAction::triggered, this, slot);
    return action;
  };
  QMenu* file = menuBar()->addMenu(tr("&File"));
  QAction* compile = command(file, tr("&Compile..."), &CMainFrame::compileCommand, QKeySequence::Open,
                             themed("document-open", QStyle::SP_DialogOpenButton));
  QAction* save = command(file, tr("&Save..."), &CMainFrame::saveCommand, QKeySequence::Save,
                          themed("document-save", QStyle::SP_DialogSaveButton));
  file->addSeparator();
  command(file, tr("&Remove All Compiled Modules..."), &CMainFrame::removeAllCommand, {},
          themed("edit-delete", QStyle::SP_TrashIcon));
  file->addSeparator();
  command(file, tr("&Print..."), &CMainFrame::unsupportedCommand, QKeySequence::Print,
          themed("document-print", QStyle::SP_FileIcon));
  file->addSeparator();
  command(file, tr("E&xit"), &QWidget::close, QKeySequence::Quit, themed("application-exit", QStyle::SP_DialogCloseButton));

  QMenu* edit = menuBar()->addMenu(tr("&Edit"));
  QAction* find = command(edit, tr("&Find..."), &CMainFrame::findCommand, QKeySequence::Find,
                          themed("edit-find", QStyle::SP_FileDialogContentsView));
  command(edit, tr("Find &Next"), &CMainFrame::findNextCommand, QKeySequence::FindNext);
  edit->addSeparator();
  command(edit, tr("&Preferences..."), &CMainFrame::preferencesCommand, QKeySequence::Preferences,
          themed("preferences-system", QStyle::SP_FileDialogDetailedView));

  QToolBar* bar = addToolBar(tr("Toolbar"));
  bar->setObjectName(QStringLiteral("Toolbar"));
  bar->addActions({compile, save});
  bar->addSeparator();
  bar->addAction(find);

  QMenu* view = menuBar()->addMenu(tr("&View"));
  view->addAction(bar->toggleViewAction());
  QAction* statusLine = view->addAction(tr("&Status Bar"));
  statusLine->setCheckable(true);
  statusLine->setChecked(true);
  connect(statusLine, &QAction::toggled, statusBar(), &QWidget::setVisible);
  view->addSeparator();
  command(view, tr("&Expand All"), [this] { tree_->expandAll(); });
  command(view, tr("&Collapse All"), [this] { tree_->collapseAll(); });

  QMenu* help = menuBar()->addMenu(tr("&Help"));
  command(help, tr("Orvane on the &Web"), [this] { webPageCommand(WEBLAUNCH_HOME_PAGE); });
  command(help, tr("MIB Compiler &Home Page"), [this] { webPageCommand(WEBLAUNCH_MIB_COMPILER_PAGE); });
  command(help, tr("Technical &Support"), [this] { webPageCommand(WEBLAUNCH_SUPPORT_PAGE); });
  help->addSeparator();
  QAction* about = command(help, tr("&About Orvane MIB Compiler..."), &CMainFrame::aboutCommand, {},
                           themed("help-about", QStyle::SP_MessageBoxInformation));
  bar->addSeparator();
  bar->addAction(about);
}

void CMainFrame::compileCommand() {
  std::optional<std::string> path = prompts_->sourceToCompile(lastSource_);
  if (path) compileFile(QString::fromStdString(*path));
}

void CMainFrame::compileFile(const QString& path) {
  // A file handed over while a question of the running compile is open
  // waits for that compile to end.
  if (compiling_) {
    waitingFiles_.push_back(path);
    return;
  }
  compiling_ = true;
  compileNow(path);
  compiling_ = false;
  if (!waitingFiles_.empty()) {
    QString next = waitingFiles_.takeFirst();
    QMetaObject::invokeMethod(this, [this, next] { compileFile(next); }, Qt::QueuedConnection);
  }
}

void CMainFrame::compileNow(const QString& path) {
  if (document_->compiler().tree().size() > 0 && !ask("Compiled MIB Tree will be lost!\nDo you wish to proceed?"))
    return;
  lastSource_ = path.toStdString();
  tree_->fill(nullptr, false);
  info_->clear();
  showStatus(tr("Compiling..."));
  QApplication::setOverrideCursor(Qt::WaitCursor);
  (void)document_->compile(lastSource_, preferences_.warningLevel);
  QApplication::restoreOverrideCursor();
  showTitle();
  showStatus(tr("Ready"));
  tree_->fill(&document_->compiler().tree(), preferences_.mibFullExpand);
  // The compiled module's own first node, so that its part of the tree is in sight.
  for (const Node* node = document_->compiler().tree().first(); node; node = node->next) {
    if (node->module != document_->module()) continue;
    tree_->selectNode(node);
    break;
  }
  nodeCount_->setText(tr("%n node(s)", nullptr, static_cast<int>(document_->compiler().tree().size())));
}

void CMainFrame::saveCommand() { (void)saveModule(); }

// False when nothing was saved: refused, cancelled or failed.
bool CMainFrame::saveModule() {
  if (!document_->hasNodes()) {
    MessageBoxA(nullptr, "Compiled MIB file doesn't contain any OIDs. Nothing to save.", kTitle,
                MB_OK | MB_ICONINFORMATION);
    return false;
  }
  std::filesystem::path folder = preferences_.savePath.empty()
                                     ? std::filesystem::path(lastSource_).parent_path()
                                     : std::filesystem::path(preferences_.savePath);
  std::optional<std::string> path = prompts_->fileToSave((folder / (document_->module() + ".smidb")).string());
  if (!path) return false;
  if (preferences_.warnOverwrite && std::filesystem::exists(*path)) {
    std::string question = "File " + *path + " already exists.\nDo you want to replace it?";
    if (!ask(question.c_str())) return false;
  }
  showStatus(tr("Saving..."));
  std::string error;
  CompilerDocument::SaveOutcome outcome = document_->save(*path, error);
  showStatus(tr("Ready"));
  showTitle();
  if (outcome == CompilerDocument::SaveOutcome::writeFailed) showError(error);
  if (outcome == CompilerDocument::SaveOutcome::registrationFailed)
    showError("Module " + document_->module() + " was saved but not registered: " + error);
  return outcome == CompilerDocument::SaveOutcome::saved;
}

void CMainFrame::removeAllCommand() {
  if (preferences_.warnBeforeRemove &&
      !ask("This operation will delete all compiled MIB file databases (SMIDB) from disk and remove all related "
           "entries from the system registry! Do you wish to proceed?")) {
    return;
  }
  for (const std::string& failure : removeAllModules()) showError(failure);
  document_->markUnsaved();
  showTitle();
}

void CMainFrame::findCommand() {
  std::optional<std::string> text = prompts_->textToFind(findText_);
  if (!text) return;
  findText_ = *text;
  if (!tree_->selectNextMatching(QString::fromStdString(findText_), true))
    MessageBoxA(nullptr, "Object not found", "Find Error", MB_OK | MB_ICONINFORMATION);
}

void CMainFrame::findNextCommand() {
  if (findText_.empty()) return findCommand();
  if (!tree_->selectNextMatching(QString::fromStdString(findText_), false))
    MessageBoxA(nullptr, "Object not found", "Find Error", MB_OK | MB_ICONINFORMATION);
}

void CMainFrame::preferencesCommand() {
  if (std::optional<Preferences> changed = prompts_->changedPreferences(preferences_)) {
    preferences_ = *changed;
    if (!writePreferences(preferences_)) showError("The preferences could not be written to the registry.");
  }
}

void CMainFrame::unsupportedCommand() {
  MessageBoxA(nullptr, "This function is not supported in this release of MIB Compiler.", "Information",
              MB_OK | MB_ICONINFORMATION);
}

void CMainFrame::webPageCommand(unsigned code) { setURL(code); }

void CMainFrame::aboutCommand() {
  QMessageBox::about(this, tr("About %1").arg(QLatin1String(kTitle)),
                     tr("<h3>%1</h3><p>Version %2</p><p>Compiles SMI MIB modules into SMIDB files and "
                        "registers them for the programs that read MIBs.</p>")
                         .arg(QLatin1String(kTitle), QApplication::applicationVersion()));
}

// With unsaved modules (and the preference on), Yes saves first, No
// leaves without saving and Cancel stays.
bool CMainFrame::maySaveBeforeExit() {
  if (!preferences_.warnNotSaved || !document_->unsaved()) return true;
  int answer = MessageBoxA(nullptr, "One or more compiled MIB files are not saved!\nWould you like to save them now?",
                           kTitle, MB_YESNOCANCEL | MB_ICONQUESTION);
  if (answer == IDYES) return saveModule();
  return answer == IDNO;
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  if (!maySaveBeforeExit()) {
    event->ignore();
    return;
  }
  if (preferences_.saveSourcePaths) document_->registerOnExit();
  saveLayout();
  writePreferences(preferences_);
  event->accept();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
  for (const QUrl& url : event->mimeData()->urls()) {
    if (!url.isLocalFile()) continue;
    event->acceptProposedAction();
    // After the drop has finished, so that the source application is free.
    QMetaObject::invokeMethod(this, [this, file = url.toLocalFile()] { compileFile(file); }, Qt::QueuedConnection);
    return;
  }
}

void CMainFrame::restoreLayout() {
  if (!restoreGeometry(toBytes(readLayout("Layout", "Main Window")))) resize(1100, 760);
  restoreState(toBytes(readLayout("Toolbars", "State")));
  if (!vertical_->restoreState(toBytes(readLayout("Layout", "Vertical splitter")))) vertical_->setSizes({460, 640});
  if (!horizontal_->restoreState(toBytes(readLayout("Layout", "Horizontal splitter"))))
    horizontal_->setSizes({520, 200});
}

void CMainFrame::saveLayout() {
  writeLayout("Layout", "Main Window", fromBytes(saveGeometry()));
  writeLayout("Layout", "Vertical splitter", fromBytes(vertical_->saveState()));
  writeLayout("Layout", "Horizontal splitter", fromBytes(horizontal_->saveState()));
  writeLayout("Toolbars", "State", fromBytes(saveState()));
}

void CMainFrame::showTitle() {
  const std::string& module = document_->module();
  setWindowTitle(module.empty() ? QString::fromLatin1(kTitle) : QString::fromStdString(module) + QStringLiteral("[*]"));
  setWindowModified(document_->unsaved());
}

void CMainFrame::showStatus(const QString& text) {
  statusBar()->showMessage(text);
  // A compile runs inside the command: the bar must show it before it starts.
  statusBar()->repaint();
}

}  // namespace modforge
