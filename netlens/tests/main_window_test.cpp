// The main window without an agent: its start, the module lists, the MIB
// tree with its images and pop-up menu, node properties, and the settings
// it keeps across a restart.
#include "browser_fixture.h"

#include "discover_window.h"
#include "mib_tab.h"
#include "node_properties.h"
#include "node_info_window.h"
#include "ping_tab.h"
#include "preferences_tab.h"
#include "query_tab.h"
#include "required_peer.h"
#include "settings_key.h"

#include "platform/message_box.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTextCursor>
#include <QToolButton>
#include <QTreeWidget>

#include <algorithm>
#include <memory>

namespace netlens {
namespace {

QStringList captions(const QMenu& menu) {
  QStringList all;
  for (QAction* action : menu.actions()) {
    if (!action->isSeparator()) all << action->text();
  }
  return all;
}

QAction* item(const QMenu& menu, const QString& caption) {
  for (QAction* action : menu.actions()) {
    if (action->text() == caption) return action;
  }
  return nullptr;
}

QStringList listTexts(const QTreeWidget& list) {
  QStringList all;
  for (int index = 0; index < list.topLevelItemCount(); ++index) all << list.topLevelItem(index)->text(0);
  return all;
}

class MainWindow : public BrowserTest {
 protected:
  // The window with every standard module loaded.
  void openWithStandardModules() {
    if (!registerStandardModules()) ORVANE_MISSING_PEER() << "the standard MIB sources are not in the cache";
    openWindow();
    window().loadAllModules();
    ASSERT_GT(window().mibTab()->ListViewLoaded->topLevelItemCount(), 5);
  }

