// The trap console with notifyd: traps from alertcast and from net-snmp's
// snmptrap shown with names, counted, and the alarm in the main window's
// status bar rung, acknowledged and cleared.
#include "browser_fixture.h"

#include "background_process.h"
#include "gui_application.h"
#include "preferences_tab.h"
#include "required_peer.h"
#include "trap_console.h"
#include "trap_server.h"

#include <QAction>
#include <QCheckBox>
#include <QStatusBar>
#include <QTreeWidget>

#include <cstdlib>

using namespace std::chrono_literals;

namespace netlens {
namespace {

QStringList childTexts(QTreeWidgetItem* node) {
  QStringList texts;
  for (int index = 0; index < node->childCount(); ++index) texts << node->child(index)->text(0);
  return texts;
}

void keepPicture(QWidget& window, const char* name) {
  const char* folder = std::getenv("ORVANE_SCREENSHOT_DIR");
  if (!folder || !*folder) return;
  window.grab().save(QString::fromLocal8Bit(folder) + QLatin1Char('/') + QString::fromLatin1(name) +
                     QStringLiteral(".png"));
}

class TrapConsole : public BrowserTest {
 protected:
  // notifyd first: the console registers when the main window creates it.
  void startWithServer() {
    ASSERT_TRUE(server.start());
    if (!registerStandardModules()) ORVANE_MISSING_PEER() << "the standard MIB sources are not in the cache";
    openWindow();
    window().loadAllModules();
    window().preferencesTab()->CheckBoxBeepOnTrap->setChecked(false);
    ASSERT_TRUE(console().registered());
  }

  TNotificationConsole& console() { return *window().trapConsole(); }
  bool waitForTraps(int count) { return processEventsUntil([&] { return console().trapCount() >= count; }, 60s); }
  QTreeWidgetItem* trap(int index) { return console().tree()->topLevelItem(index); }

  void alertcast(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {ORVANE_ALERTCAST_PATH, "127.0.0.1:" + std::to_string(server.port())});
    // alertcast's exit code is 1 when the trap went out.
    ProgramRun run = runProgram(arguments, 60s);
    ASSERT_EQ(run.exitCode, 1) << run.output;
  }

