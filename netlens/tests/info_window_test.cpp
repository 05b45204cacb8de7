// Info windows and the table-index window against net-snmp's agent on
// loopback: the standard window's system group and interface summary, a
// table window's chosen rows, time-outs, the slot limit, and the index
// discovery thread.
#include "browser_fixture.h"

#include "gui_application.h"
#include "info_window.h"
#include "mib_node.h"
#include "net_snmp_agent.h"
#include "preferences_tab.h"
#include "query_tab.h"
#include "required_peer.h"
#include "set_window.h"
#include "table_index_window.h"

#include <QAction>
#include <QComboBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QScreen>
#include <QSpinBox>
#include <QTreeWidget>

#include <set>

namespace netlens {
namespace {

class InfoWindowTest : public BrowserTest {
 protected:
  void SetUp() override {
    BrowserTest::SetUp();
    if (!registerStandardModules()) ORVANE_MISSING_PEER() << "the standard MIB sources are not in the cache";
    openWindow();
    window().loadAllModules();
  }
  bool startAgent() {
    if (!agent_.start()) return false;
    useAgent(agent_.port());
    return true;
  }
  static QStringList rowNames(const TInfoForm& form) {
    QStringList names;
    for (int row = 0; row < form.rows()->topLevelItemCount(); ++row) names << form.rows()->topLevelItem(row)->text(0);
    return names;
  }
  static bool waitForPoll(const TInfoForm& form, int polls = 1) {
    return processEventsUntil([&] { return form.pollsCompleted() >= polls && form.pollComplete(); },
                              std::chrono::seconds(60));
  }
  HWSM_NODE node(const char* name) { return nodeNamed(name); }

  NetSnmpAgent agent_;
};

TEST_F(InfoWindowTest, StandardWindowShowsSystemGroupAndInterfaceSummary) {
  if (!startAgent()) ORVANE_MISSING_PEER() << "snmpd did not start";
  window().newInfoWindow();
  TInfoForm* form = window().infoWindow(0);
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->windowTitle(), QStringLiteral("Info 1"));
  ASSERT_TRUE(waitForPoll(*form)) << form->panelText(TInfoForm::messagePanel).toStdString();
  QStringList names = rowNames(*form);
  for (const char* expected : {"sysDescr.0", "sysUpTime.0", "sysName.0", "ifNumber.0", "ifDescr.1", "ifAdminStatus.1"}) {
    EXPECT_TRUE(names.contains(QString::fromLatin1(expected))) << expected;
  }
  // Only the four ranges: nothing of the other interface columns.
  for (const QString& name : names) {
    EXPECT_TRUE(name.startsWith(QLatin1String("sys")) || name.startsWith(QLatin1String("ifNumber")) ||
                name.startsWith(QLatin1String("ifDescr.")) || name.startsWith(QLatin1String("ifAdminStatus.")))
        << name.toStdString();
  }
  QTreeWidgetItem* descr = form->rows()->findItems(QStringLiteral("sysDescr.0"), Qt::MatchExactly).value(0);
  ASSERT_NE(descr, nullptr);
  EXPECT_EQ(descr->text(1), QStringLiteral("octets"));
  EXPECT_FALSE(descr->text(2).isEmpty());
  EXPECT_EQ(form->lightState(), SEM_GO);
  EXPECT_TRUE(form->panelText(TInfoForm::messagePanel).startsWith(QStringLiteral("Last succesfull poll at ")));
  EXPECT_EQ(form->panelText(TInfoForm::pollsPanel), QStringLiteral("1"));
  EXPECT_EQ(form->panelText(TInfoForm::agentPanel), QStringLiteral("127.0.0.1"));
  EXPECT_EQ(form->panelText(TInfoForm::portPanel), QString::number(agent_.port()));

