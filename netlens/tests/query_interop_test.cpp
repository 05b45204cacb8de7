// Contact, Query and Abort against real agents: net-snmp's snmpd, whose
// walk the results pane must match line for line with snmpwalk's, and the
// agent simulator for walk bounds and faulty answers.
#include "browser_fixture.h"

#include "binding_text.h"
#include "crafted_responder.h"
#include "gui_application.h"
#include "net_snmp_agent.h"
#include "peer_walk.h"
#include "preferences_tab.h"
#include "query_tab.h"
#include "required_peer.h"
#include "simulated_agent.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include <fstream>

namespace netlens {
namespace {

// The browser's line for a binding as snmpwalk printed it.
QString expectedLine(const simagent::VarBind& binding) {
  smiOID name{static_cast<smiUINT32>(binding.name.size()), const_cast<smiUINT32*>(binding.name.data())};
  const simagent::Value& peer = binding.value;
  smiVALUE value{};
  value.syntax = peer.syntax;
  switch (peer.syntax) {
    case SNMP_SYNTAX_INT: value.value.sNumber = static_cast<smiINT32>(peer.number); break;
    case SNMP_SYNTAX_CNTR32:
    case SNMP_SYNTAX_GAUGE32:
    case SNMP_SYNTAX_TIMETICKS:
    case SNMP_SYNTAX_UINT32: value.value.uNumber = static_cast<smiUINT32>(peer.number); break;
    case SNMP_SYNTAX_CNTR64:
      value.value.hNumber = {static_cast<smiUINT32>(peer.counter64 >> 32), static_cast<smiUINT32>(peer.counter64)};
      break;
    case SNMP_SYNTAX_OID:
      value.value.oid = {static_cast<smiUINT32>(peer.oid.size()), const_cast<smiUINT32*>(peer.oid.data())};
      break;
    default:
      value.value.string = {static_cast<smiUINT32>(peer.octets.size()),
                            reinterpret_cast<smiLPBYTE>(const_cast<char*>(peer.octets.data()))};
      break;
  }
  return QString::fromStdString(bindingLine(name, value));
}

class QueryInterop : public BrowserTest {
 protected:
  void openWithModules() {
    if (!registerStandardModules()) ORVANE_MISSING_PEER() << "the standard MIB sources are not in the cache";
    openWindow();
    window().loadAllModules();
  }

  // The lines of the last walk, between its first and last line.
  QStringList walkLines() const {
    QStringList lines = paneLines();
    int start = lines.lastIndexOf(QStringLiteral("***** SNMP QUERY STARTED *****"));
    int end = lines.lastIndexOf(QStringLiteral("***** SNMP QUERY FINISHED *****"));
    if (start < 0 || end < start) return {};
    return lines.mid(start + 1, end - start - 1);
  }

  void query(const QString& node) {
    selectNode(node);
    window().SpeedButtonQueryClick();
    ASSERT_TRUE(waitForState(qsFinished)) << window().statusText().toStdString();
  }

