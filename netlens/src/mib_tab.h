// The main window's "MIB" tab: the loaded modules above, the available
// (registered, not loaded) modules below, and between them the buttons
// that move modules from one list to the other. Modules dragged from one
// list and dropped on the other move too.
#pragma once

#include <QTreeWidget>
#include <QWidget>

class QSplitter;
class QToolButton;

namespace netlens {

// A module list that takes drops from its partner list only.
class ModuleListView : public QTreeWidget {
  Q_OBJECT

 public:
  explicit ModuleListView(QWidget* parent);
  void setPartner(ModuleListView* partner) { partner_ = partner; }

 signals:
  // Items of the partner were dropped here.
  void droppedFromPartner();

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  ModuleListView* partner_ = nullptr;
};

class MibTab : public QWidget {
  Q_OBJECT

 public:
  explicit MibTab(QWidget* parent);

  // The height of the button panel plus the available list, kept between
  // the panel's height + 60 and the tab's height - 60.
  int lowerHeight() const { return lowerHeight_; }
  void setLowerHeight(int height);

  ModuleListView* ListViewLoaded;
  ModuleListView* ListViewAvailable;
  QToolButton* ButtonLoadAll;
  QToolButton* ButtonLoadSelected;
  QToolButton* ButtonRefresh;
  QToolButton* ButtonUnloadSelected;
  QToolButton* ButtonUnloadAll;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void applySplit();
  int clampedHeight(int height) const;

  QSplitter* splitter_;
  QWidget* buttonPanel_;
  int lowerHeight_ = 200;
};

}  // namespace netlens
