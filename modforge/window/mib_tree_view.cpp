#include "mib_tree_view.h"

#include <QHeaderView>
#include <QStyle>
#include <QTreeWidgetItemIterator>

#include <unordered_map>

namespace modforge {
namespace {

constexpr int kNodeRole = Qt::UserRole;

const Node* nodeOf(const QTreeWidgetItem* item) {
  return item ? static_cast<const Node*>(item->data(0, kNodeRole).value<const void*>()) : nullptr;
}

QString itemText(const Node& node) {
  QString name = QString::fromStdString(node.name);
  return node.oid.empty() ? name : name + QStringLiteral(" (%1)").arg(node.oid.back());
}

}  // namespace

CMibTreeView::CMibTreeView(QWidget* parent) : QTreeWidget(parent) {
  setColumnCount(1);
  header()->hide();
  // Long names widen the column and bring a horizontal scroll bar instead of being cut.
  header()->setStretchLastSection(false);
  header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  setUniformRowHeights(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  QStyle* look = style();
  branchIcon_.addPixmap(look->standardPixmap(QStyle::SP_DirClosedIcon), QIcon::Normal, QIcon::Off);
  branchIcon_.addPixmap(look->standardPixmap(QStyle::SP_DirOpenIcon), QIcon::Normal, QIcon::On);
  leafIcon_ = look->standardIcon(QStyle::SP_FileIcon);
  connect(this, &QTreeWidget::currentItemChanged, this,
          [this](QTreeWidgetItem* current) { emit nodeSelected(nodeOf(current)); });
}

void CMibTreeView::fill(const MibTree* tree, bool expandAll) {
  clear();
  if (!tree) return;
  setUpdatesEnabled(false);
  std::unordered_map<const Node*, QTreeWidgetItem*> items;
  // The global list is depth-first, so a parent's item exists before its children's.
  for (const Node* node = tree->first(); node; node = node->next) {
    auto parent = items.find(node->parent);
    auto* item = parent == items.end() ? new QTreeWidgetItem(this) : new QTreeWidgetItem(parent->second);
    item->setText(0, itemText(*node));
    item->setToolTip(0, QString::fromStdString(oidText(node->oid)));
    item->setData(0, kNodeRole, QVariant::fromValue(static_cast<const void*>(node)));
    item->setIcon(0, node->firstChild ? branchIcon_ : leafIcon_);
    items.emplace(node, item);
  }
  if (expandAll) {
    this->expandAll();
  } else {
    for (int i = 0; i < topLevelItemCount(); ++i) topLevelItem(i)->setExpanded(true);
  }
  setUpdatesEnabled(true);
}

bool CMibTreeView::selectNextMatching(const QString& text, bool fromTop) {
  QTreeWidgetItemIterator at(this);
  if (!fromTop && currentItem()) {
    while (*at && *at != currentItem()) ++at;
    if (*at) ++at;
  }
  for (; *at; ++at) {
    const Node* node = nodeOf(*at);
    if (node && QString::fromStdString(node->name).contains(text, Qt::CaseInsensitive)) {
      setCurrentItem(*at);
      scrollToItem(*at, QAbstractItemView::PositionAtCenter);
      return true;
    }
  }
  return false;
}

void CMibTreeView::selectNode(const Node* node) {
  for (QTreeWidgetItemIterator at(this); *at; ++at) {
    if (nodeOf(*at) == node) {
      setCurrentItem(*at);
      scrollToItem(*at, QAbstractItemView::PositionAtCenter);
      return;
    }
  }
}

const Node* CMibTreeView::selectedNode() const { return nodeOf(currentItem()); }

}  // namespace modforge
