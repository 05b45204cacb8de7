// The Query tab's controls and its split.
#include "query_tab.h"

#include "artwork.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace netlens {
namespace {

constexpr int kSplitMargin = 60;

QToolButton* cornerButton(QGroupBox* group, const char* name, const QString& hint) {
  auto* button = new QToolButton(group);
  button->setObjectName(QString::fromLatin1(name));
  button->setToolTip(hint);
  button->setAutoRaise(true);
  button->setIconSize(QSize(12, 12));
  button->setFixedSize(18, 16);
  button->setFocusPolicy(Qt::NoFocus);
  return button;
}

}  // namespace

QueryTab::QueryTab(QWidget* parent) : QWidget(parent) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->setSpacing(4);

  auto* agentGroup = new QGroupBox(QStringLiteral("&Remote SNMP Agent"), this);
  auto* agentRow = new QHBoxLayout(agentGroup);
  agentRow->setContentsMargins(6, 2, 6, 4);
  ComboBoxRSnmpAgent = new QComboBox(agentGroup);
  ComboBoxRSnmpAgent->setObjectName(QStringLiteral("ComboBoxRSnmpAgent"));
  ComboBoxRSnmpAgent->setEditable(true);
  ComboBoxRSnmpAgent->setInsertPolicy(QComboBox::NoInsert);
  ComboBoxRSnmpAgent->setEditText(QStringLiteral("0.0.0.0"));
  ComboBoxRSnmpAgent->setMinimumContentsLength(10);
  ComboBoxRSnmpAgent->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  CheckBoxBrowseAll = new QCheckBox(QStringLiteral("Query &until NO-SUCH"), agentGroup);
  CheckBoxBrowseAll->setObjectName(QStringLiteral("CheckBoxBrowseAll"));
  agentRow->addWidget(ComboBoxRSnmpAgent, 1);
  agentRow->addWidget(CheckBoxBrowseAll);
  layout->addWidget(agentGroup);

  treeGroup = new QGroupBox(QStringLiteral("&MIB Tree"), this);
  auto* treeLayout = new QVBoxLayout(treeGroup);
  treeLayout->setContentsMargins(4, 2, 4, 4);
  MibTreeView = new QTreeWidget(treeGroup);
  MibTreeView->setObjectName(QStringLiteral("MibTreeView"));
  MibTreeView->setHeaderHidden(true);
  MibTreeView->setColumnCount(1);
  MibTreeView->setContextMenuPolicy(Qt::CustomContextMenu);
  MibTreeView->setEditTriggers(QAbstractItemView::NoEditTriggers);
  MibTreeView->setUniformRowHeights(true);
  MibTreeView->setIconSize(QSize(16, 16));
  MibTreeView->setRootIsDecorated(true);
  // Deep OIDs scroll sideways rather than being cut off.
  MibTreeView->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  MibTreeView->header()->setStretchLastSection(false);
  treeLayout->addWidget(MibTreeView);
  treeSizeButton = cornerButton(treeGroup, "TreeSizeButton", QStringLiteral("Size MIB Tree Window"));

  resultsGroup = new QGroupBox(QStringLiteral("&Query Results"), this);
  auto* resultsLayout = new QVBoxLayout(resultsGroup);
  resultsLayout->setContentsMargins(4, 2, 4, 4);
  MemoBResult = new QPlainTextEdit(resultsGroup);
  MemoBResult->setObjectName(QStringLiteral("MemoBResult"));
  MemoBResult->setReadOnly(true);
  MemoBResult->setLineWrapMode(QPlainTextEdit::NoWrap);
  MemoBResult->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  MemoBResult->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  MemoBResult->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  resultsLayout->addWidget(MemoBResult);
  resultsSizeButton = cornerButton(resultsGroup, "ResultsSizeButton", QStringLiteral("Size Query Results Window"));

  splitter_ = new QSplitter(Qt::Vertical, this);
  splitter_->setObjectName(QStringLiteral("QuerySplitter"));
  splitter_->setChildrenCollapsible(false);
  splitter_->addWidget(treeGroup);
  splitter_->addWidget(resultsGroup);
  layout->addWidget(splitter_, 1);
  treeGroup->installEventFilter(this);
  resultsGroup->installEventFilter(this);
  splitter_->installEventFilter(this);
  connect(splitter_, &QSplitter::splitterMoved, this, &QueryTab::splitterMoved);

  connect(treeSizeButton, &QToolButton::clicked, this,
          [this] { setSizeState(sizeState_ == kTreeEnlarged ? kSplit : kTreeEnlarged); });
  connect(resultsSizeButton, &QToolButton::clicked, this,
          [this] { setSizeState(sizeState_ == kResultsEnlarged ? kSplit : kResultsEnlarged); });
  setSizeState(kSplit);
}

void QueryTab::setSizeState(int state) {
  if (state < kSplit || state > kResultsEnlarged) state = kSplit;
  // From the other enlarged state a size button first returns to the split.
  if (state != kSplit && sizeState_ != kSplit && state != sizeState_) state = kSplit;
  sizeState_ = state;
  treeGroup->setVisible(state != kResultsEnlarged);
  resultsGroup->setVisible(state != kTreeEnlarged);
  using artwork::Glyph;
  treeSizeButton->setIcon(artwork::glyph(state == kTreeEnlarged ? Glyph::sizeUp : Glyph::sizeDown));
  resultsSizeButton->setIcon(artwork::glyph(state == kResultsEnlarged ? Glyph::sizeDown : Glyph::sizeUp));
  applySplit();
  emit sizeStateChanged(state);
}

int QueryTab::clampedOffset(int offset) const {
  int limit = splitter_->height() / 2 - kSplitMargin;
  if (limit < 0) return offset;
  return std::clamp(offset, -limit, limit);
}

void QueryTab::setSplitOffset(int offset) {
  splitOffset_ = offset;
  applySplit();
}

void QueryTab::applySplit() {
  if (sizeState_ != kSplit || splitter_->height() <= 0) return;
  int total = splitter_->height() - splitter_->handleWidth();
  int tree = splitter_->height() / 2 + clampedOffset(splitOffset_);
  splitter_->setSizes({tree, total - tree});
}

void QueryTab::splitterMoved() {
  if (sizeState_ != kSplit) return;
  splitOffset_ = clampedOffset(splitter_->sizes().value(0) - splitter_->height() / 2);
}

bool QueryTab::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Resize) {
    if (watched == splitter_) {
      applySplit();
    } else if (auto* group = qobject_cast<QGroupBox*>(watched)) {
      QToolButton* button = group == treeGroup ? treeSizeButton : resultsSizeButton;
      button->move(group->width() - button->width() - 4, 0);
      button->raise();
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace netlens
