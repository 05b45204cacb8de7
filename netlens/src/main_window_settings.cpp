// The main window's settings: read when it is created, written when it
// goes, and the Preferences boxes applied when the user leaves them.
#include "main_window.h"

#include "mib_tab.h"
#include "ping_tab.h"
#include "preferences_tab.h"
#include "query_tab.h"
#include "settings_key.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QTreeWidget>

namespace netlens {
namespace {

constexpr char kLayout[] = "Layouts\\MIB Browser";
constexpr char kDropDown[] = "Preferences\\DropDown Combo Box";
constexpr char kBrowser[] = "Preferences\\MIB Browser";
constexpr char kInfo[] = "Preferences\\Info";
constexpr char kTree[] = "Preferences\\MIB Tree";
constexpr char kTrapRinger[] = "Preferences\\Trap Ringer";
constexpr char kSnmp[] = "Preferences\\SNMP";
// One value per agent spoken to in SNMPv2c, named by the agent's text.
constexpr char kAgentVersions[] = "Preferences\\SNMP\\Versions";
constexpr char kPing[] = "Preferences\\Ping";
constexpr char kAgents[] = "HistoryLists\\Agent IPs";
constexpr char kCommunities[] = "HistoryLists\\Communities";
constexpr char kPorts[] = "HistoryLists\\SNMP Ports";
constexpr char kModules[] = "HistoryLists\\MIB Modules";
// Far more modules than anyone loads; only a bound for a damaged list.
constexpr int kMostRememberedModules = 10000;

constexpr int kDefaultTop = -43;
constexpr int kDefaultLeft = -44;

struct Flag {
  const char* section;
  const char* name;
  bool fallback;
};

}  // namespace

void TZormNL32::loadSettings() {
  SettingsKey layout(kLayout);
  int top = layout.readNumber("Top", kDefaultTop);
  int left = layout.readNumber("Left", kDefaultLeft);
  resize(layout.readNumber("Width", 348), layout.readNumber("Height", 460));
  if (top == kDefaultTop && left == kDefaultLeft) {
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
      QRect area = screen->availableGeometry();
      move(area.center() - QPoint(width() / 2, height() / 2));
    }
  } else {
    move(left, top);
  }
  queryTab_->setSplitOffset(layout.readNumber("Query splitter", -14));
  queryTab_->setSizeState(layout.readNumber("Query state", kSplit));
  mibTab_->setLowerHeight(layout.readNumber("MIB splitter", 200));

  PreferencesTab* preferences = preferencesTab_;
  SettingsKey dropDown(kDropDown);
  histories_.setCapacity(dropDown.readNumber("Dropdown box size", 25));
  preferences->EditCapacity->setText(QString::number(histories_.capacity()));
  preferences->CheckBoxWarnBeforeClear->setChecked(dropDown.readFlag("Warn before clear", true));

  const std::pair<QCheckBox*, Flag> flags[] = {
      {queryTab_->CheckBoxBrowseAll, {kBrowser, "Query all", false}},
      {preferences->CheckBoxClearOldResults, {kBrowser, "Clear old query results", true}},
      {preferences->CheckBoxAboutOnStartup, {kBrowser, "About on startup", true}},
      {preferences->CheckBoxExitConfirmation, {kBrowser, "Exit confirmation", true}},
      {preferences->CheckBoxPollInfoForms, {kInfo, "Info forms polling", true}},
      {preferences->CheckBoxFullExpand, {kTree, "MIB full expand", false}},
      {preferences->CheckBoxRightClickTip, {kTree, "MIB right-click tip", true}},
      {preferences->CheckBoxSmartResults, {kTree, "MIB auto toggle", true}},
      {preferences->CheckBoxTreeIcons, {kTree, "Show MIB Tree Icons", true}},
      {preferences->CheckBoxPopupOnTrap, {kTrapRinger, "Popup on trap", true}},
      {preferences->CheckBoxBeepOnTrap, {kTrapRinger, "Beep on trap", true}},
      {pingTab_->CheckBoxPingDontFragment, {kPing, "Fragment IP", true}},
  };
  for (const auto& [box, flag] : flags) {
    QSignalBlocker quiet(box);
    box->setChecked(SettingsKey(flag.section).readFlag(flag.name, flag.fallback));
  }
  actions_.at(QStringLiteral("actionPollInfo"))->setChecked(preferences->CheckBoxPollInfoForms->isChecked());
  SettingsKey browser(kBrowser);
  actions_.at(QStringLiteral("actionToolbar"))->setChecked(browser.readFlag("ToolBar", true));
  actions_.at(QStringLiteral("actionStatusBar"))->setChecked(browser.readFlag("StatusBar", true));
  helpFile_ = browser.readString("Help file", QStringLiteral("nlens32.hlp"));

