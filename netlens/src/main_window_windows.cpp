// The main window's secondary windows, the compiler, help and the
// clearing of every history.
#include "main_window.h"

#include "about_window.h"
#include "artwork.h"
#include "browser_texts.h"
#include "discover_window.h"
#include "info_window.h"
#include "mib_node.h"
#include "node_info_window.h"
#include "preferences_tab.h"
#include "query_tab.h"
#include "set_window.h"
#include "status_panels.h"
#include "trap_console.h"

#include "platform/message_box.h"
#include "platform/processes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

#include <cerrno>

namespace netlens {

void TZormNL32::closeAllWindows() {
  histories_.setBulkOperation(true);
  for (QWidget* window : {static_cast<QWidget*>(setWindow_), static_cast<QWidget*>(nodeInfoWindow_),
                          static_cast<QWidget*>(discoverWindow_), static_cast<QWidget*>(trapConsole_)}) {
    if (window) window->hide();
  }
  closeInfoWindows();
  histories_.setBulkOperation(false);
}

void TZormNL32::showDiscoverWindow() {
  if (discoverWindow_->isMinimized()) discoverWindow_->showNormal();
  discoverWindow_->show();
  discoverWindow_->raise();
  discoverWindow_->activateWindow();
}

void TZormNL32::showTrapConsole() { trapConsole_->showConsole(); }

void TZormNL32::drawTrapAlarm() {
  trapAlarmPanel_->setPixmap(artwork::trapAlarm(trapAlarm_.state, trapAlarm_.flash, devicePixelRatioF()));
}

bool TZormNL32::popupOnTrap() const { return preferencesTab_->CheckBoxPopupOnTrap->isChecked(); }
bool TZormNL32::beepOnTrap() const { return preferencesTab_->CheckBoxBeepOnTrap->isChecked(); }

void TZormNL32::trapReceivedFrom(const QString& agent) {
  // Without a pop-up or a beep the alarm is the only sign of a trap.
  if (!popupOnTrap() && !beepOnTrap()) actions_.at(QStringLiteral("actionStatusBar"))->setChecked(true);
  statusTextPanel_->setText(QStringLiteral("Trap received from ") + agent + QStringLiteral("."));
}

void TZormNL32::showIndexTableWindow() {
  if (!isTableNode(selectedNode())) {
    MessageBoxA(nullptr, "For this operation you have to select a table node.", "Error", MB_OK | MB_ICONERROR);
    return;
  }
  showTableIndexWindow(selectedNode());
}

void TZormNL32::showAbout() {
  aboutWindow_->setWelcome(false);
  aboutWindow_->exec();
}

// The compiler is looked for where this program lies first, then through
// the search path, as programs are started on the platform it was made for.
void TZormNL32::RunCompilerSpeedButtonClick() {
  QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/modforge");
  QByteArray program = QFileInfo(beside).isExecutable() ? beside.toLocal8Bit() : QByteArray();
  char commandLine[] = "modforge";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  errno = 0;
  if (!CreateProcessA(program.isEmpty() ? nullptr : program.constData(), commandLine, nullptr, nullptr, FALSE, 0,
                      nullptr, nullptr, &startup, &started)) {
    QByteArray text =
        (QStringLiteral("Can not run Orvane MIB Compiler (") + QString::number(errno) + QStringLiteral(")!")).toUtf8();
    MessageBoxA(nullptr, text.constData(), "Error", MB_OK | MB_ICONERROR);
    return;
  }
  CloseHandle(started.hProcess);
}

void TZormNL32::SpeedButtonHelpClick() {
  QFileInfo help(helpFile_);
  if (help.isRelative()) help = QFileInfo(QCoreApplication::applicationDirPath() + QLatin1Char('/') + helpFile_);
  if (help.exists() && QDesktopServices::openUrl(QUrl::fromLocalFile(help.absoluteFilePath()))) return;
  QByteArray text = (QStringLiteral("The help file ") + helpFile_ + QStringLiteral(" could not be opened.")).toUtf8();
  MessageBoxA(nullptr, text.constData(), kNotIncludedTitle, MB_OK | MB_ICONINFORMATION);
}

void TZormNL32::confirmClearAllHistories() {
  if (preferencesTab_->CheckBoxWarnBeforeClear->isChecked() &&
      MessageBoxA(nullptr, "This will clear all drop down history lists. Do you want to proceed?", "Warning",
                  MB_YESNO | MB_ICONEXCLAMATION) != IDYES) {
    return;
  }
  clearAllHistories();
}

void TZormNL32::clearAllHistories() {
  for (QComboBox* box : {queryTab_->ComboBoxRSnmpAgent, preferencesTab_->ComboBoxCommunity,
                         preferencesTab_->ComboBoxSnmpPort}) {
    clearHistory(*box);
  }
  if (setWindow_) setWindow_->clearHistories();
  if (discoverWindow_) discoverWindow_->clearHistories();
}

}  // namespace netlens
