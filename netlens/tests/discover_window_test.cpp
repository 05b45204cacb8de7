// The discovery window against simulated agents on two addresses of a
// loopback range: each agent listed once, a second run skipping them, and
// the list sorted by its columns.
#include "browser_fixture.h"

#include "background_process.h"
#include "discover_window.h"
#include "gui_application.h"
#include "preferences_tab.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QTreeWidget>

#include <cstdlib>
#include <set>

using namespace std::chrono_literals;

namespace netlens {
namespace {

// The agent simulator on one loopback address; port 0 picks a free one.
class AgentAt {
 public:
  bool start(const std::string& address, uint16_t port, std::vector<std::string> options) {
    std::vector<std::string> arguments{ORVANE_SIMAGENT_PATH, "--address", address, "--port", std::to_string(port)};
    arguments.insert(arguments.end(), options.begin(), options.end());
    if (!process_.start(arguments)) return false;
    std::string marker = "ready on " + address + ":";
    std::string ready = process_.waitForLine(marker, 30s);
    size_t at = ready.find(marker);
    port_ = at == std::string::npos ? 0 : static_cast<uint16_t>(std::atoi(ready.c_str() + at + marker.size()));
    return port_ != 0;
  }
  uint16_t port() const { return port_; }

 private:
  BackgroundProcess process_;
  uint16_t port_ = 0;
};

void keepPicture(QWidget& window, const char* name) {
  const char* folder = std::getenv("ORVANE_SCREENSHOT_DIR");
  if (!folder || !*folder) return;
  processEventsUntil([] { return false; }, 300ms);
  window.grab().save(QString::fromLocal8Bit(folder) + QLatin1Char('/') + QString::fromLatin1(name) +
                     QStringLiteral(".png"));
}

class Discovery : public BrowserTest {
 protected:
  void SetUp() override {
    BrowserTest::SetUp();
    // Two agents on one port of the range 127.0.0.1 .. 5; the second
    // answers late, so that each of its replies is seen on its own, and
    // the first answers every request twice.
    ASSERT_TRUE(first.start("127.0.0.2", 0, {"--duplicate", "--contact", "Ops Two", "--location", "Rack 2"}));
    ASSERT_TRUE(second.start("127.0.0.4", first.port(), {"--delay", "700", "--contact", "Ops Four"}));
    openWindow();
    // No retransmits and a short timeout: a wait of 5 s.
    window().preferencesTab()->EditRetransmits->setText(QStringLiteral("0"));
    window().preferencesTab()->EditTimeout->setText(QStringLiteral("5"));
    TFormDiscover& discovery = *window().discoverWindow();
    discovery.ComboBoxStartDiscover->setEditText(QStringLiteral("127.0.0.1"));
    discovery.ComboBoxStopDiscover->setEditText(QStringLiteral("127.0.0.5"));
    discovery.EditCommunity->setEditText(QStringLiteral("public"));
    discovery.SNMPPortEdit->setEditText(QString::number(first.port()));
  }

  TFormDiscover& discovery() { return *window().discoverWindow(); }

  // Runs one discovery to its end; the texts status panel 2 showed.
  std::set<QString> discover() {
    std::set<QString> shown;
    discovery().SpeedButtonStartClick();
    EXPECT_TRUE(discovery().waiting());
    EXPECT_TRUE(processEventsUntil(
        [&] {
          shown.insert(discovery().panelText(2));
          return !discovery().waiting();
        },
        90s));
    return shown;
  }

  QStringList column(int index) {
    QStringList texts;
    QTreeWidget* list = discovery().list();
    for (int row = 0; row < list->topLevelItemCount(); ++row) texts << list->topLevelItem(row)->text(index);
    return texts;
  }