  std::unique_ptr<QMenu> popupFor(const QString& node) {
    return std::unique_ptr<QMenu>(window().preparePopupMenu(treeItem(node)));
  }
};

TEST_F(MainWindow, AFirstStartWithoutModulesShowsTheMibTabAndTheEmptyTree) {
  openWindow();
  EXPECT_EQ(window().pages()->currentWidget(), window().mibTab());
  QTreeWidget* tree = window().queryTab()->MibTreeView;
  ASSERT_EQ(tree->topLevelItemCount(), 1);
  QTreeWidgetItem* root = tree->topLevelItem(0);
  EXPECT_EQ(root->text(0), QStringLiteral("MIB Tree"));
  ASSERT_EQ(root->childCount(), 1);
  EXPECT_EQ(root->child(0)->text(0), QStringLiteral("No MIB modules loaded"));
  EXPECT_EQ(root->child(0)->data(0, TZormNL32::kOverlayRole).toInt(), 1);
  EXPECT_EQ(listTexts(*window().mibTab()->ListViewAvailable),
            QStringList{QStringLiteral("No compiled MIB modules available. Please run MIB compiler.")});
  EXPECT_EQ(window().queryState(), qsNotContacted);
  EXPECT_EQ(window().statusText(), QStringLiteral("Node MIB Tree"));
  // A first start centres the designed size, and two check boxes the
  // design has checked start unchecked.
  EXPECT_EQ(window().size(), QSize(348, 460));
  QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_LE(std::abs(window().geometry().center().x() - screen.center().x()), 2);
  EXPECT_FALSE(window().queryTab()->CheckBoxBrowseAll->isChecked());
  EXPECT_FALSE(window().preferencesTab()->CheckBoxFullExpand->isChecked());
  EXPECT_EQ(window().preferencesTab()->ComboBoxCommunity->currentText(), QStringLiteral("vulpes"));
  EXPECT_EQ(window().preferencesTab()->ComboBoxSnmpPort->currentText(), QStringLiteral("161"));
}

TEST_F(MainWindow, ModulesMoveBetweenTheListsAndTheTreeFollows) {
  if (!registerStandardModules()) ORVANE_MISSING_PEER() << "the standard MIB sources are not in the cache";
  openWindow();
  MibTab& modules = *window().mibTab();
  QStringList available = listTexts(*modules.ListViewAvailable);
  ASSERT_TRUE(available.contains(QStringLiteral("IF-MIB")));
  ASSERT_TRUE(available.contains(QStringLiteral("SNMPv2-MIB")));
  EXPECT_TRUE(std::is_sorted(available.begin(), available.end()));

  for (const char* name : {"SNMPv2-SMI", "SNMPv2-MIB"}) {
    modules.ListViewAvailable->findItems(QString::fromLatin1(name), Qt::MatchExactly).first()->setSelected(true);
  }
  window().loadSelectedModules();
  EXPECT_EQ(listTexts(*modules.ListViewLoaded), (QStringList{"SNMPv2-MIB", "SNMPv2-SMI"}));
  EXPECT_FALSE(listTexts(*modules.ListViewAvailable).contains(QStringLiteral("SNMPv2-MIB")));
  QTreeWidgetItem* loaded = modules.ListViewLoaded->topLevelItem(0);
  EXPECT_EQ(loaded->text(1), QStringLiteral("1.3.6.1.6.3.1"));
  EXPECT_GT(loaded->text(2).toInt(), 10);
  EXPECT_TRUE(loaded->text(3).endsWith(QStringLiteral(" B")));
  EXPECT_TRUE(loaded->text(4).endsWith(QStringLiteral("SNMPv2-MIB.smidb"))) << loaded->text(4).toStdString();
  ASSERT_NE(treeItem(QStringLiteral("sysContact")), nullptr);
  EXPECT_EQ(treeItem(QStringLiteral("ifTable")), nullptr);

  // The selection survives a rebuild of the tree.
  selectNode(QStringLiteral("sysContact"));
  window().loadAllModules();
  EXPECT_EQ(modules.ListViewAvailable->topLevelItemCount(), 0);
  ASSERT_NE(treeItem(QStringLiteral("ifTable")), nullptr);
  EXPECT_EQ(window().queryTab()->MibTreeView->currentItem()->text(0), QStringLiteral("sysContact"));
  EXPECT_EQ(window().statusText(), QStringLiteral("OID 1.3.6.1.2.1.1.4"));

  modules.ListViewLoaded->findItems(QStringLiteral("IF-MIB"), Qt::MatchExactly).first()->setSelected(true);
  window().unloadSelectedModules();
  EXPECT_TRUE(listTexts(*modules.ListViewAvailable).contains(QStringLiteral("IF-MIB")));
  window().unloadAllModules();
  EXPECT_EQ(modules.ListViewLoaded->topLevelItemCount(), 0);
  EXPECT_NE(treeItem(QStringLiteral("No MIB modules loaded")), nullptr);
}

TEST_F(MainWindow, TreeNodesShowTheImagesOfTheirKind) {
  openWithStandardModules();
  auto image = [&](const char* name) {
    QTreeWidgetItem* found = treeItem(QString::fromLatin1(name));
    return found ? found->data(0, TZormNL32::kImageRole).toInt() : -1;
  };
  EXPECT_EQ(image("MIB Tree"), 18);
  EXPECT_EQ(image("system"), 0);
  EXPECT_EQ(image("sysDescr"), 4);
  EXPECT_EQ(image("ifTable"), 2);
  EXPECT_EQ(image("ifEntry"), 6);
  EXPECT_EQ(image("ifIndex"), 20);
  EXPECT_EQ(image("zeroDotZero"), 4);
  EXPECT_EQ(treeItem(QStringLiteral("zeroDotZero"))->data(0, TZormNL32::kOverlayRole).toInt(), 2);
}

TEST_F(MainWindow, ThePopUpMenuFitsTheNode) {
  openWithStandardModules();
  auto readOnly = popupFor(QStringLiteral("sysDescr"));
  EXPECT_EQ(captions(*readOnly), (QStringList{"&Contact", "&Query", "&Info", "Info &Table", "&Set [read-only]", "&Path",
                                               "Co&ntents", "&Expand", "Collap&se", "&Window Size", "&Properties"}));
  EXPECT_TRUE(item(*readOnly, QStringLiteral("&Set [read-only]"))->isEnabled());
  EXPECT_FALSE(item(*readOnly, QStringLiteral("Info &Table"))->isEnabled());
  QMenu* path = item(*readOnly, QStringLiteral("&Path"))->menu();
  EXPECT_EQ(captions(*path).mid(0, 3), (QStringList{"(1) sysDescr", "(1) system", "(1) mib-2"}));

  auto writable = popupFor(QStringLiteral("sysContact"));
  EXPECT_TRUE(item(*writable, QStringLiteral("&Set"))->isEnabled());
  auto group = popupFor(QStringLiteral("system"));
  EXPECT_FALSE(item(*group, QStringLiteral("&Set"))->isEnabled());
  QStringList contents = captions(*item(*group, QStringLiteral("Co&ntents"))->menu());
  EXPECT_EQ(contents.first(), QStringLiteral("(1) sysDescr"));
  EXPECT_TRUE(contents.contains(QStringLiteral("(4) sysContact")));
  auto column = popupFor(QStringLiteral("ifDescr"));
  EXPECT_TRUE(item(*column, QStringLiteral("Info &Table"))->isEnabled());

  // A Path or Contents item shows the properties of the node it names.
  item(*item(*group, QStringLiteral("Co&ntents"))->menu(), QStringLiteral("(4) sysContact"))->trigger();
  EXPECT_EQ(window().nodeInfoWindow()->windowTitle(), QStringLiteral("MIB Node Properties - sysContact"));
}

TEST_F(MainWindow, NodePropertiesDescribeTheNode) {
  openWithStandardModules();
  selectNode(QStringLiteral("sysDescr"));
  window().SpeedButtonMibNodeInfoClick();
  TFormNodeInfo& properties = *window().nodeInfoWindow();
  EXPECT_TRUE(properties.isVisible());
  EXPECT_EQ(properties.windowTitle(), QStringLiteral("MIB Node Properties - sysDescr"));
  QStringList lines = properties.text().split(QLatin1Char('\n'));
  EXPECT_EQ(lines.value(0), QStringLiteral("OID Name: sysDescr"));
  EXPECT_EQ(lines.value(1), QStringLiteral("OID: 1.3.6.1.2.1.1.1"));
  EXPECT_EQ(lines.value(2),
            QStringLiteral("OID full path: iso(1).org(3).dod(6).internet(1).mgmt(2).mib-2(1).system(1).sysDescr(1)"));
  EXPECT_TRUE(lines.contains(QStringLiteral("Parent: system")));
  EXPECT_TRUE(lines.contains(QStringLiteral("Next sibling: sysObjectID")));
  EXPECT_TRUE(lines.contains(QStringLiteral("Child: <not available>")));
  EXPECT_TRUE(lines.contains(QStringLiteral("Type: OBJECT-TYPE")));
  EXPECT_TRUE(lines.contains(QStringLiteral("Max Access: read-only")));
  EXPECT_TRUE(lines.contains(QStringLiteral("Numerical syntax: SNMP_SYNTAX_OCTETS - 4")));

  selectNode(QStringLiteral("MIB Tree"));
  window().SpeedButtonMibNodeInfoClick();
  EXPECT_EQ(properties.text(), QStringLiteral("<No MIB Node Selected>"));
  EXPECT_EQ(properties.windowTitle(), QStringLiteral("MIB Node Properties"));
}

TEST_F(MainWindow, ModulePropertiesDescribeTheDatabase) {
  openWithStandardModules();
  QStringList lines = modulePropertyLines(QStringLiteral("IF-MIB"));
  EXPECT_EQ(lines.value(0), QStringLiteral("Module identity: IF-MIB"));
  EXPECT_EQ(lines.value(1), QStringLiteral("Module root OID: 1.3.6.1.2.1.31"));
  EXPECT_TRUE(lines.value(4).endsWith(QStringLiteral("IF-MIB.smidb")));
  EXPECT_TRUE(lines.contains(QStringLiteral("Database is loaded in memory")));
  EXPECT_EQ(modulePropertiesCaption(QStringLiteral("IF-MIB")), QStringLiteral("Module database properties for IF-MIB"));
}

TEST_F(MainWindow, SettingsAndLoadedModulesComeBackAfterARestart) {
  if (!registerStandardModules()) ORVANE_MISSING_PEER() << "the standard MIB sources are not in the cache";
  openWindow();
  PreferencesTab& preferences = *window().preferencesTab();
  window().mibTab()->ListViewAvailable->findItems(QStringLiteral("SNMPv2-MIB"), Qt::MatchExactly).first()->setSelected(true);
  window().loadSelectedModules();
  window().queryTab()->CheckBoxBrowseAll->setChecked(true);
  preferences.CheckBoxClearOldResults->setChecked(false);
  preferences.CheckBoxExitConfirmation->setChecked(false);
  preferences.EditTimeout->setText(QStringLiteral("7"));
  preferences.EditRetransmits->setText(QStringLiteral("2"));
  preferences.EditCapacity->setText(QStringLiteral("10"));
  preferences.ComboBoxCommunity->setEditText(QStringLiteral("private"));
  QComboBox& agents = *window().queryTab()->ComboBoxRSnmpAgent;
  for (const char* agent : {"10.0.0.3", "10.0.0.2", "10.0.0.1"}) window().histories().add(agents, QString::fromLatin1(agent));
  agents.setEditText(QStringLiteral("10.0.0.1"));
  window().queryTab()->setSizeState(kResultsEnlarged);
  window().move(40, 30);
  window().resize(400, 520);
  closeWindow();

  openWindow();
  PreferencesTab& again = *window().preferencesTab();
  EXPECT_EQ(window().size(), QSize(400, 520));
  EXPECT_TRUE(window().queryTab()->CheckBoxBrowseAll->isChecked());
  EXPECT_FALSE(again.CheckBoxClearOldResults->isChecked());
  EXPECT_FALSE(again.CheckBoxExitConfirmation->isChecked());
  EXPECT_EQ(again.EditTimeout->text(), QStringLiteral("7"));
  EXPECT_EQ(again.EditRetransmits->text(), QStringLiteral("2"));
  EXPECT_EQ(window().histories().capacity(), 10);
  EXPECT_EQ(again.ComboBoxCommunity->currentText(), QStringLiteral("private"));
  EXPECT_EQ(window().queryTab()->sizeState(), kResultsEnlarged);
  EXPECT_EQ(listTexts(*window().mibTab()->ListViewLoaded), QStringList{QStringLiteral("SNMPv2-MIB")});
  EXPECT_NE(treeItem(QStringLiteral("sysContact")), nullptr);
  // The newest agent was at the top; the stored list reads back reversed.
  QComboBox& history = *window().queryTab()->ComboBoxRSnmpAgent;
  EXPECT_EQ(history.currentText(), QStringLiteral("10.0.0.1"));
  QStringList order;
  for (int index = 0; index < history.count(); ++index) {
    if (history.itemText(index) != window().managerAddress()) order << history.itemText(index);
  }
  EXPECT_EQ(order, (QStringList{"10.0.0.3", "10.0.0.2", "10.0.0.1"}));
}

TEST_F(MainWindow, StoredNumbersAreReadInDecimalOrHexAndTheTimeoutIsAtLeastOne) {
  SettingsKey("Preferences\\SNMP").writeString("Timeout", QStringLiteral("0"));
  SettingsKey("Preferences\\DropDown Combo Box").writeString("Dropdown box size", QStringLiteral("0x1A"));
  SettingsKey("Layouts\\MIB Browser").writeString("Width", QStringLiteral("wide"));
  openWindow();
  EXPECT_EQ(window().preferencesTab()->EditTimeout->text(), QStringLiteral("1"));
  EXPECT_EQ(window().histories().capacity(), 26);
  EXPECT_EQ(window().width(), 348);
}

TEST_F(MainWindow, ATimeoutBelowOneBecomesOneWhenTheBoxIsLeft) {
  openWindow();
  QLineEdit& timeout = *window().preferencesTab()->EditTimeout;
  timeout.setText(QStringLiteral("0"));
  emit timeout.editingFinished();
  EXPECT_EQ(timeout.text(), QStringLiteral("1"));
  timeout.setText(QStringLiteral("soon"));
  emit timeout.editingFinished();
  ASSERT_FALSE(messages.empty());
  EXPECT_EQ(messages.back().text, "'soon' is not a valid integer value.");
}

TEST_F(MainWindow, ClearingAllHistoriesAsksFirstAndKeepsTheTexts) {
  openWindow();
  QComboBox& communities = *window().preferencesTab()->ComboBoxCommunity;
  window().histories().add(communities, QStringLiteral("public"));
  communities.setEditText(QStringLiteral("public"));
  answer = IDNO;
  emit window().preferencesTab()->ButtonClearAll->clicked();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, "This will clear all drop down history lists. Do you want to proceed?");
  EXPECT_EQ(messages[0].caption, "Warning");
  EXPECT_GT(communities.count(), 0);
  answer = IDYES;
  emit window().preferencesTab()->ButtonClearAll->clicked();
  EXPECT_EQ(communities.count(), 0);
  EXPECT_EQ(communities.currentText(), QStringLiteral("public"));
}

TEST_F(MainWindow, ClosingAsksWhenConfirmationIsOn) {
  openWindow();
  answer = IDCANCEL;
  EXPECT_FALSE(window().close());
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, "Close Mib Browser?");
  answer = IDOK;
  EXPECT_TRUE(window().close());
}

