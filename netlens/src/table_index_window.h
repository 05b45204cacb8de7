// The table-index window ("Choose Table Index(es)"): finds the table a
// node lies in, lists the indexes of its rows as a worker thread finds
// them, and opens a table info window for the rows the user picks.
#pragma once

#include "status_light.h"
#include "table_index_thread.h"

#include "platform/gui_bridge.h"
#include "wsm.h"

#include <QTimer>
#include <QWidget>

#include <memory>

class QLabel;
class QListWidget;
class QPushButton;

namespace netlens {

class TZormNL32;

class TFormTableIndex : public QWidget {
  Q_OBJECT

 public:
  // Seconds the discovery may take before it is cancelled.
  static constexpr int kDiscoveryTicks = 10;

  TFormTableIndex(TZormNL32& owner, QWidget* parent);
  ~TFormTableIndex() override;

  // Shows the window for a node of a table and starts the discovery.
  void showFor(HWSM_NODE node);
  // "Show Selected Tables in Info Window" (or a double click).
  void ShowSelectedClick();

  QString label() const;
  QString statusText() const;
  QStringList indexes() const;
  QListWidget* indexList() const { return ListBoxIndexes; }
  TSemaphoreState lightState() const { return semaphore_.SemaphoreState(); }
  bool discovering() const { return thread_ != nullptr; }
  QString entryOid() const { return entryOid_; }

 protected:
  void hideEvent(QHideEvent* event) override;

 private:
  bool findTable(HWSM_NODE node);
  void startDiscovery();
  // Ends the thread and forgets what it may still hand over.
  void stopDiscovery();
  // Ends the thread and keeps every index it found.
  void finishDiscovery();
  void discoveryTick();
  void addIndex(unsigned generation, const QString& index);
  LRESULT windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void discoveryEnded(WPARAM outcome);
  void setStatus(const QString& text, TSemaphoreState light);
  QString foundText() const;

  TZormNL32& owner_;
  platform::gui::BridgedWindow window_;
  TSemaphore semaphore_;
  QTimer ticks_;
  int ticksLeft_ = 0;
  // Tells the indexes of the current discovery from a stopped one's.
  unsigned generation_ = 0;
  std::unique_ptr<TThreadRetreiveTableIndexes> thread_;
  QString tableName_;
  QString entryOid_;
  std::vector<smiUINT32> column_;

  QLabel* LabelTable;
  QListWidget* ListBoxIndexes;
  QPushButton* ButtonShowSelected;
  QLabel* statusPanel_;
};

}  // namespace netlens