  AgentAt first;
  AgentAt second;
};

TEST_F(Discovery, ListsEachAnsweringAgentOnceAndSkipsThemOnTheNextRun) {
  discover();
  ASSERT_EQ(discovery().targets().size(), 5u);
  EXPECT_EQ(discovery().totalTicks(), 50);
  EXPECT_EQ(column(TFormDiscover::address), (QStringList{"127.0.0.2", "127.0.0.4"}));
  EXPECT_EQ(column(TFormDiscover::contact), (QStringList{"Ops Two", "Ops Four"}));
  EXPECT_EQ(column(TFormDiscover::location).first(), QStringLiteral("Rack 2"));
  EXPECT_EQ(column(TFormDiscover::community), (QStringList{"public", "public"}));
  EXPECT_EQ(column(TFormDiscover::port).first(), QString::number(first.port()));
  EXPECT_TRUE(column(TFormDiscover::upTime).first().contains(QStringLiteral(" days ")));
  EXPECT_FALSE(column(TFormDiscover::name).first().isEmpty());
  EXPECT_FALSE(column(TFormDiscover::description).first().isEmpty());
  EXPECT_EQ(discovery().panelText(1), QStringLiteral("Total 2 SNMP agents discovered."));
  EXPECT_EQ(discovery().panelText(2), QStringLiteral("Discovery finished."));
  for (const DiscoveryTarget& target : discovery().targets()) EXPECT_FALSE(target.active);

  std::set<QString> shown = discover();
  EXPECT_EQ(column(TFormDiscover::address).size(), 2);
  QStringList names = column(TFormDiscover::name);
  EXPECT_TRUE(shown.count(QStringLiteral("Waiting for replies (skipping ") + names[0] +
                          QStringLiteral(":127.0.0.2) ...")));
  EXPECT_TRUE(shown.count(QStringLiteral("Waiting for replies (skipping ") + names[1] +
                          QStringLiteral(":127.0.0.4) ...")));
  EXPECT_EQ(discovery().panelText(1), QStringLiteral("Total 2 SNMP agents discovered."));
}

TEST_F(Discovery, SortsByTheClickedColumnAndMarksItsDirection) {
  discover();
  QTreeWidget* list = discovery().list();
  discovery().sortByColumn(TFormDiscover::address);
  EXPECT_EQ(list->headerItem()->text(TFormDiscover::address), QStringLiteral("System Address +"));
  EXPECT_EQ(column(TFormDiscover::address), (QStringList{"127.0.0.2", "127.0.0.4"}));
  discovery().sortByColumn(TFormDiscover::address);
  EXPECT_EQ(list->headerItem()->text(TFormDiscover::address), QStringLiteral("System Address -"));
  EXPECT_EQ(column(TFormDiscover::address), (QStringList{"127.0.0.4", "127.0.0.2"}));
  discovery().sortByColumn(TFormDiscover::contact);
  EXPECT_EQ(list->headerItem()->text(TFormDiscover::address), QStringLiteral("System Address"));
  EXPECT_EQ(list->headerItem()->text(TFormDiscover::contact), QStringLiteral("Contact Person +"));
  EXPECT_EQ(column(TFormDiscover::contact), (QStringList{"Ops Four", "Ops Two"}));
  // The two narrow columns at the end do not sort.
  discovery().sortByColumn(TFormDiscover::spareRight);
  EXPECT_EQ(list->headerItem()->text(TFormDiscover::spareRight), QStringLiteral(">"));
  EXPECT_EQ(column(TFormDiscover::contact), (QStringList{"Ops Four", "Ops Two"}));

  // An agent's address goes to the main window's agent history.
  QMenu* menu = discovery().preparePopupMenu(list->topLevelItem(0));
  for (QAction* action : menu->actions()) {
    if (action->text() == QLatin1String("IP To &History List")) action->trigger();
  }
  QComboBox& agents = window().historyBox(SharedHistory::agents);
  EXPECT_GE(agents.findText(QStringLiteral("127.0.0.4")), 0);

  keepPicture(discovery(), "discovery_finished");
}

TEST_F(Discovery, CancelEndsTheWaitAndLetsTheNextRunStart) {
  discovery().show();
  discovery().SpeedButtonStartClick();
  ASSERT_TRUE(discovery().waiting());
  ASSERT_TRUE(processEventsUntil([&] { return discovery().list()->topLevelItemCount() == 2; }, 60s));
  EXPECT_EQ(discovery().panelText(1), QStringLiteral("New: 2 /  Total discovered: 2"));
  keepPicture(discovery(), "discovery_waiting");
  discovery().SpeedButtonCancelClick();
  EXPECT_FALSE(discovery().waiting());
  EXPECT_EQ(discovery().panelText(2), QStringLiteral("Discovery canceled."));
  for (const DiscoveryTarget& target : discovery().targets()) {
    EXPECT_FALSE(target.active);
    EXPECT_EQ(target.entity, nullptr);
  }
  discovery().SpeedButtonStartClick();
  EXPECT_TRUE(discovery().waiting());
  discovery().SpeedButtonCancelClick();
}

}  // namespace
}  // namespace netlens
