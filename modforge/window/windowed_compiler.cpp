#include "windowed_compiler.h"

#include "file_types.h"
#include "main_frame.h"
#include "single_instance.h"

#include "platform/gui_bridge.h"
#include "platform/messages.h"
#include "smidb_registration.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>
#include <cstdlib>

namespace modforge {
namespace {

bool environmentSet(const char* name) {
  const char* value = std::getenv(name);
  return value && *value;
}

QString absolute(const std::string& path) { return QFileInfo(QString::fromStdString(path)).absoluteFilePath(); }

void bringToFront(QWidget& window) {
  if (window.isMinimized()) window.showNormal();
  window.raise();
  window.activateWindow();
}

}  // namespace

bool displayAvailable() {
  return environmentSet("QT_QPA_PLATFORM") || environmentSet("DISPLAY") || environmentSet("WAYLAND_DISPLAY");
}

int runWindowedCompiler(int argc, char** argv, const std::vector<std::string>& files) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("modforge"));
  QApplication::setApplicationDisplayName(QStringLiteral("Orvane MIB Compiler"));
  QApplication::setApplicationVersion(QStringLiteral(MODFORGE_VERSION));
  QApplication::setOrganizationName(QStringLiteral("Orvane"));
  QApplication::setDesktopFileName(QStringLiteral("modforge"));
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/modforge/modforge.svg")));
  platform::gui::installMessageBoxDialogs();

  // A file handed over travels with its full path: the running instance
  // has a working folder of its own.
  QString file = files.empty() ? QString() : absolute(files.front());
  SingleInstance instance;
  CMainFrame* frame = nullptr;
  if (!instance.becomeTheInstance([&frame](const QString& path) {
        if (!frame) return;
        bringToFront(*frame);
        if (!path.isEmpty()) frame->compileFile(path);
      })) {
    if (SingleInstance::handOver(file)) return 0;
    std::fprintf(stderr, "modforge: the running compiler window does not answer; opening another\n");
  }
  RegisterWindowMessageA("Orvane MIB Compiler Message");
  smidb::compactModuleRegistry();

  CMainFrame window;
  frame = &window;
  if (window.preferences().setFileTypes &&
      !registerSourceFileTypes(QCoreApplication::applicationFilePath().toStdString())) {
    std::fprintf(stderr, "modforge: the MIB file types could not be registered\n");
  }
  window.show();
  for (size_t i = 1; i < files.size(); ++i)
    window.logView().message("One file is compiled at a time; not compiling " + files[i]);
  if (!file.isEmpty())
    QMetaObject::invokeMethod(&window, [&window, file] { window.compileFile(file); }, Qt::QueuedConnection);
  return QApplication::exec();
}

}  // namespace modforge