  form->RefreshNowClick();
  ASSERT_TRUE(waitForPoll(*form, 2));
  EXPECT_EQ(rowNames(*form).size(), names.size());
  form->setPolling(false);
  EXPECT_EQ(form->lightState(), SEM_IDLE);
  EXPECT_TRUE(form->panelText(TInfoForm::secondsPanel).isEmpty());
}

TEST_F(InfoWindowTest, TableWindowShowsOnlyTheChosenRows) {
  if (!startAgent()) ORVANE_MISSING_PEER() << "snmpd did not start";
  TInfoForm* all = window().openInfoWindow(TInfoForm::tableKind, QStringLiteral("ifTable"),
                                           QStringLiteral("1.3.6.1.2.1.2.2.1"));
  TInfoForm* chosen = window().openInfoWindow(TInfoForm::tableKind, QStringLiteral("ifTable"),
                                              QStringLiteral("1.3.6.1.2.1.2.2.1"), {"1", "2"});
  ASSERT_TRUE(all && chosen);
  EXPECT_EQ(chosen->windowTitle(), QStringLiteral("Info 2"));
  ASSERT_TRUE(waitForPoll(*all));
  ASSERT_TRUE(waitForPoll(*chosen));
  QStringList chosenRows = rowNames(*chosen);
  ASSERT_FALSE(chosenRows.isEmpty());
  EXPECT_TRUE(chosenRows.contains(QStringLiteral("ifIndex.1")));
  int expected = 0;
  for (const QString& name : rowNames(*all)) {
    if (name.endsWith(QLatin1String(".1")) || name.endsWith(QLatin1String(".2"))) ++expected;
    else EXPECT_FALSE(chosenRows.contains(name)) << name.toStdString();
  }
  EXPECT_EQ(chosenRows.size(), expected);
  for (const QString& name : chosenRows) {
    EXPECT_TRUE(name.endsWith(QLatin1String(".1")) || name.endsWith(QLatin1String(".2"))) << name.toStdString();
  }
}

TEST_F(InfoWindowTest, SilentAgentShowsTimeoutUntilTheNextPoll) {
  useAgent(freeLoopbackPort());
  window().preferencesTab()->EditTimeout->setText(QStringLiteral("1"));
  window().preferencesTab()->EditRetransmits->setText(QStringLiteral("0"));
  window().newInfoWindow();
  TInfoForm* form = window().infoWindow(0);
  ASSERT_NE(form, nullptr);
  // timeout x (retransmits + 1) + 1 is below the up-down's own minimum.
  EXPECT_EQ(form->intervalBox()->minimum(), TInfoForm::kMinimumInterval);
  ASSERT_TRUE(processEventsUntil([&] { return form->pollComplete() && form->rows()->topLevelItemCount() > 0; },
                                 std::chrono::seconds(60)));
  EXPECT_EQ(rowNames(*form), QStringList{QStringLiteral("TIMEOUT")});
  EXPECT_EQ(form->lightState(), SEM_STOP);
  EXPECT_EQ(form->pollsCompleted(), 0);
  // Minimized, the caption tells the state.
  form->setWindowState(Qt::WindowMinimized);
  EXPECT_EQ(form->windowTitle(), QStringLiteral("1 No response"));
  form->setPolling(false);
  EXPECT_EQ(form->windowTitle(), QStringLiteral("1 Idle"));
  form->setWindowState(Qt::WindowNoState);
  EXPECT_EQ(form->windowTitle(), QStringLiteral("Info 1"));
}

TEST_F(InfoWindowTest, NewAgentPropertiesTakeEffectAtOnce) {
  if (!startAgent()) ORVANE_MISSING_PEER() << "snmpd did not start";
  window().preferencesTab()->EditTimeout->setText(QStringLiteral("1"));
  window().preferencesTab()->EditRetransmits->setText(QStringLiteral("0"));
  TInfoForm* form = window().openInfoWindow(TInfoForm::subtreeKind, QStringLiteral("system"), {}, {},
                                            QStringLiteral("127.0.0.2"));
  ASSERT_NE(form, nullptr);
  ASSERT_TRUE(processEventsUntil([&] { return form->pollComplete() && form->rows()->topLevelItemCount() > 0; },
                                 std::chrono::seconds(60)));
  EXPECT_EQ(rowNames(*form), QStringList{QStringLiteral("TIMEOUT")});
  form->applyAgent(QStringLiteral("127.0.0.1"), QStringLiteral("public"), agent_.port());
  ASSERT_TRUE(waitForPoll(*form));
  EXPECT_TRUE(rowNames(*form).contains(QStringLiteral("sysName.0")));
  EXPECT_FALSE(rowNames(*form).contains(QStringLiteral("TIMEOUT")));
  EXPECT_EQ(form->panelText(TInfoForm::agentPanel), QStringLiteral("127.0.0.1"));
  QStringList items;
  for (QMenu* each : window().findChildren<QMenu*>()) {
    for (QAction* action : each->actions()) items << action->text();
  }
  EXPECT_TRUE(items.contains(QStringLiteral("Info 1  127.0.0.1"))) << items.join(QLatin1Char('|')).toStdString();
}

TEST_F(InfoWindowTest, PollInfoFormsCommandStartsAndStopsEveryWindow) {
  useAgent(freeLoopbackPort());
  QAction* poll = window().findChild<QAction*>(QStringLiteral("actionPollInfo"));
  poll->setChecked(true);
  TInfoForm* first = window().openInfoWindow(TInfoForm::standardKind);
  TInfoForm* second = window().openInfoWindow(TInfoForm::subtreeKind, QString::fromLatin1(kWholeMibRoot));
  ASSERT_TRUE(first && second);
  EXPECT_TRUE(first->polling() && second->polling());
  poll->setChecked(false);
  EXPECT_FALSE(first->polling() || second->polling());
  EXPECT_EQ(first->lightState(), SEM_IDLE);
  poll->setChecked(true);
  EXPECT_TRUE(first->polling() && second->polling());
}

// Whether `later` comes after `earlier` as arranged: to its right in the
// same row, or in a row above it.
bool follows(const QWidget* earlier, const QWidget* later) {
  QRect a = earlier->frameGeometry(), b = later->frameGeometry();
  return (b.top() == a.top() && b.left() > a.right()) || b.bottom() < a.top();
}

TEST_F(InfoWindowTest, ArrangeMinimizeAndRestoreActOnEveryInfoWindow) {
  useAgent(freeLoopbackPort());
  TInfoForm* first = window().openInfoWindow(TInfoForm::standardKind);
  TInfoForm* second = window().openInfoWindow(TInfoForm::standardKind);
  TInfoForm* third = window().openInfoWindow(TInfoForm::standardKind);
  ASSERT_TRUE(first && second && third);
  auto command = [&](const char* name) { window().findChild<QAction*>(QString::fromLatin1(name))->trigger(); };
  QRect area = window().screen()->availableGeometry();
  for (TInfoForm* form : {first, second, third}) form->resize(form->minimumSize());

  command("actionArrange");
  EXPECT_EQ(first->frameGeometry().left(), area.left());
  EXPECT_EQ(first->frameGeometry().bottom(), area.bottom());
  EXPECT_TRUE(follows(first, second) && follows(second, third))
      << first->y() << " " << second->y() << " " << third->y();
  command("actionArrangeReverse");
  EXPECT_EQ(third->frameGeometry().left(), area.left());
  EXPECT_EQ(third->frameGeometry().bottom(), area.bottom());
  EXPECT_TRUE(follows(third, second) && follows(second, first));

  command("actionMinimizeAll");
  for (TInfoForm* form : {first, second, third}) EXPECT_TRUE(form->isMinimized());
  command("actionRestoreAll");
  for (TInfoForm* form : {first, second, third}) EXPECT_FALSE(form->isMinimized());
}

TEST_F(InfoWindowTest, TreePopupOpensSubtreeAndWholeMibWindows) {
  useAgent(freeLoopbackPort());
  auto trigger = [&](const char* item, const QString& caption) {
    std::unique_ptr<QMenu> menu(window().preparePopupMenu(treeItem(QString::fromLatin1(item))));
    for (QAction* action : menu->actions()) {
      if (action->text() != caption) continue;
      action->trigger();
      return true;
    }
    return false;
  };
  ASSERT_TRUE(trigger("system", QStringLiteral("&Info")));
  ASSERT_TRUE(trigger("MIB Tree", QStringLiteral("&Info")));
  ASSERT_NE(window().infoWindow(0), nullptr);
  ASSERT_NE(window().infoWindow(1), nullptr);
  EXPECT_EQ(window().infoWindow(0)->kind(), TInfoForm::subtreeKind);
  EXPECT_EQ(window().infoWindow(0)->panelText(TInfoForm::messagePanel), QStringLiteral("Query 1.3.6.1.2.1.1 ..."));
  EXPECT_EQ(window().infoWindow(1)->panelText(TInfoForm::messagePanel), QStringLiteral("Query 0 ..."));
  ASSERT_TRUE(trigger("ifTable", QStringLiteral("Info &Table")));
  ASSERT_NE(window().tableIndexWindow(), nullptr);
  EXPECT_TRUE(window().tableIndexWindow()->isVisible());
}

TEST_F(InfoWindowTest, IntervalCannotBeShorterThanAPollMayTake) {
  useAgent(freeLoopbackPort());
  window().preferencesTab()->EditTimeout->setText(QStringLiteral("5"));
  window().preferencesTab()->EditRetransmits->setText(QStringLiteral("4"));
  window().newInfoWindow();
  TInfoForm* form = window().infoWindow(0);
  ASSERT_NE(form, nullptr);
  form->setPolling(false);
  EXPECT_EQ(form->intervalBox()->minimum(), 26);
  form->intervalBox()->findChild<QLineEdit*>()->setText(QStringLiteral("10"));
  QFocusEvent leaving(QEvent::FocusOut, Qt::TabFocusReason);
  QCoreApplication::sendEvent(form->intervalBox(), &leaving);
  EXPECT_EQ(form->intervalBox()->value(), 26);
}

TEST_F(InfoWindowTest, SixtyWindowsAtMostAndSlotsAreReused) {
  useAgent(freeLoopbackPort());
  window().findChild<QAction*>(QStringLiteral("actionPollInfo"))->setChecked(false);
  QAction* agentInfo = window().findChild<QAction*>(QStringLiteral("actionAgentInfo"));
  for (int opened = 0; opened < TZormNL32::kMaximumInfoWindows; ++opened) {
    ASSERT_NE(window().openInfoWindow(TInfoForm::standardKind), nullptr) << opened;
  }
  EXPECT_FALSE(agentInfo->isEnabled());
  EXPECT_EQ(window().openInfoWindow(TInfoForm::standardKind), nullptr);
  EXPECT_FALSE(window().infoWindow(0)->polling());
  window().infoWindow(4)->close();
  QCoreApplication::processEvents();
  EXPECT_TRUE(agentInfo->isEnabled());
  TInfoForm* reopened = window().openInfoWindow(TInfoForm::standardKind);
  ASSERT_NE(reopened, nullptr);
  EXPECT_EQ(reopened->slot(), 4);
  window().closeAllWindows();
  EXPECT_EQ(window().infoWindowCount(), 0);
}

TEST_F(InfoWindowTest, RowPopupPreparesTheSetWindowForTheRow) {
  if (!startAgent()) ORVANE_MISSING_PEER() << "snmpd did not start";
  window().newInfoWindow();
  TInfoForm* form = window().infoWindow(0);
  ASSERT_TRUE(waitForPoll(*form));
  QTreeWidgetItem* contact = form->rows()->findItems(QStringLiteral("sysContact.0"), Qt::MatchExactly).value(0);
  ASSERT_NE(contact, nullptr);
  std::unique_ptr<QMenu> menu(form->prepareRowPopup(contact));
  ASSERT_EQ(menu->actions().first()->text(), QStringLiteral("&Set"));
  menu->actions().first()->trigger();
  EXPECT_TRUE(window().setWindow()->isVisible());
  EXPECT_EQ(window().setWindow()->windowTitle(), QStringLiteral("Set - sysContact.0"));
}

TEST_F(InfoWindowTest, TableIndexThreadFindsTheInterfaces) {
  if (!startAgent()) ORVANE_MISSING_PEER() << "snmpd did not start";
  window().showTableIndexWindow(node("ifTable"));
  TFormTableIndex* form = window().tableIndexWindow();
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->windowTitle(), QStringLiteral("Choose Table Index(es) - ifTable"));
  EXPECT_EQ(form->label(), QStringLiteral("ifTable.ifEntry.<X>"));
  EXPECT_EQ(form->entryOid(), QStringLiteral("1.3.6.1.2.1.2.2.1"));
  ASSERT_TRUE(processEventsUntil([&] { return !form->discovering(); }, std::chrono::seconds(60)));
  EXPECT_EQ(form->lightState(), SEM_GO);
  QStringList found = form->indexes();
  ASSERT_FALSE(found.isEmpty());
  EXPECT_EQ(form->statusText(), QString::number(found.size()) + QStringLiteral(" indexes found."));
  EXPECT_TRUE(found.contains(QStringLiteral("1")));
  EXPECT_EQ(std::set<QString>(found.begin(), found.end()).size(), static_cast<size_t>(found.size()));

