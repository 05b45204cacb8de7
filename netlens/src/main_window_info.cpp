// The main window's info windows: opening them in free slots, their menu
// items, polling them all at once, and the table-index window.
#include "main_window.h"

#include "info_window.h"
#include "mib_node.h"
#include "preferences_tab.h"
#include "query_tab.h"
#include "table_index_window.h"

#include <QAction>
#include <QComboBox>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>

#include <algorithm>
#include <vector>

namespace netlens {

void TZormNL32::connectInfoWindowCommands() {
  connect(actions_.at(QStringLiteral("actionPollInfo")), &QAction::toggled, this, [this](bool polling) {
    for (TInfoForm* window : infoForms_) {
      if (window) window->setPolling(polling);
    }
  });
}

int TZormNL32::infoWindowCount() const {
  int count = 0;
  for (TInfoForm* window : infoForms_) count += window ? 1 : 0;
  return count;
}

void TZormNL32::newInfoWindow() { openInfoWindow(TInfoForm::standardKind); }

TInfoForm* TZormNL32::openInfoWindow(int kind, const QString& root, const QString& entryOid,
                                     const QStringList& indexes, const QString& agent) {
  if (infoWindowCount() >= kMaximumInfoWindows) return nullptr;
  int slot = 0;
  while (infoForms_[slot]) ++slot;
  TInfoForm::Setup setup;
  setup.slot = slot;
  setup.kind = static_cast<TInfoForm::Kind>(kind);
  setup.root = root;
  setup.entryOid = entryOid;
  setup.indexes = indexes;
  setup.agent = agent.isEmpty() ? queryTab_->ComboBoxRSnmpAgent->currentText() : agent;
  setup.community = preferencesTab_->ComboBoxCommunity->currentText();
  setup.port = static_cast<UINT>(preferencesTab_->ComboBoxSnmpPort->currentText().trimmed().toUInt());
  if (!setup.port) setup.port = 161;
  setup.polling = actions_.at(QStringLiteral("actionPollInfo"))->isChecked();

  auto* window = new TInfoForm(*this, setup);
  infoForms_[slot] = window;
  connect(window, &TInfoForm::closed, this, &TZormNL32::infoWindowClosed);
  connect(window, &TInfoForm::agentChanged, this, &TZormNL32::infoWindowAgentChanged);
  QAction* item = infoWindowsMenu_->addAction(window->caption() + QStringLiteral("  ") + setup.agent);
  connect(item, &QAction::triggered, window, [window] {
    if (window->isMinimized()) window->showNormal();
    window->show();
    window->raise();
    window->activateWindow();
  });
  infoMenuItems_[window] = item;
  infoWindowsMenu_->setEnabled(true);
  if (infoWindowCount() >= kMaximumInfoWindows) actions_.at(QStringLiteral("actionAgentInfo"))->setEnabled(false);
  window->show();
  return window;
}

void TZormNL32::infoWindowClosed(TInfoForm* window) {
  infoForms_[window->slot()] = nullptr;
  auto item = infoMenuItems_.find(window);
  if (item != infoMenuItems_.end()) {
    delete item->second;
    infoMenuItems_.erase(item);
  }
  infoWindowsMenu_->setEnabled(!infoMenuItems_.empty());
  actions_.at(QStringLiteral("actionAgentInfo"))->setEnabled(true);
}

void TZormNL32::infoWindowAgentChanged(TInfoForm* window) {
  auto item = infoMenuItems_.find(window);
  if (item != infoMenuItems_.end()) item->second->setText(window->caption() + QStringLiteral("  ") + window->agent());
}

// Closing frees each window (its settings are saved then).
void TZormNL32::closeInfoWindows() {
  // Closed windows not yet deleted go too, before the library stops.
  for (TInfoForm* window : findChildren<TInfoForm*>(Qt::FindDirectChildrenOnly)) {
    if (infoForms_[window->slot()] == window) window->close();
    delete window;
  }
  if (tableIndexWindow_) tableIndexWindow_->hide();
}

void TZormNL32::arrangeInfoWindows(bool reverse) {
  QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  QRect area = screen->availableGeometry();
  std::vector<TInfoForm*> windows;
  for (TInfoForm* window : infoForms_) {
    if (window && window->isVisible() && !window->isMinimized()) windows.push_back(window);
  }
  if (reverse) std::reverse(windows.begin(), windows.end());
  histories_.setBulkOperation(true);
  int left = area.left(), bottom = area.bottom() + 1, rowHeight = 0;
  for (TInfoForm* window : windows) {
    QSize size = window->frameGeometry().size();
    if (left > area.left() && left + size.width() > area.right() + 1) {
      left = area.left();
      bottom -= rowHeight;
      rowHeight = 0;
    }
    window->move(left, std::max(area.top(), bottom - size.height()));
    left += size.width();
    rowHeight = std::max(rowHeight, size.height());
  }
  histories_.setBulkOperation(false);
}

void TZormNL32::setInfoWindowsMinimized(bool minimized) {
  histories_.setBulkOperation(true);
  for (TInfoForm* window : infoForms_) {
    if (!window) continue;
    if (minimized) {
      window->showMinimized();
    } else {
      window->showNormal();
    }
  }
  histories_.setBulkOperation(false);
}

void TZormNL32::showTableIndexWindow(HWSM_NODE node) {
  if (!tableIndexWindow_) tableIndexWindow_ = new TFormTableIndex(*this, this);
  tableIndexWindow_->showFor(node);
}

}  // namespace netlens
