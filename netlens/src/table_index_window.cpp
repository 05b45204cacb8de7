// The table-index window: finding the table, the discovery and its end.
#include "table_index_window.h"

#include "binding_text.h"
#include "info_window.h"
#include "main_window.h"
#include "mib_node.h"
#include "preferences_tab.h"
#include "query_tab.h"
#include "window_layout.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

namespace netlens {
namespace {

const WindowPlace kPlace{"Layouts\\Table Index", 20, 20, QSize()};
constexpr char kCaption[] = "Choose Table Index(es)";
constexpr int kDepthLimit = 256;

HWSM_NODE childEndingWith(HWSM_NODE parent, const char* word) {
  for (HWSM_NODE child = WsmFindNodeChild(parent); child; child = WsmFindNodeNextSibling(child)) {
    if (endsWithWord(nodeName(child), word)) return child;
  }
  return 0;
}

}  // namespace

TFormTableIndex::TFormTableIndex(TZormNL32& owner, QWidget* parent)
    : QWidget(parent, Qt::Window),
      owner_(owner),
      window_([this](HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        return windowProcedure(window, message, wParam, lParam);
      }),
      semaphore_(this) {
  setObjectName(QStringLiteral("FormTableIndex"));
  setWindowTitle(QString::fromLatin1(kCaption));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* body = new QVBoxLayout;
  body->setContentsMargins(8, 8, 8, 4);
  LabelTable = new QLabel(QStringLiteral("<none>"), this);
  LabelTable->setObjectName(QStringLiteral("LabelTable"));
  LabelTable->setTextFormat(Qt::PlainText);
  ListBoxIndexes = new QListWidget(this);
  ListBoxIndexes->setObjectName(QStringLiteral("ListBoxIndexes"));
  ListBoxIndexes->setSelectionMode(QAbstractItemView::ExtendedSelection);
  ButtonShowSelected = new QPushButton(QStringLiteral("Show Selected Tables in Info Window"), this);
  ButtonShowSelected->setObjectName(QStringLiteral("ButtonShowSelected"));
  body->addWidget(LabelTable);
  body->addWidget(ListBoxIndexes, 1);
  body->addWidget(ButtonShowSelected);
  layout->addLayout(body, 1);
  auto* status = new QStatusBar(this);
  status->setSizeGripEnabled(false);
  status->addWidget(new SemaphorePanel(&semaphore_, status));
  semaphore_.setBackgroundColor(palette().color(QPalette::Window));
  statusPanel_ = new QLabel(status);
  statusPanel_->setObjectName(QStringLiteral("StatusPanel"));
  status->addWidget(statusPanel_, 1);
  layout->addWidget(status);
  resize(320, 360);

  ticks_.setInterval(1000);
  connect(&ticks_, &QTimer::timeout, this, &TFormTableIndex::discoveryTick);
  connect(ButtonShowSelected, &QPushButton::clicked, this, &TFormTableIndex::ShowSelectedClick);
  connect(ListBoxIndexes, &QListWidget::itemDoubleClicked, this, &TFormTableIndex::ShowSelectedClick);
  restoreWindowPlace(*this, kPlace);
}

TFormTableIndex::~TFormTableIndex() {
  stopDiscovery();
  storeWindowPlace(*this, kPlace);
}

void TFormTableIndex::showFor(HWSM_NODE node) {
  stopDiscovery();
  std::string name = nodeName(node);
  setWindowTitle(name.empty() ? QString::fromLatin1(kCaption)
                              : QString::fromLatin1(kCaption) + QStringLiteral(" - ") + QString::fromStdString(name));
  LabelTable->setText(QStringLiteral("<none>"));
  ListBoxIndexes->clear();
  statusPanel_->setText(QStringLiteral("Table not in the OID path"));
  show();
  raise();
  activateWindow();
  if (!findTable(node)) {
    semaphore_.setSemaphoreState(SEM_ERROR);
    return;
  }
  startDiscovery();
}

// Climbs from the node to its table, noting the Entry on the way, and
// picks the column to walk.
bool TFormTableIndex::findTable(HWSM_NODE node) {
  HWSM_NODE table = 0, entry = 0;
  HWSM_NODE step = node;
  for (int depth = 0; step && depth < kDepthLimit; ++depth, step = WsmFindNodeParent(step)) {
    std::string name = nodeName(step);
    if (!entry && endsWithWord(name, "Entry")) entry = step;
    if (endsWithWord(name, "Table")) {
      table = step;
      break;
    }
  }
  if (table && !entry) entry = childEndingWith(table, "Entry");
  if (!table || !entry) return false;
  HWSM_NODE column = node == table || node == entry ? WsmFindNodeChild(entry) : node;
  OwnedOid columnOid = nodeOid(column);
  OwnedOid entryOid = nodeOid(entry);
  if (!column || columnOid.empty() || entryOid.empty()) return false;
  tableName_ = QString::fromStdString(nodeName(table));
  QString prefix = tableName_ + QLatin1Char('.') + QString::fromStdString(nodeName(entry)) + QLatin1Char('.');
  LabelTable->setText(prefix + (column == node ? QString::fromStdString(nodeName(node)) : QStringLiteral("<X>")));
  entryOid_ = QString::fromStdString(dottedOid(entryOid.get()));
  column_.assign(columnOid.get().ptr, columnOid.get().ptr + columnOid.get().len);
  return true;
}

void TFormTableIndex::startDiscovery() {
  statusPanel_->setText(QStringLiteral("Running table index discovery thread..."));
  stopDiscovery();
  TThreadRetreiveTableIndexes::Target target;
  target.agent = owner_.queryTab()->ComboBoxRSnmpAgent->currentText().trimmed().toStdString();
  PreferencesTab* preferences = owner_.preferencesTab();
  target.port = static_cast<UINT>(preferences->ComboBoxSnmpPort->currentText().trimmed().toUInt());
  if (!target.port) target.port = 161;
  target.managerAddress = owner_.managerAddress().toStdString();
  target.community = preferences->ComboBoxCommunity->currentText().toStdString();
  target.column = column_;
  thread_ = std::make_unique<TThreadRetreiveTableIndexes>(
      target, window_.handle(), TThreadRetreiveTableIndexes::kDoneMessage,
      [this, generation = generation_](const std::string& index) {
        QString text = QString::fromStdString(index);
        QMetaObject::invokeMethod(this, [this, generation, text] { addIndex(generation, text); },
                                  Qt::QueuedConnection);
      });
  if (!thread_->running()) {
    thread_.reset();
    setStatus(QStringLiteral("Can not start index discovery"), SEM_ERROR);
    return;
  }
  setStatus(QStringLiteral("Index discovery running..."), SEM_WORKING);
  ticksLeft_ = kDiscoveryTicks;
  ticks_.start();
}

void TFormTableIndex::stopDiscovery() {
  ticks_.stop();
  thread_.reset();
  ++generation_;
}

void TFormTableIndex::finishDiscovery() {
  ticks_.stop();
  thread_.reset();
  QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
  ++generation_;
}

void TFormTableIndex::discoveryTick() {
  if (--ticksLeft_ > 0) return;
  setStatus(QStringLiteral("Canceling operation."), semaphore_.SemaphoreState());
  finishDiscovery();
  setStatus(foundText(), SEM_GO);
}

void TFormTableIndex::addIndex(unsigned generation, const QString& index) {
  if (generation == generation_) ListBoxIndexes->addItem(index);
}

LRESULT TFormTableIndex::windowProcedure(HWND, UINT message, WPARAM wParam, LPARAM) {
  if (message == TThreadRetreiveTableIndexes::kDoneMessage) discoveryEnded(wParam);
  return 0;
}

void TFormTableIndex::discoveryEnded(WPARAM outcome) {
  if (!thread_) return;
  finishDiscovery();
  if (outcome == TThreadRetreiveTableIndexes::kColumnWalked) setStatus(foundText(), SEM_GO);
  else setStatus(QStringLiteral("Index discovery thread failed."), SEM_ERROR);
}

void TFormTableIndex::ShowSelectedClick() {
  QStringList chosen;
  for (QListWidgetItem* item : ListBoxIndexes->selectedItems()) chosen.push_back(item->text());
  if (tableName_.isEmpty()) return;
  owner_.openInfoWindow(TInfoForm::tableKind, tableName_, entryOid_, chosen);
}

void TFormTableIndex::hideEvent(QHideEvent* event) {
  stopDiscovery();
  QWidget::hideEvent(event);
}

QString TFormTableIndex::label() const { return LabelTable->text(); }
QString TFormTableIndex::statusText() const { return statusPanel_->text(); }

QStringList TFormTableIndex::indexes() const {
  QStringList all;
  for (int row = 0; row < ListBoxIndexes->count(); ++row) all.push_back(ListBoxIndexes->item(row)->text());
  return all;
}

void TFormTableIndex::setStatus(const QString& text, TSemaphoreState light) {
  statusPanel_->setText(text);
  semaphore_.setSemaphoreState(light);
}

QString TFormTableIndex::foundText() const {
  return QString::number(ListBoxIndexes->count()) + QStringLiteral(" indexes found.");
}

}  // namespace netlens
