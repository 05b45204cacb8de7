// The Ping tab: its controls, the checks before a run, and the pane.
#include "ping_tab.h"

#include "browser_host.h"
#include "ping_run.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QVBoxLayout>

#include <arpa/inet.h>

namespace netlens {
namespace {

QLineEdit* numberBox(QWidget* parent, const char* name, const char* text) {
  auto* box = new QLineEdit(QString::fromLatin1(text), parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setMaximumWidth(80);
  return box;
}

constexpr int kDefaultBytes = 32;
constexpr int kMaximumBytes = 1400;
constexpr int kDefaultTimeout = 1000;
constexpr int kDefaultRequests = 4;

int paneLineCount(const QPlainTextEdit& pane) {
  return pane.document()->isEmpty() ? 0 : pane.blockCount();
}

void dropFirstLine(QPlainTextEdit& pane) {
  QTextCursor cursor(pane.document());
  cursor.movePosition(QTextCursor::Start);
  if (!cursor.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor)) {
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
  }
  cursor.removeSelectedText();
}

}  // namespace

PingTab::PingTab(BrowserHost& host, QWidget* parent) : QWidget(parent), host_(host) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);

  auto* hostGroup = new QGroupBox(QStringLiteral("Host"), this);
  auto* hostRow = new QHBoxLayout(hostGroup);
  EditPingHost = new QComboBox(hostGroup);
  EditPingHost->setObjectName(QStringLiteral("EditPingHost"));
  EditPingHost->setEditable(true);
  EditPingHost->setInsertPolicy(QComboBox::NoInsert);
  EditPingHost->setEditText(QStringLiteral("0.0.0.0"));
  ButtonStartPinging = new QPushButton(QStringLiteral("Start &Pinging"), hostGroup);
  ButtonStartPinging->setObjectName(QStringLiteral("ButtonStartPinging"));
  hostRow->addWidget(EditPingHost, 1);
  hostRow->addWidget(ButtonStartPinging);
  layout->addWidget(hostGroup);

  auto* settings = new QGroupBox(QStringLiteral("Echo Requests"), this);
  auto* form = new QFormLayout(settings);
  EditPingBytes = numberBox(settings, "EditPingBytes", "32");
  EditPingRequests = numberBox(settings, "EditPingRequests", "4");
  EditPingTimeout = numberBox(settings, "EditPingTimeout", "1000");
  CheckBoxPingDontFragment = new QCheckBox(QStringLiteral("IP Don't Fragment Flag"), settings);
  CheckBoxPingDontFragment->setObjectName(QStringLiteral("CheckBoxPingDontFragment"));
  CheckBoxPingDontFragment->setChecked(true);
  form->addRow(QStringLiteral("Number of Bytes"), EditPingBytes);
  form->addRow(QStringLiteral("Number of Requests"), EditPingRequests);
  form->addRow(QStringLiteral("Timeout [ms]"), EditPingTimeout);
  form->addRow(CheckBoxPingDontFragment);
  layout->addWidget(settings);

  MemoPingResults = new QPlainTextEdit(this);
  MemoPingResults->setObjectName(QStringLiteral("MemoPingResults"));
  MemoPingResults->setReadOnly(true);
  MemoPingResults->setLineWrapMode(QPlainTextEdit::NoWrap);
  MemoPingResults->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  layout->addWidget(MemoPingResults, 1);

  shareHistory(*EditPingHost, SharedHistory::agents, host_);
  connect(ButtonStartPinging, &QPushButton::clicked, this, &PingTab::ButtonStartPingingClick);
  connect(EditPingHost->lineEdit(), &QLineEdit::returnPressed, this, &PingTab::ButtonStartPingingClick);
  EditPingHost->lineEdit()->installEventFilter(this);
  icmp_ = IcmpCreateFile();
}

PingTab::~PingTab() {
  run_.reset();
  if (icmp_ != INVALID_HANDLE_VALUE) IcmpCloseHandle(icmp_);
}

bool PingTab::eventFilter(QObject* watched, QEvent* event) {
  if (watched == EditPingHost->lineEdit() && event->type() == QEvent::MouseButtonDblClick) {
    ButtonStartPingingClick();
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

void PingTab::ButtonStartPingingClick() {
  if (run_) return;
  if (icmp_ == INVALID_HANDLE_VALUE) {
    writeLine(QStringLiteral("ERROR: Could not initialize icmp."));
    return;
  }
  auto bytes = integerFromText(EditPingBytes->text());
  if (!bytes) return;
  if (*bytes < 1 || *bytes > kMaximumBytes) {
    bytes = kDefaultBytes;
    EditPingBytes->setText(QString::number(kDefaultBytes));
  }
  auto timeout = integerFromText(EditPingTimeout->text());
  if (!timeout) return;
  if (*timeout <= 0) {
    timeout = kDefaultTimeout;
    EditPingTimeout->setText(QString::number(kDefaultTimeout));
  }
  auto requests = integerFromText(EditPingRequests->text());
  if (!requests) return;
  // Host names are not looked up: only a dotted address is pinged.
  QString host = EditPingHost->currentText();
  QByteArray hostText = host.toLatin1();
  in_addr_t address = inet_addr(hostText.constData());
  if (address == INADDR_NONE) {
    writeLine(QStringLiteral("Bad IP address ") + host);
    return;
  }
  host_.histories().add(*EditPingHost, host);
  writeLine(QStringLiteral("Pinging ") + host + QStringLiteral(" with ") + QString::number(*bytes) +
            QStringLiteral(" bytes of data:"));
  writeLine(QString());

  PingSettings settings;
  settings.icmp = icmp_;
  settings.address = address;
  settings.host = hostText.toStdString();
  settings.bytes = *bytes;
  settings.requests = *requests <= 0 ? kDefaultRequests : *requests;
  settings.timeout = static_cast<DWORD>(*timeout);
  settings.dontFragment = CheckBoxPingDontFragment->isChecked();
  ButtonStartPinging->setEnabled(false);
  run_ = std::make_unique<PingRun>(
      settings,
      [this](const std::string& line) {
        QString text = QString::fromStdString(line);
        QMetaObject::invokeMethod(this, [this, text] { writeLine(text); }, Qt::QueuedConnection);
      },
      [this] { QMetaObject::invokeMethod(this, [this] { runFinished(); }, Qt::QueuedConnection); });
}

void PingTab::runFinished() {
  run_.reset();
  ButtonStartPinging->setEnabled(true);
}

void PingTab::writeLine(const QString& line) {
  QPlainTextEdit& pane = *MemoPingResults;
  QTextCursor edit(pane.document());
  edit.beginEditBlock();
  while (pane.document()->characterCount() >= kTrimCharacters && paneLineCount(pane) > 0) dropFirstLine(pane);
  while (paneLineCount(pane) > kTrimLines) dropFirstLine(pane);
  edit.endEditBlock();
  pane.appendPlainText(line);
}

}  // namespace netlens