  // Each line of the walk against snmpwalk's binding; values that change
  // between two walks only by name.
  void expectSameAsSnmpwalk(uint16_t port, const std::string& subtree, const std::vector<std::string>& options = {}) {
    PeerWalk theirs = snmpwalk(port, options, subtree);
    QStringList ours = walkLines();
    ASSERT_FALSE(theirs.names.empty());
    ASSERT_EQ(ours.size(), static_cast<int>(theirs.names.size()));
    for (size_t index = 0; index < theirs.names.size(); ++index) {
      const simagent::Oid& name = theirs.names[index];
      const simagent::Value* value = theirs.values.get(name);
      simagent::VarBind binding{name, value ? *value : simagent::Value{}};
      QString expected = expectedLine(binding);
      if (!value || changesOverTime(binding)) {
        expected = expected.section(QStringLiteral(" **** "), 0, 0);
        EXPECT_EQ(ours[index].section(QStringLiteral(" **** "), 0, 0), expected) << index;
      } else {
        EXPECT_EQ(ours[index], expected) << index;
      }
    }
  }
};

TEST_F(QueryInterop, ContactThenQueryOfTheSystemGroupMatchesSnmpwalk) {
  NetSnmpAgent agent;
  if (!agent.start()) ORVANE_MISSING_PEER() << "snmpd did not start";
  openWithModules();
  useAgent(agent.port());
  contactAgent();
  QStringList lines = paneLines();
  EXPECT_TRUE(lines.contains(QStringLiteral("Remote IP: 127.0.0.1")));
  EXPECT_TRUE(lines.contains(QStringLiteral("Local IP: ") + window().managerAddress()));
  EXPECT_EQ(window().statusText(), QStringLiteral("Remote SNMP agent 127.0.0.1 contacted."));
  EXPECT_EQ(window().light().SemaphoreState(), SEM_GO);

  query(QStringLiteral("system"));
  expectSameAsSnmpwalk(agent.port(), ".1.3.6.1.2.1.1");
  EXPECT_TRUE(walkLines().first().startsWith(QStringLiteral("sysDescr.0 **** (octets) ")));
  EXPECT_EQ(window().statusText(), QStringLiteral("Query agent 127.0.0.1 finished."));
  EXPECT_EQ(window().requestCount(), walkLines().size() + 1);
}

TEST_F(QueryInterop, TheInterfacesTableMatchesSnmpwalkWithAddressesInHex) {
  NetSnmpAgent agent;
  if (!agent.start()) ORVANE_MISSING_PEER() << "snmpd did not start";
  openWithModules();
  useAgent(agent.port());
  contactAgent();
  query(QStringLiteral("ifTable"));
  expectSameAsSnmpwalk(agent.port(), ".1.3.6.1.2.1.2.2");
  QStringList lines = walkLines();
  EXPECT_TRUE(lines.contains(QStringLiteral("ifDescr.1 **** (octets) lo")));
  EXPECT_TRUE(lines.contains(QStringLiteral("ifPhysAddress.1 **** (octets)  (zero-length)")));
}

// An agent marked SNMPv2c is walked with GetBulk: its 64-bit counters
// show, the walk ends at the subtree's end as with GetNext, and it takes
// a fraction of the requests.
TEST_F(QueryInterop, AnSnmpV2cAgentIsWalkedWithGetBulkCounter64Included) {
  NetSnmpAgent agent;
  if (!agent.start()) ORVANE_MISSING_PEER() << "snmpd did not start";
  openWithModules();
  useAgent(agent.port());
  window().preferencesTab()->CheckBoxSnmpV2c->setChecked(true);
  contactAgent();
  query(QStringLiteral("ifXTable"));
  expectSameAsSnmpwalk(agent.port(), ".1.3.6.1.2.1.31.1.1", {"-v2c"});
  QStringList lines = walkLines();
  EXPECT_TRUE(lines.filter(QStringLiteral("ifHCInOctets.1 **** (cntr64) ")).size() == 1) << lines.join('\n').toStdString();
  EXPECT_LT(window().requestCount(), lines.size() / 4);
}

// The version is remembered for each agent as typed.
TEST_F(QueryInterop, TheSnmpVersionIsRememberedPerAgent) {
  openWindow();
  QueryTab* tab = window().queryTab();
  tab->ComboBoxRSnmpAgent->setEditText(QStringLiteral("127.0.0.2"));
  window().preferencesTab()->CheckBoxSnmpV2c->setChecked(true);
  tab->ComboBoxRSnmpAgent->setEditText(QStringLiteral("127.0.0.3"));
  EXPECT_FALSE(window().preferencesTab()->CheckBoxSnmpV2c->isChecked());
  tab->ComboBoxRSnmpAgent->setEditText(QStringLiteral("127.0.0.2"));
  EXPECT_TRUE(window().preferencesTab()->CheckBoxSnmpV2c->isChecked());
}

class BoundedWalk : public QueryInterop {
 protected:
  void SetUp() override {
    QueryInterop::SetUp();
    std::string file = std::string(std::getenv("ORVANE_RUNTIME_DIR")) + "/bound.walk";
    std::ofstream(file) << ".1.3.6.1.2.1.1.1.0 = STRING: \"first\"\n"
                        << ".1.3.6.1.2.1.1.5.0 = STRING: \"host\"\n"
                        << ".1.3.6.1.2.1.2 = INTEGER: 7\n"
                        << ".1.3.6.1.2.1.2.1.0 = INTEGER: 2\n";
    ASSERT_TRUE(agent_.start({"--walk", file}));
    openWithModules();
    useAgent(agent_.port());
    contactAgent();
  }