  SettingsKey snmp(kSnmp);
  preferences->EditRetransmits->setText(snmp.readString("Retransmits", QStringLiteral("4")));
  QString timeout = snmp.readString("Timeout", QStringLiteral("5"));
  auto seconds = parseSettingNumber(timeout.toStdString());
  preferences->EditTimeout->setText(seconds && *seconds < 1 ? QStringLiteral("1") : timeout);

  QString local = managerAddress();
  SettingsKey ping(kPing);
  pingTab_->EditPingBytes->setText(ping.readString("Bytes to send", QStringLiteral("32")));
  pingTab_->EditPingRequests->setText(ping.readString("Number of requests", QStringLiteral("4")));
  pingTab_->EditPingTimeout->setText(ping.readString("Timeout in miliseconds", QStringLiteral("1000")));
  pingTab_->EditPingHost->setEditText(ping.readString("Ping host", local));

  histories_.load(kAgents, "AgentIP_", local, *queryTab_->ComboBoxRSnmpAgent);
  showAgentVersion(queryTab_->ComboBoxRSnmpAgent->currentText());
  histories_.load(kCommunities, "Community_", QStringLiteral("vulpes"), *preferences->ComboBoxCommunity);
  histories_.load(kPorts, "SNMPPort_", QStringLiteral("161"), *preferences->ComboBoxSnmpPort);
  reloadRememberedModules();
}

void TZormNL32::showAgentVersion(const QString& agent) {
  QSignalBlocker quiet(preferencesTab_->CheckBoxSnmpV2c);
  std::string name = agent.trimmed().toStdString();
  preferencesTab_->CheckBoxSnmpV2c->setChecked(!name.empty() && SettingsKey(kAgentVersions).readNumber(name.c_str(), 1) == 2);
}

void TZormNL32::rememberAgentVersion(bool snmpV2c) {
  std::string name = queryTab_->ComboBoxRSnmpAgent->currentText().trimmed().toStdString();
  if (!name.empty()) SettingsKey(kAgentVersions).writeNumber(name.c_str(), snmpV2c ? 2 : 1);
}

void TZormNL32::reloadRememberedModules() {
  SettingsKey modules(kModules);
  for (int index = 1; index <= kMostRememberedModules; ++index) {
    auto identity = modules.readText(std::to_string(index).c_str());
    if (!identity) break;
    if (!identity->empty()) WsmLoadModule(identity->c_str());
  }
}

