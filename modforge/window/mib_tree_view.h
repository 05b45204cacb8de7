// CMibTreeView: the compiled MIB tree, one item per node, under the roots.
#pragma once

#include "modforge/mib_tree.h"

#include <QTreeWidget>

namespace modforge {

class CMibTreeView final : public QTreeWidget {
  Q_OBJECT

 public:
  explicit CMibTreeView(QWidget* parent = nullptr);

  // Shows the nodes of `tree` (nothing when null), expanded all the way
  // or down to the roots' children only.
  void fill(const MibTree* tree, bool expandAll);
  // Selects the next node after the current one (or the first node when
  // `fromTop`) whose name contains `text`, without regard to case; false
  // when there is none.
  bool selectNextMatching(const QString& text, bool fromTop);
  // Selects the node's item and brings it to the middle of the view.
  void selectNode(const Node* node);
  [[nodiscard]] const Node* selectedNode() const;

 signals:
  void nodeSelected(const Node* node);

 private:
  QIcon branchIcon_;
  QIcon leafIcon_;
};

}  // namespace modforge