  SimulatedAgent agent_;
};

TEST_F(BoundedWalk, AWalkEndsAfterTheSubtreeOfTheSelectedNode) {
  query(QStringLiteral("system"));
  // The bound itself (the first OID after the subtree) is still printed;
  // the next OID beyond it ends the walk.
  EXPECT_EQ(walkLines(), (QStringList{"sysDescr.0 **** (octets) first", "sysName.0 **** (octets) host",
                                      "interfaces **** (int, int32) 7"}));
}

TEST_F(BoundedWalk, QueryUntilNoSuchGoesOnToTheEndOfTheAgent) {
  window().queryTab()->CheckBoxBrowseAll->setChecked(true);
  query(QStringLiteral("system"));
  EXPECT_EQ(walkLines().size(), 4);
  EXPECT_EQ(walkLines().last(), QStringLiteral("ifNumber.0 **** (int, int32) 2"));
}

TEST_F(BoundedWalk, WithoutASelectedOidTheWalkStartsAtSysDescr) {
  query(QStringLiteral("MIB Tree"));
  EXPECT_EQ(walkLines().size(), 4);
}

TEST_F(QueryInterop, AbortStopsAWalkAndItsLateAnswersAreIgnored) {
  NetSnmpAgent agent;
  if (!agent.start()) ORVANE_MISSING_PEER() << "snmpd did not start";
  openWithModules();
  useAgent(agent.port());
  contactAgent();
  selectNode(QStringLiteral("MIB Tree"));
  window().SpeedButtonQueryClick();
  ASSERT_TRUE(processEventsUntil([&] { return window().requestCount() > 20; }));
  window().SpeedButtonAbortClick();
  EXPECT_EQ(window().queryState(), qsAborted);
  EXPECT_EQ(paneLines().last(), QStringLiteral("***** SNMP QUERY ABORTED *****"));
  EXPECT_EQ(window().statusText(), QStringLiteral("Query agent 127.0.0.1 aborted."));
  // Anything still on its way comes before the answer to a new contact.
  int aborted = paneLines().size();
  contactAgent();
  EXPECT_EQ(paneLines().mid(aborted - 1, 3),
            (QStringList{"***** SNMP QUERY ABORTED *****", "Closing connection!", QString()}));
}

TEST_F(QueryInterop, ASilentAgentTimesOutAndAbortWhileContactingGivesUp) {
  openWindow();
  useAgent(freeLoopbackPort());
  window().preferencesTab()->EditTimeout->setText(QStringLiteral("1"));
  window().preferencesTab()->EditRetransmits->setText(QStringLiteral("0"));
  window().SpeedButtonContactClick();
  EXPECT_EQ(window().queryState(), qsContacting);
  EXPECT_EQ(window().light().SemaphoreState(), SEM_WORKING);
  ASSERT_TRUE(waitForState(qsNotResponding));
  EXPECT_EQ(paneLines().last(), QStringLiteral("TIMEOUT"));
  EXPECT_EQ(window().statusText(), QStringLiteral("Remote SNMP agent 127.0.0.1 not responding!"));
  EXPECT_FALSE(window().findChild<QAction*>(QStringLiteral("actionQuery"))->isEnabled());

  window().preferencesTab()->EditTimeout->setText(QStringLiteral("5"));
  window().SpeedButtonContactClick();
  window().SpeedButtonAbortClick();
  EXPECT_EQ(window().queryState(), qsNotContacted);
  EXPECT_FALSE(window().findChild<QAction*>(QStringLiteral("actionQuery"))->isEnabled());
  EXPECT_TRUE(window().queryTab()->ComboBoxRSnmpAgent->isEnabled());
}

TEST_F(QueryInterop, ABoxWithoutANumberStopsTheContactBeforeItStarts) {
  openWindow();
  useAgent(161);
  window().preferencesTab()->EditRetransmits->setText(QStringLiteral("many"));
  window().SpeedButtonContactClick();
  EXPECT_EQ(window().queryState(), qsNotContacted);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, "'many' is not a valid integer value.");
}

TEST_F(QueryInterop, ChangingTheAgentAfterAContactAsksForANewOne) {
  SimulatedAgent agent;
  ASSERT_TRUE(agent.start());
  openWindow();
  useAgent(agent.port());
  contactAgent();
  window().queryTab()->ComboBoxRSnmpAgent->setEditText(QStringLiteral("127.0.0.2"));
  EXPECT_EQ(window().queryState(), qsNotContacted);
}

class FaultyAgent : public QueryInterop {
 protected:
  void walkSystemGroup(const std::vector<std::string>& faults) {
    SimulatedAgent agent;
    ASSERT_TRUE(agent.start(faults));
    openWithModules();
    useAgent(agent.port());
    contactAgent();
    query(QStringLiteral("system"));
  }
};

TEST_F(FaultyAgent, DuplicatedAnswersNeitherRepeatNorEndAWalk) {
  walkSystemGroup({"--duplicate"});
  QStringList lines = walkLines();
  ASSERT_GE(lines.size(), 7);
  EXPECT_EQ(lines.removeDuplicates(), 0);
  EXPECT_TRUE(lines.last().startsWith(QStringLiteral("sys"))) << lines.last().toStdString();
}

TEST_F(FaultyAgent, CraftedDatagramsBeforeEachAnswerChangeNothing) {
  if (!CraftedResponder::available()) ORVANE_MISSING_PEER() << "python3 is not installed";
  SimulatedAgent agent;
  ASSERT_TRUE(agent.start());
  openWithModules();
  useAgent(agent.port());
  contactAgent();
  query(QStringLiteral("system"));
  QStringList direct = walkLines();
  ASSERT_GE(direct.size(), 7);

  CraftedResponder responder;
  ASSERT_TRUE(responder.start(agent.port(), {"wrong-id,not-response,other-port,garbage,truncated,v2c"}));
  useAgent(responder.port());
  contactAgent();
  query(QStringLiteral("system"));
  QStringList crafted = walkLines();
  ASSERT_EQ(crafted.size(), direct.size());
  for (int index = 0; index < direct.size(); ++index) {
    // The clock has moved on between the walks.
    if (direct[index].startsWith(QStringLiteral("sysUpTime"))) continue;
    EXPECT_EQ(crafted[index], direct[index]);
  }
}

TEST_F(FaultyAgent, EndOfMibViewEndsAWalk) {
  if (!CraftedResponder::available()) ORVANE_MISSING_PEER() << "python3 is not installed";
  SimulatedAgent agent;
  ASSERT_TRUE(agent.start());
  CraftedResponder responder;
  CraftedResponder::Plan plan;
  plan.endOfMibView = true;
  ASSERT_TRUE(responder.start(agent.port(), plan));
  openWithModules();
  useAgent(responder.port());
  contactAgent();
  window().queryTab()->CheckBoxBrowseAll->setChecked(true);
  query(QStringLiteral("interfaces"));
  QStringList lines = walkLines();
  ASSERT_FALSE(lines.isEmpty());
  EXPECT_TRUE(lines.last().endsWith(QStringLiteral(" **** (endofmibview) ENDOFMIBVIEW"))) << lines.last().toStdString();
}

TEST_F(FaultyAgent, AnAgentThatDoesNotMoveOnEndsTheWalkInsteadOfLooping) {
  walkSystemGroup({"--stuck-getnext"});
  EXPECT_TRUE(paneLines().contains(
      QStringLiteral("The agent answered with an OID that does not follow the one asked for.")));
}

TEST_F(FaultyAgent, AnswersFromAnotherPortAreNotTheAgentsAnswers) {
  SimulatedAgent agent;
  ASSERT_TRUE(agent.start({"--reply-from-other-port"}));
  openWindow();
  useAgent(agent.port());
  window().preferencesTab()->EditTimeout->setText(QStringLiteral("1"));
  window().preferencesTab()->EditRetransmits->setText(QStringLiteral("0"));
  window().SpeedButtonContactClick();
  ASSERT_TRUE(waitForState(qsNotResponding));
  EXPECT_EQ(paneLines().last(), QStringLiteral("TIMEOUT"));
}

}  // namespace
}  // namespace netlens