void TZormNL32::saveSettings() {
  if (histories_.bulkOperation()) return;
  SettingsKey layout(kLayout);
  layout.writeNumber("Top", y());
  layout.writeNumber("Left", x());
  layout.writeNumber("Width", width());
  layout.writeNumber("Height", height());
  layout.writeNumber("Query splitter", queryTab_->splitOffset());
  layout.writeNumber("Query state", queryTab_->sizeState());
  layout.writeNumber("MIB splitter", mibTab_->lowerHeight());

  PreferencesTab* preferences = preferencesTab_;
  SettingsKey dropDown(kDropDown);
  dropDown.writeString("Dropdown box size", preferences->EditCapacity->text());
  dropDown.writeFlag("Warn before clear", preferences->CheckBoxWarnBeforeClear->isChecked());

  SettingsKey browser(kBrowser);
  browser.writeFlag("ToolBar", actions_.at(QStringLiteral("actionToolbar"))->isChecked());
  browser.writeFlag("StatusBar", actions_.at(QStringLiteral("actionStatusBar"))->isChecked());
  browser.writeFlag("Query all", queryTab_->CheckBoxBrowseAll->isChecked());
  browser.writeFlag("Clear old query results", preferences->CheckBoxClearOldResults->isChecked());
  browser.writeFlag("About on startup", preferences->CheckBoxAboutOnStartup->isChecked());
  browser.writeFlag("Exit confirmation", preferences->CheckBoxExitConfirmation->isChecked());
  SettingsKey(kInfo).writeFlag("Info forms polling", preferences->CheckBoxPollInfoForms->isChecked());
  SettingsKey tree(kTree);
  tree.writeFlag("MIB full expand", preferences->CheckBoxFullExpand->isChecked());
  tree.writeFlag("MIB right-click tip", preferences->CheckBoxRightClickTip->isChecked());
  tree.writeFlag("MIB auto toggle", preferences->CheckBoxSmartResults->isChecked());
  tree.writeFlag("Show MIB Tree Icons", preferences->CheckBoxTreeIcons->isChecked());
  SettingsKey trapRinger(kTrapRinger);
  trapRinger.writeFlag("Popup on trap", preferences->CheckBoxPopupOnTrap->isChecked());
  trapRinger.writeFlag("Beep on trap", preferences->CheckBoxBeepOnTrap->isChecked());
  SettingsKey snmp(kSnmp);
  snmp.writeString("Retransmits", preferences->EditRetransmits->text());
  snmp.writeString("Timeout", preferences->EditTimeout->text());
  SettingsKey ping(kPing);
  ping.writeString("Bytes to send", pingTab_->EditPingBytes->text());
  ping.writeString("Number of requests", pingTab_->EditPingRequests->text());
  ping.writeString("Timeout in miliseconds", pingTab_->EditPingTimeout->text());
  ping.writeFlag("Fragment IP", pingTab_->CheckBoxPingDontFragment->isChecked());
  ping.writeString("Ping host", pingTab_->EditPingHost->currentText());

  histories_.save(kAgents, "AgentIP_", *queryTab_->ComboBoxRSnmpAgent);
  histories_.save(kCommunities, "Community_", *preferences->ComboBoxCommunity);
  histories_.save(kPorts, "SNMPPort_", *preferences->ComboBoxSnmpPort);

  SettingsKey modules(kModules);
  modules.erase();
  QTreeWidget* loaded = mibTab_->ListViewLoaded;
  for (int index = 0; index < loaded->topLevelItemCount(); ++index) {
    modules.writeString(std::to_string(index + 1).c_str(), loaded->topLevelItem(index)->text(0));
  }
}

void TZormNL32::applyCapacity() {
  if (auto capacity = integerFromText(preferencesTab_->EditCapacity->text())) histories_.setCapacity(*capacity);
}

void TZormNL32::applyPreferences() {
  // A box without a number is reported in a message box, which takes the
  // activation away from this window again: report it once.
  if (applyingPreferences_) return;
  applyingPreferences_ = true;
  PreferencesTab* preferences = preferencesTab_;
  histories_.add(*queryTab_->ComboBoxRSnmpAgent, queryTab_->ComboBoxRSnmpAgent->currentText());
  histories_.add(*pingTab_->EditPingHost, pingTab_->EditPingHost->currentText());
  histories_.mergeBack(*pingTab_->EditPingHost, *queryTab_->ComboBoxRSnmpAgent);
  histories_.add(*preferences->ComboBoxCommunity, preferences->ComboBoxCommunity->currentText());
  histories_.add(*preferences->ComboBoxSnmpPort, preferences->ComboBoxSnmpPort->currentText());
  applyTimeoutAndRetransmits();
  applyCapacity();
  applyingPreferences_ = false;
}

}  // namespace netlens
