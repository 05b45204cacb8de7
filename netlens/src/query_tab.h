// The main window's "Query" tab: the agent box, the MIB tree and the
// results pane, split one above the other. Either part can be enlarged to
// fill the tab; the split keeps its offset from the middle when the tab
// changes size.
#pragma once

#include <QWidget>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QPlainTextEdit;
class QSplitter;
class QToolButton;
class QTreeWidget;

namespace netlens {

// Size states of the tab.
enum QuerySize { kSplit = 0, kTreeEnlarged = 1, kResultsEnlarged = 2 };

class QueryTab : public QWidget {
  Q_OBJECT

 public:
  explicit QueryTab(QWidget* parent);

  int sizeState() const { return sizeState_; }
  void setSizeState(int state);
  // The tree's height is half the split area's height plus this offset,
  // kept within 60 pixels of either end.
  int splitOffset() const { return splitOffset_; }
  void setSplitOffset(int offset);

  QComboBox* ComboBoxRSnmpAgent;
  QCheckBox* CheckBoxBrowseAll;
  QGroupBox* treeGroup;
  QTreeWidget* MibTreeView;
  QToolButton* treeSizeButton;
  QGroupBox* resultsGroup;
  QPlainTextEdit* MemoBResult;
  QToolButton* resultsSizeButton;

 signals:
  void sizeStateChanged(int state);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void applySplit();
  int clampedOffset(int offset) const;
  void splitterMoved();

  QSplitter* splitter_;
  int sizeState_ = kSplit;
  int splitOffset_ = -14;
};

}  // namespace netlens