  // A column below the entry is walked itself.
  window().showTableIndexWindow(node("ifDescr"));
  EXPECT_EQ(form->label(), QStringLiteral("ifTable.ifEntry.ifDescr"));
  ASSERT_TRUE(processEventsUntil([&] { return !form->discovering(); }, std::chrono::seconds(60)));
  EXPECT_EQ(form->indexes(), found);

  form->indexList()->item(0)->setSelected(true);
  form->ShowSelectedClick();
  TInfoForm* table = window().infoWindow(0);
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->kind(), TInfoForm::tableKind);
  ASSERT_TRUE(waitForPoll(*table));
  QString suffix = QLatin1Char('.') + found.first();
  for (const QString& name : rowNames(*table)) EXPECT_TRUE(name.endsWith(suffix)) << name.toStdString();
}

TEST_F(InfoWindowTest, TableIndexWindowRefusesANodeOutsideTables) {
  window().showTableIndexWindow(node("sysDescr"));
  TFormTableIndex* form = window().tableIndexWindow();
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->label(), QStringLiteral("<none>"));
  EXPECT_EQ(form->statusText(), QStringLiteral("Table not in the OID path"));
  EXPECT_EQ(form->lightState(), SEM_ERROR);
  EXPECT_FALSE(form->discovering());
}

TEST_F(InfoWindowTest, SilentAgentEndsTheDiscoveryWhenTheTicksRunOut) {
  useAgent(freeLoopbackPort());
  window().showTableIndexWindow(node("ifTable"));
  TFormTableIndex* form = window().tableIndexWindow();
  ASSERT_TRUE(form->discovering());
  EXPECT_EQ(form->lightState(), SEM_WORKING);
  ASSERT_TRUE(processEventsUntil([&] { return !form->discovering(); }, std::chrono::seconds(60)));
  EXPECT_EQ(form->statusText(), QStringLiteral("0 indexes found."));
  EXPECT_EQ(form->lightState(), SEM_GO);
}

}  // namespace
}  // namespace netlens
