// The MIB tab: the lists of loaded and available modules, loading and
// unloading, and module properties.
#include "main_window.h"

#include "artwork.h"
#include "browser_texts.h"
#include "mib_tab.h"
#include "node_info_window.h"
#include "node_properties.h"

#include "platform/message_box.h"

#include <QMenu>
#include <QTreeWidget>

#include <memory>
#include <set>
#include <string>

namespace netlens {
namespace {

constexpr UINT kIdentitySize = 1024;
constexpr char kNoModulesText[] = "No compiled MIB modules available. Please run MIB compiler.";

// The identities an enumeration of modbase gives: index 0 first (which
// prepares it), then 1, 2 ... until a call fails.
template <class Enumerate>
std::vector<QString> enumerated(Enumerate enumerate) {
  std::vector<QString> names;
  char buffer[kIdentitySize] = {};
  if (!enumerate(0, buffer, kIdentitySize - 1)) return names;
  for (INT index = 1; enumerate(index, buffer, kIdentitySize - 1); ++index) names.push_back(QString::fromUtf8(buffer));
  return names;
}

QTreeWidgetItem* moduleItem(const QString& identity, int image) {
  auto* item = new QTreeWidgetItem({identity});
  item->setIcon(0, artwork::listImage(image));
  return item;
}

}  // namespace

void TZormNL32::addLoadedItem(const QString& identity) {
  QTreeWidgetItem* item = moduleItem(identity, 16);
  WSM_MODULE_INFO info{};
  info.dwSize = WSM_MODULE_INFO_SIZE;
  if (WsmGetModuleInfo(identity.toUtf8().constData(), &info)) {
    quint64 size = (quint64{info.dwFileSizeHigh} << 32) | info.dwFileSizeLow;
    item->setText(1, QString::fromUtf8(info.szRootOid));
    item->setText(2, QString::number(info.dwNodeCount));
    item->setText(3, QString::number(size) + QStringLiteral(" B"));
    item->setText(4, moduleDatabasePath(info));
  }
  item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
  item->setTextAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
  mibTab_->ListViewLoaded->addTopLevelItem(item);
}

void TZormNL32::refreshModuleLists() {
  ModuleListView* loaded = mibTab_->ListViewLoaded;
  ModuleListView* available = mibTab_->ListViewAvailable;
  loaded->clear();
  available->clear();
  std::set<QString> loadedNames;
  for (const QString& identity : enumerated(WsmEnumLoadedModule)) {
    addLoadedItem(identity);
    loadedNames.insert(identity);
  }
  for (const QString& identity : enumerated(WsmEnumRegisteredModule)) {
    if (!loadedNames.count(identity)) available->addTopLevelItem(moduleItem(identity, 16));
  }
  noModulesAvailable_ = loaded->topLevelItemCount() == 0 && available->topLevelItemCount() == 0;
  if (noModulesAvailable_) available->addTopLevelItem(moduleItem(QString::fromLatin1(kNoModulesText), 12));
  fitModuleColumns();
  buildMibTree();
}

void TZormNL32::fitModuleColumns() {
  ModuleListView* loaded = mibTab_->ListViewLoaded;
  for (int column = 0; column < loaded->columnCount(); ++column) loaded->resizeColumnToContents(column);
}

void TZormNL32::loadModules(const QList<QTreeWidgetItem*>& items) {
  if (noModulesAvailable_) {
    RunCompilerSpeedButtonClick();
    return;
  }
  bool changed = false;
  for (auto item = items.rbegin(); item != items.rend(); ++item) {
    QString identity = (*item)->text(0);
    // A module that fails to load stays where it is; the others still load.
    if (!WsmLoadModule(identity.toUtf8().constData())) continue;
    delete *item;
    addLoadedItem(identity);
    changed = true;
  }
  if (!changed) return;
  fitModuleColumns();
  buildMibTree();
}

void TZormNL32::unloadModules(const QList<QTreeWidgetItem*>& items) {
  bool changed = false;
  for (auto item = items.rbegin(); item != items.rend(); ++item) {
    QString identity = (*item)->text(0);
    if (!WsmUnloadModule(identity.toUtf8().constData())) continue;
    delete *item;
    mibTab_->ListViewAvailable->addTopLevelItem(moduleItem(identity, 16));
    changed = true;
  }
  if (!changed) return;
  fitModuleColumns();
  buildMibTree();
}

void TZormNL32::loadSelectedModules() { loadModules(mibTab_->ListViewAvailable->selectedItems()); }

void TZormNL32::unloadSelectedModules() { unloadModules(mibTab_->ListViewLoaded->selectedItems()); }

void TZormNL32::loadAllModules() {
  QList<QTreeWidgetItem*> all;
  for (int index = 0; index < mibTab_->ListViewAvailable->topLevelItemCount(); ++index) {
    all << mibTab_->ListViewAvailable->topLevelItem(index);
  }
  loadModules(all);
}

void TZormNL32::unloadAllModules() {
  QList<QTreeWidgetItem*> all;
  for (int index = 0; index < mibTab_->ListViewLoaded->topLevelItemCount(); ++index) {
    all << mibTab_->ListViewLoaded->topLevelItem(index);
  }
  unloadModules(all);
}

void TZormNL32::availableItemActivated() {
  if (noModulesAvailable_) RunCompilerSpeedButtonClick();
  else loadSelectedModules();
}

void TZormNL32::showModulePopup(bool loadedList, const QPoint& position) {
  ModuleListView* list = loadedList ? mibTab_->ListViewLoaded : mibTab_->ListViewAvailable;
  QTreeWidgetItem* item = list->itemAt(position);
  auto menu = std::make_unique<QMenu>(this);
  if (loadedList) {
    menu->addAction(QStringLiteral("&Unload MIB Module"), this, &TZormNL32::unloadSelectedModules);
    QAction* properties = menu->addAction(QStringLiteral("&Properties"), this, [this, item] {
      nodeInfoWindow_->showText(modulePropertiesCaption(item->text(0)), modulePropertyLines(item->text(0)));
    });
    properties->setEnabled(item != nullptr);
  } else {
    menu->addAction(QStringLiteral("&Load MIB Module"), this, &TZormNL32::availableItemActivated);
    menu->addAction(QStringLiteral("&Run MIB Compiler"), this, &TZormNL32::RunCompilerSpeedButtonClick);
    menu->addAction(QStringLiteral("&Properties"), this, [] {
      MessageBoxA(nullptr, kNotIncludedText, kNotIncludedTitle, MB_OK | MB_ICONINFORMATION);
    });
  }
  menu->exec(list->viewport()->mapToGlobal(position));
}

}  // namespace netlens
