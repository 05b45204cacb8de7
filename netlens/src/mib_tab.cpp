// The MIB tab's lists, buttons and split.
#include "mib_tab.h"

#include "artwork.h"

#include <QDragEnterEvent>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QSplitter>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace netlens {
namespace {

constexpr int kSplitMargin = 60;

QToolButton* panelButton(QWidget* parent, const char* name, artwork::Glyph glyph, const char* hint) {
  auto* button = new QToolButton(parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setIcon(artwork::glyph(glyph));
  button->setIconSize(QSize(16, 16));
  button->setToolTip(QString::fromLatin1(hint));
  button->setAccessibleName(QString::fromLatin1(hint));
  button->setAutoRaise(true);
  return button;
}

}  // namespace

ModuleListView::ModuleListView(QWidget* parent) : QTreeWidget(parent) {
  setRootIsDecorated(false);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setSortingEnabled(true);
  sortByColumn(0, Qt::AscendingOrder);
  setDragEnabled(true);
  setAcceptDrops(true);
  setDragDropMode(QAbstractItemView::DragDrop);
  setDefaultDropAction(Qt::MoveAction);
  setUniformRowHeights(true);
  setAllColumnsShowFocus(true);
}

void ModuleListView::dragEnterEvent(QDragEnterEvent* event) {
  if (event->source() == partner_) event->acceptProposedAction();
  else event->ignore();
}

void ModuleListView::dragMoveEvent(QDragMoveEvent* event) {
  if (event->source() == partner_) event->acceptProposedAction();
  else event->ignore();
}

// The owner moves the modules (loading or unloading them) and fills the
// lists again; the view itself moves no item.
void ModuleListView::dropEvent(QDropEvent* event) {
  if (event->source() != partner_) {
    event->ignore();
    return;
  }
  event->setDropAction(Qt::CopyAction);
  event->accept();
  emit droppedFromPartner();
}

MibTab::MibTab(QWidget* parent) : QWidget(parent) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);

  auto* loadedGroup = new QGroupBox(QStringLiteral("&Loaded MIB Modules"), this);
  auto* loadedLayout = new QVBoxLayout(loadedGroup);
  loadedLayout->setContentsMargins(4, 2, 4, 4);
  ListViewLoaded = new ModuleListView(loadedGroup);
  ListViewLoaded->setObjectName(QStringLiteral("ListViewLoaded"));
  ListViewLoaded->setHeaderLabels({QStringLiteral("Module identity"), QStringLiteral("Root OID"),
                                   QStringLiteral("Nodes"), QStringLiteral("Size"), QStringLiteral("Path")});
  ListViewLoaded->headerItem()->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
  ListViewLoaded->headerItem()->setTextAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
  ListViewLoaded->setContextMenuPolicy(Qt::CustomContextMenu);
  loadedLayout->addWidget(ListViewLoaded);

  auto* lower = new QWidget(this);
  auto* lowerLayout = new QVBoxLayout(lower);
  lowerLayout->setContentsMargins(0, 0, 0, 0);
  lowerLayout->setSpacing(2);
  buttonPanel_ = new QWidget(lower);
  auto* buttons = new QHBoxLayout(buttonPanel_);
  buttons->setContentsMargins(2, 0, 2, 0);
  buttons->setSpacing(2);
  using artwork::Glyph;
  ButtonLoadAll = panelButton(buttonPanel_, "ButtonLoadAll", Glyph::loadAll, "Load All Available MIB Modules");
  ButtonLoadSelected =
      panelButton(buttonPanel_, "ButtonLoadSelected", Glyph::loadSelected, "Load Selected MIB Mmodules");
  ButtonRefresh =
      panelButton(buttonPanel_, "ButtonRefresh", Glyph::refresh, "Refresh Contents of the MIB Module Lists");
  ButtonUnloadSelected =
      panelButton(buttonPanel_, "ButtonUnloadSelected", Glyph::unloadSelected, "Unload Selected MIB Modules");
  ButtonUnloadAll = panelButton(buttonPanel_, "ButtonUnloadAll", Glyph::unloadAll, "Unload All MIB Modules");
  for (QToolButton* button : {ButtonLoadAll, ButtonLoadSelected, ButtonRefresh, ButtonUnloadSelected, ButtonUnloadAll}) {
    buttons->addWidget(button);
  }
  buttons->addStretch(1);
  lowerLayout->addWidget(buttonPanel_);

  auto* availableGroup = new QGroupBox(QStringLiteral("Available &MIB Modules"), lower);
  auto* availableLayout = new QVBoxLayout(availableGroup);
  availableLayout->setContentsMargins(4, 2, 4, 4);
  ListViewAvailable = new ModuleListView(availableGroup);
  ListViewAvailable->setObjectName(QStringLiteral("ListViewAvailable"));
  ListViewAvailable->setHeaderLabels({QStringLiteral("Module identity")});
  ListViewAvailable->setContextMenuPolicy(Qt::CustomContextMenu);
  availableLayout->addWidget(ListViewAvailable);
  lowerLayout->addWidget(availableGroup, 1);

  ListViewLoaded->setPartner(ListViewAvailable);
  ListViewAvailable->setPartner(ListViewLoaded);

  splitter_ = new QSplitter(Qt::Vertical, this);
  splitter_->setObjectName(QStringLiteral("MibSplitter"));
  splitter_->setChildrenCollapsible(false);
  splitter_->addWidget(loadedGroup);
  splitter_->addWidget(lower);
  layout->addWidget(splitter_);
  splitter_->installEventFilter(this);
  connect(splitter_, &QSplitter::splitterMoved, this,
          [this] { lowerHeight_ = clampedHeight(splitter_->sizes().value(1)); });
}

int MibTab::clampedHeight(int height) const {
  int lowest = buttonPanel_->sizeHint().height() + kSplitMargin;
  int highest = splitter_->height() - kSplitMargin;
  if (highest < lowest) return height;
  return std::clamp(height, lowest, highest);
}

void MibTab::setLowerHeight(int height) {
  lowerHeight_ = height;
  applySplit();
}

void MibTab::applySplit() {
  if (splitter_->height() <= 0) return;
  int total = splitter_->height() - splitter_->handleWidth();
  int lower = clampedHeight(lowerHeight_);
  splitter_->setSizes({total - lower, lower});
}

bool MibTab::eventFilter(QObject* watched, QEvent* event) {
  if (watched == splitter_ && event->type() == QEvent::Resize) applySplit();
  return QWidget::eventFilter(watched, event);
}

}  // namespace netlens