TEST_F(MainWindow, TheSizeOfTheQueryTabCycles) {
  openWindow();
  QueryTab& query = *window().queryTab();
  window().pages()->setCurrentWidget(&query);
  query.treeSizeButton->click();
  EXPECT_EQ(query.sizeState(), kTreeEnlarged);
  EXPECT_FALSE(query.resultsGroup->isVisibleTo(&query));
  // From the enlarged tree the results button first returns to the split.
  query.resultsSizeButton->click();
  EXPECT_EQ(query.sizeState(), kSplit);
  query.resultsSizeButton->click();
  EXPECT_EQ(query.sizeState(), kResultsEnlarged);
  EXPECT_FALSE(query.treeGroup->isVisibleTo(&query));
  query.resultsSizeButton->click();
  EXPECT_EQ(query.sizeState(), kSplit);
}

TEST_F(MainWindow, AFullResultsPaneDropsItsOldestLinesAndKeepsTheNewOne) {
  openWindow();
  window().SpeedButtonClearClick();
  for (int line = 0; line < TZormNL32::kResultLineCapacity; ++line) window().addResultLine(QString::number(line));
  window().addResultLine(QStringLiteral("newest"));
  QStringList lines = paneLines();
  EXPECT_EQ(lines.size(), TZormNL32::kResultLineCapacity - 11 + 1);
  EXPECT_EQ(lines.first(), QStringLiteral("11"));
  EXPECT_EQ(lines.last(), QStringLiteral("newest"));
}

