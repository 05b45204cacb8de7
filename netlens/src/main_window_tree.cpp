// The main window's MIB tree: building it from the loaded modules, its
// selection, its pop-up menu, the node properties and the Query tab's size.
#include "main_window.h"

#include "artwork.h"
#include "binding_text.h"
#include "info_window.h"
#include "mib_node.h"
#include "node_info_window.h"
#include "node_properties.h"
#include "preferences_tab.h"
#include "query_tab.h"
#include "set_window.h"
#include "status_panels.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QMenu>
#include <QTabWidget>
#include <QTreeWidget>

#include <map>
#include <memory>
#include <tuple>
#include <vector>

namespace netlens {
namespace {

constexpr int kDeepestLevel = 255;

struct NodeLook {
  int image;
  int selected;
  int overlay;
};

// The images of a node; later rules win over earlier ones.
NodeLook nodeLook(HWSM_NODE node, const std::string& name, const std::string& parentName) {
  NodeLook look{0, 1, 0};
  smiUINT32 kind = nodeInt(node, WSM_NODE_KIND).value_or(0);
  if (kind >= 1 && kind <= 7) look = {4, 5, 0};
  if (endsWithWord(name, "Table")) look = {2, 3, 0};
  if (endsWithWord(name, "Entry")) look = {6, 7, 0};
  if (endsWithWord(parentName, "Entry")) look = {20, 21, 0};
  OwnedOid oid = nodeOid(node);
  if (oid.get().len == 2 && oid.get().ptr[0] == 0 && oid.get().ptr[1] == 0) look = {4, 5, 2};
  return look;
}

// Icons are shared by every node that looks the same.
class IconCache {
 public:
  const QIcon& icon(const NodeLook& look) {
    auto key = std::make_tuple(look.image, look.selected, look.overlay);
    auto found = icons_.find(key);
    if (found == icons_.end()) {
      found = icons_.emplace(key, artwork::treeNodeIcon(look.image, look.selected, look.overlay)).first;
    }
    return found->second;
  }