  TrapServer server;
};

TEST_F(TrapConsole, ShowsAnAlertcastTrapAsATreeWithNamesAndRingsTheAlarm) {
  startWithServer();
  if (HasFatalFailure() || IsSkipped()) return;
  alertcast({"-g3", "-cpublic", "-t2000", "-o1.3.6.1.2.1.2.2.1.1.3", "-mi3", "-e1.3.6.1.4.1.27182"});
  ASSERT_TRUE(waitForTraps(1));

  QTreeWidgetItem* top = trap(0);
  EXPECT_TRUE(top->text(0).startsWith(QStringLiteral("linkUp received from: 127.0.0.1 at "))) << top->text(0).toStdString();
  QStringList fields = childTexts(top);
  ASSERT_EQ(fields.size(), 6);
  EXPECT_EQ(fields[0], QStringLiteral("TimeStamp: 0 days 00h:00m:20s.00th"));
  EXPECT_EQ(fields[1], QStringLiteral("Agent address: 127.0.0.1"));
  EXPECT_TRUE(fields[2].startsWith(QStringLiteral("Manager address: ")));
  EXPECT_EQ(fields[3], QStringLiteral("Community: public"));
  EXPECT_EQ(fields[4], QStringLiteral("Enterprise: enterprises.27182"));
  EXPECT_EQ(fields[5], QStringLiteral("Bindings (4)"));
  EXPECT_EQ(childTexts(top->child(5)),
            (QStringList{"Binding #1: sysUpTime.0 **** (timeticks) 0 days 00h:00m:20s.00th",
                         "Binding #2: snmpTrapOID.0 **** (oid) linkUp",
                         "Binding #3: ifIndex.3 **** (int, int32) 3",
                         "Binding #4: snmpTrapEnterprise.0 **** (oid) enterprises.27182"}));
  EXPECT_EQ(console().statusText(), QStringLiteral("1 SNMP notifications received."));
  EXPECT_TRUE(console().isVisible());
  EXPECT_EQ(window().statusText(), QStringLiteral("Trap received from 127.0.0.1."));
  EXPECT_EQ(window().trapAlarm().state, alarmRinging);
  EXPECT_TRUE(console().flashing());
  keepPicture(console(), "trap_console_alertcast");
  keepPicture(window(), "trap_alarm_ringing");

  console().SpeedButtonAcknowledgeClick();
  EXPECT_EQ(window().trapAlarm().state, alarmAcknowledged);
  EXPECT_FALSE(console().flashing());
  console().SpeedButtonClearClick();
  EXPECT_EQ(window().trapAlarm().state, alarmQuiet);
  EXPECT_EQ(console().tree()->topLevelItemCount(), 0);
  EXPECT_EQ(console().statusText(), QStringLiteral("0 SNMP notifications received."));
}

TEST_F(TrapConsole, ShowsAnSnmptrapTrapAndRingsAgainAfterAnAcknowledge) {
  if (std::system("command -v snmptrap >/dev/null 2>&1") != 0) {
    ORVANE_MISSING_PEER() << "snmptrap (Debian package snmp) is not installed";
  }
  startWithServer();
  if (HasFatalFailure() || IsSkipped()) return;
  auto snmptrap = [&](const std::string& generic) {
    ProgramRun run = runProgram({"snmptrap", "-v1", "-c", "private", "-m", "", "127.0.0.1:" + std::to_string(server.port()),
                                 "1.3.6.1.4.1.27182", "10.1.2.3", generic, "17", "4711", "1.3.6.1.2.1.1.5.0", "s",
                                 "core-sw1"},
                                30s);
    ASSERT_EQ(run.exitCode, 0) << run.output;
  };
  snmptrap("6");
  ASSERT_TRUE(waitForTraps(1));
  QTreeWidgetItem* top = trap(0);
  EXPECT_TRUE(top->text(0).startsWith(QStringLiteral("enterprises.27182.0.0.17 received from: 127.0.0.1 at ")))
      << top->text(0).toStdString();
  QStringList fields = childTexts(top);
  ASSERT_EQ(fields.size(), 6);
  EXPECT_EQ(fields[0], QStringLiteral("TimeStamp: 0 days 00h:00m:47s.11th"));
  EXPECT_EQ(fields[3], QStringLiteral("Community: private"));
  EXPECT_EQ(childTexts(top->child(5)).value(2), QStringLiteral("Binding #3: sysName.0 **** (octets) core-sw1"));

  console().SpeedButtonAcknowledgeClick();
  ASSERT_EQ(window().trapAlarm().state, alarmAcknowledged);
  snmptrap("0");
  ASSERT_TRUE(waitForTraps(2));
  EXPECT_TRUE(trap(1)->text(0).startsWith(QStringLiteral("coldStart received from: "))) << trap(1)->text(0).toStdString();
  EXPECT_EQ(window().trapAlarm().state, alarmRinging);
  EXPECT_TRUE(console().flashing());
  EXPECT_EQ(console().statusText(), QStringLiteral("2 SNMP notifications received."));
  keepPicture(console(), "trap_console_snmptrap");
}

TEST_F(TrapConsole, WithoutPopupOrBeepATrapShowsAHiddenStatusBar) {
  startWithServer();
  if (HasFatalFailure() || IsSkipped()) return;
  window().preferencesTab()->CheckBoxPopupOnTrap->setChecked(false);
  window().findChild<QAction*>(QStringLiteral("actionStatusBar"))->setChecked(false);
  ASSERT_FALSE(window().statusBar()->isVisible());
  alertcast({"-g0", "-cpublic"});
  ASSERT_TRUE(waitForTraps(1));
  EXPECT_TRUE(window().statusBar()->isVisible());
  EXPECT_FALSE(console().isVisible());
}

TEST_F(TrapConsole, AcknowledgingAnEmptyConsoleQuietsTheAlarm) {
  openWindow();
  window().trapAlarm().state = alarmRinging;
  console().SpeedButtonAcknowledgeClick();
  EXPECT_EQ(window().trapAlarm().state, alarmQuiet);
  EXPECT_TRUE(window().trapAlarm().flash);
}

}  // namespace
}  // namespace netlens