TEST_F(MainWindow, CopyTakesTheSelectionOrElseTheWholePane) {
  openWindow();
  window().SpeedButtonClearClick();
  window().addResultLine(QStringLiteral("first line"));
  window().addResultLine(QStringLiteral("second line"));
  QPlainTextEdit& pane = *window().queryTab()->MemoBResult;
  window().SpeedButtonCopyClipboardClick();
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("first line\nsecond line"));
  EXPECT_FALSE(pane.textCursor().hasSelection());
  QTextCursor cursor(pane.document());
  cursor.movePosition(QTextCursor::EndOfWord, QTextCursor::KeepAnchor);
  pane.setTextCursor(cursor);
  window().SpeedButtonCopyClipboardClick();
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("first"));
}

TEST_F(MainWindow, IndexTableWindowNeedsATableNode) {
  openWindow();
  window().findChild<QAction*>(QStringLiteral("actionIndexTable"))->trigger();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, "For this operation you have to select a table node.");
}

TEST_F(MainWindow, WindowCommandsShowTheDiscoveryWindowAndTheTrapConsole) {
  openWindow();
  for (const char* name : {"actionDiscover", "actionTrapRinger"}) {
    window().findChild<QAction*>(QString::fromLatin1(name))->trigger();
  }
  EXPECT_TRUE(messages.empty());
  EXPECT_TRUE(window().discoverWindow()->isVisible());
  EXPECT_TRUE(window().trapConsole()->isVisible());
  EXPECT_EQ(window().trapConsole()->statusText(), QStringLiteral("0 SNMP notifications received."));
  // Closing the console only hides it; Close All hides both.
  window().trapConsole()->close();
  EXPECT_FALSE(window().trapConsole()->isVisible());
  window().trapConsole()->showConsole();
  window().closeAllWindows();
  EXPECT_FALSE(window().discoverWindow()->isVisible());
  EXPECT_FALSE(window().trapConsole()->isVisible());
}

}  // namespace
}  // namespace netlens
