// The Ping tab's controls.
#include "ping_tab.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace netlens {
namespace {

QLineEdit* numberBox(QWidget* parent, const char* name, const char* text) {
  auto* box = new QLineEdit(QString::fromLatin1(text), parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setMaximumWidth(80);
  return box;
}

}  // namespace

PingTab::PingTab(QWidget* parent) : QWidget(parent) {
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
  ButtonStartPinging->setEnabled(false);
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
}

}  // namespace netlens