 private:
  std::map<std::tuple<int, int, int>, QIcon> icons_;
};

// "(3) system": a node's last sub-identifier and name, as the Path and
// Contents items show it.
QString relativeCaption(HWSM_NODE node) {
  OwnedOid oid = nodeOid(node);
  QString number = oid.empty() ? QString() : QString::number(oid.get().ptr[oid.get().len - 1]);
  return QStringLiteral("(") + number + QStringLiteral(") ") + QString::fromStdString(nodeName(node));
}

}  // namespace

HWSM_NODE TZormNL32::nodeOfItem(QTreeWidgetItem* item) const {
  return item ? static_cast<HWSM_NODE>(item->data(0, kNodeRole).value<quintptr>()) : 0;
}

HWSM_NODE TZormNL32::selectedNode() const { return nodeOfItem(queryTab_->MibTreeView->currentItem()); }

void TZormNL32::buildMibTree() {
  QTreeWidget* tree = queryTab_->MibTreeView;
  QTreeWidgetItem* current = tree->currentItem();
  QString remembered = current ? current->text(0) : QStringLiteral("***");
  bool icons = preferencesTab_->CheckBoxTreeIcons->isChecked();
  tree->setUpdatesEnabled(false);
  tree->clearSelection();
  tree->clear();
  IconCache cache;
  auto show = [&](QTreeWidgetItem* item, const NodeLook& look) {
    item->setData(0, kImageRole, look.image);
    item->setData(0, kOverlayRole, look.overlay);
    if (icons) item->setIcon(0, cache.icon(look));
  };
  // The tree is put together apart from the view and handed over whole:
  // a view told of every single node would take minutes for a large MIB.
  auto* root = new QTreeWidgetItem(QStringList{QStringLiteral("MIB Tree")});
  show(root, {18, 19, 0});

  HWSM_NODE node = WsmMapStrToNode(nullptr);
  if (node) {
    std::vector<QTreeWidgetItem*> levels(kDeepestLevel + 2, nullptr);
    levels[0] = root;
    int depth = 1;
    while (node) {
      std::string name = nodeName(node);
      QTreeWidgetItem* above = levels[depth - 1];
      auto* item = new QTreeWidgetItem(above, {QString::fromStdString(name)});
      item->setData(0, kNodeRole, QVariant::fromValue<quintptr>(node));
      show(item, nodeLook(node, name, above == root ? std::string() : above->text(0).toStdString()));
      levels[depth] = item;
      HWSM_NODE child = depth < kDeepestLevel ? WsmFindNodeChild(node) : 0;
      if (child) {
        node = child;
        ++depth;
        continue;
      }
      // The next sibling, or the next sibling of the nearest ancestor that has one.
      for (HWSM_NODE next = 0; node; --depth) {
        if ((next = WsmFindNodeNextSibling(node))) {
          node = next;
          break;
        }
        node = depth > 1 ? WsmFindNodeParent(node) : 0;
      }
    }
    tree->addTopLevelItem(root);
    root->setExpanded(true);
    if (preferencesTab_->CheckBoxFullExpand->isChecked()) tree->expandAll();
    QTreeWidgetItem* again = root;
    if (remembered != QLatin1String("***")) {
      QList<QTreeWidgetItem*> same =
          tree->findItems(remembered, Qt::MatchExactly | Qt::MatchCaseSensitive | Qt::MatchRecursive);
      again = same.isEmpty() ? nullptr : same.first();
    }
    if (again) tree->setCurrentItem(again);
  } else {
    auto* none = new QTreeWidgetItem(root, {QStringLiteral("No MIB modules loaded")});
    show(none, {4, 5, 1});
    tree->addTopLevelItem(root);
    root->setExpanded(true);
  }
  if (!tree->currentItem()) tree->setCurrentItem(root);
  tree->scrollToItem(tree->currentItem());
  tree->setUpdatesEnabled(true);
  treeSelectionChanged();
}

void TZormNL32::treeSelectionChanged() {
  QTreeWidgetItem* item = queryTab_->MibTreeView->currentItem();
  if (!item) {
    statusTextPanel_->setText(QStringLiteral("No node selected"));
    return;
  }
  OwnedOid oid = nodeOid(nodeOfItem(item));
  statusTextPanel_->setText(oid.empty() ? QStringLiteral("Node ") + item->text(0)
                                        : QStringLiteral("OID ") + QString::fromStdString(dottedOid(oid.get())));
}

QMenu* TZormNL32::preparePopupMenu(QTreeWidgetItem* item) {
  popupNode_ = nodeOfItem(item);
  HWSM_NODE node = popupNode_;
  auto* menu = new QMenu(this);
  auto add = [&](const QString& caption, bool enabled, auto handler) {
    QAction* action = menu->addAction(caption, this, handler);
    action->setEnabled(enabled);
    return action;
  };
  add(QStringLiteral("&Contact"), actions_.at(QStringLiteral("actionContact"))->isEnabled(),
      &TZormNL32::SpeedButtonContactClick);
  add(QStringLiteral("&Query"), actions_.at(QStringLiteral("actionQuery"))->isEnabled(),
      &TZormNL32::SpeedButtonQueryClick);
  add(QStringLiteral("&Info"), true, [this] {
    std::string root = popupNode_ ? nodeName(popupNode_) : std::string(kWholeMibRoot);
    openInfoWindow(TInfoForm::subtreeKind, QString::fromStdString(root));
  });
  add(QStringLiteral("Info &Table"), node && isTableNode(node), [this] { showTableIndexWindow(popupNode_); });
  bool objectType = nodeInt(node, WSM_NODE_KIND).value_or(0) == WSM_KIND_OBJECT_TYPE;
  QString setCaption = QStringLiteral("&Set");
  auto access = nodeInt(node, WSM_NODE_ACCESS);
  if (objectType && access != WSM_ACCESS_READ_WRITE && access != WSM_ACCESS_WRITE_ONLY) {
    setCaption += QStringLiteral(" [") + QString::fromLatin1(access ? accessName(*access) : "") + QStringLiteral("]");
  }
  add(setCaption, objectType, [this] { showSetWindow(popupNode_); });

  QMenu* path = menu->addMenu(QStringLiteral("&Path"));
  for (HWSM_NODE step = node; step; step = WsmFindNodeParent(step)) {
    path->addAction(relativeCaption(step), this, [this, caption = relativeCaption(step)] {
      showPathOrContentsItem(caption);
    });
  }
  QMenu* contents = menu->addMenu(QStringLiteral("Co&ntents"));
  for (HWSM_NODE child = node ? WsmFindNodeChild(node) : 0; child; child = WsmFindNodeNextSibling(child)) {
    contents->addAction(relativeCaption(child), this, [this, caption = relativeCaption(child)] {
      showPathOrContentsItem(caption);
    });
  }
  path->setEnabled(!path->isEmpty());
  contents->setEnabled(!contents->isEmpty());

  add(QStringLiteral("&Expand"), item && item->childCount() > 0, [this, item] {
    queryTab_->MibTreeView->expandRecursively(queryTab_->MibTreeView->indexFromItem(item));
  });
  add(QStringLiteral("Collap&se"), item && item->childCount() > 0, [item] { item->setExpanded(false); });
  add(QStringLiteral("&Window Size"), true, &TZormNL32::toggleTreeSize);
  add(QStringLiteral("&Properties"), true, [this] { showNodeProperties(popupNode_); });
  return menu;
}

void TZormNL32::showTreePopup(const QPoint& position) {
  QTreeWidget* tree = queryTab_->MibTreeView;
  QTreeWidgetItem* item = tree->itemAt(position);
  if (!item) return;
  tree->setCurrentItem(item);
  std::unique_ptr<QMenu> menu(preparePopupMenu(item));
  menu->exec(tree->viewport()->mapToGlobal(position));
}

void TZormNL32::showPathOrContentsItem(const QString& caption) {
  showNodeProperties(nodeNamed(caption.section(QLatin1Char(' '), -1).toStdString()));
}

void TZormNL32::showNodeProperties(HWSM_NODE node) {
  nodeInfoWindow_->showText(nodePropertiesCaption(node), nodePropertyLines(node));
}

void TZormNL32::SpeedButtonMibNodeInfoClick() { showNodeProperties(selectedNode()); }

void TZormNL32::SpeedButtonSetClick() { showSetWindow(selectedNode()); }

void TZormNL32::showSetWindow(HWSM_NODE node) {
  if (!setWindow_->isVisible()) {
    setWindow_->prepare(queryTab_->ComboBoxRSnmpAgent->currentText(), QString::fromStdString(nodeName(node)));
  }
  setWindow_->show();
  setWindow_->raise();
  setWindow_->activateWindow();
}

void TZormNL32::toggleTreeSize() {
  queryTab_->setSizeState(queryTab_->sizeState() == kTreeEnlarged ? kSplit : kTreeEnlarged);
}

void TZormNL32::toggleResultsSize() {
  queryTab_->setSizeState(queryTab_->sizeState() == kResultsEnlarged ? kSplit : kResultsEnlarged);
}

void TZormNL32::sizeStateChanged(int) { updateSizeArrow(); }

void TZormNL32::updateSizeArrow() {
  bool onQueryTab = PageControl->currentWidget() == queryTab_;
  sizeArrowPanel_->setPixmap(artwork::sizeArrow(queryTab_->sizeState(), onQueryTab, devicePixelRatioF()));
}

}  // namespace netlens
