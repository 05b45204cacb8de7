// The Preferences tab's controls.
#include "preferences_tab.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace netlens {
namespace {

QLineEdit* lineBox(QWidget* parent, const char* name, int width) {
  auto* box = new QLineEdit(parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setMaximumWidth(width);
  return box;
}

QComboBox* historyBox(QWidget* parent, const char* name) {
  auto* box = new QComboBox(parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setEditable(true);
  box->setInsertPolicy(QComboBox::NoInsert);
  return box;
}

QCheckBox* checkBox(QWidget* parent, const char* name, const char* caption) {
  auto* box = new QCheckBox(QString::fromLatin1(caption), parent);
  box->setObjectName(QString::fromLatin1(name));
  return box;
}

struct Switch {
  QCheckBox** box;
  const char* name;
  const char* caption;
};

// Check boxes two to a row.
QGroupBox* switches(QWidget* parent, const char* title, std::initializer_list<Switch> members) {
  auto* group = new QGroupBox(QString::fromLatin1(title), parent);
  auto* grid = new QGridLayout(group);
  int index = 0;
  for (const Switch& member : members) {
    *member.box = checkBox(group, member.name, member.caption);
    grid->addWidget(*member.box, index / 2, index % 2);
    ++index;
  }
  return group;
}

}  // namespace

PreferencesTab::PreferencesTab(QWidget* parent) : QWidget(parent) {
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  auto* scroll = new QScrollArea(this);
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::NoFrame);
  outer->addWidget(scroll);
  auto* page = new QWidget(scroll);
  scroll->setWidget(page);
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(4, 4, 4, 4);

  auto* snmp = new QGroupBox(QStringLiteral("SNMP"), page);
  auto* form = new QFormLayout(snmp);
  EditManagerIP = lineBox(snmp, "EditManagerIP", 160);
  EditManagerIP->setReadOnly(true);
  ComboBoxCommunity = historyBox(snmp, "ComboBoxCommunity");
  ComboBoxSnmpPort = historyBox(snmp, "ComboBoxSnmpPort");
  EditTimeout = lineBox(snmp, "EditTimeout", 60);
  EditRetransmits = lineBox(snmp, "EditRetransmits", 60);
  CheckBoxSnmpV2c = checkBox(snmp, "CheckBoxSnmpV2c", "SNMPv2c for the agent of the Query tab");
  form->addRow(QStringLiteral("Manager IP Address"), EditManagerIP);
  form->addRow(QStringLiteral("Community"), ComboBoxCommunity);
  form->addRow(QStringLiteral("SNMP Port Number"), ComboBoxSnmpPort);
  form->addRow(QStringLiteral("Timeout [sec]"), EditTimeout);
  form->addRow(QStringLiteral("Number of Retransmits"), EditRetransmits);
  form->addRow(QStringLiteral("SNMP Version"), CheckBoxSnmpV2c);
  layout->addWidget(snmp);

  auto* lists = new QGroupBox(QStringLiteral("Drop-down History Lists"), page);
  auto* row = new QHBoxLayout(lists);
  EditCapacity = lineBox(lists, "EditCapacity", 50);
  CheckBoxWarnBeforeClear = checkBox(lists, "CheckBoxWarnBeforeClear", "Warn Before Clear");
  ButtonClearAll = new QPushButton(QStringLiteral("C&lear All"), lists);
  ButtonClearAll->setObjectName(QStringLiteral("ButtonClearAll"));
  auto* capacity = new QFormLayout;
  capacity->addRow(QStringLiteral("Capacity:"), EditCapacity);
  row->addLayout(capacity);
  row->addWidget(CheckBoxWarnBeforeClear);
  row->addStretch(1);
  row->addWidget(ButtonClearAll);
  layout->addWidget(lists);

  layout->addWidget(switches(page, "MIB Browser",
                             {{&CheckBoxClearOldResults, "CheckBoxClearOldResults", "Clear Old Query Results"},
                              {&CheckBoxAboutOnStartup, "CheckBoxAboutOnStartup", "About on Startup"},
                              {&CheckBoxExitConfirmation, "CheckBoxExitConfirmation", "Confirmation on Exit"},
                              {&CheckBoxPollInfoForms, "CheckBoxPollInfoForms", "Poll Info Forms"}}));
  layout->addWidget(switches(page, "MIB Tree",
                             {{&CheckBoxFullExpand, "CheckBoxFullExpand", "Full Expand on Change"},
                              {&CheckBoxRightClickTip, "CheckBoxRightClickTip", "Show Right-click Tip"},
                              {&CheckBoxSmartResults, "CheckBoxSmartResults", "Smart Query Results"},
                              {&CheckBoxTreeIcons, "CheckBoxTreeIcons", "Show MIB Tree Icons"}}));
  layout->addWidget(switches(page, "SNMP Trap Ringer",
                             {{&CheckBoxPopupOnTrap, "CheckBoxPopupOnTrap", "Pop-up on SNMP Trap"},
                              {&CheckBoxBeepOnTrap, "CheckBoxBeepOnTrap", "Beep on SNMP Trap"}}));
  layout->addStretch(1);

  for (QLineEdit* box : {EditTimeout, EditRetransmits, EditCapacity}) {
    connect(box, &QLineEdit::returnPressed, this, &PreferencesTab::applyRequested);
  }
  for (QComboBox* box : {ComboBoxCommunity, ComboBoxSnmpPort}) {
    connect(box->lineEdit(), &QLineEdit::returnPressed, this, &PreferencesTab::applyRequested);
  }
}

}  // namespace netlens
