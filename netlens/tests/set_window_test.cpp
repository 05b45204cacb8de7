// The Set window: preparing it for a node, its checks in order, and Sets
// against net-snmp's agent read back with snmpget.
#include "browser_fixture.h"

#include "background_process.h"
#include "crafted_responder.h"
#include "gui_application.h"
#include "net_snmp_agent.h"
#include "preferences_tab.h"
#include "query_tab.h"
#include "required_peer.h"
#include "set_window.h"

#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

namespace netlens {
namespace {

class SetWindow : public BrowserTest {
 protected:
  void SetUp() override {
    BrowserTest::SetUp();
    if (!registerStandardModules()) ORVANE_MISSING_PEER() << "the standard MIB sources are not in the cache";
    openWindow();
    window().loadAllModules();
  }

  TFormMibSet& form() { return *window().setWindow(); }
  QComboBox& box(const char* name) { return *form().findChild<QComboBox*>(QString::fromLatin1(name)); }
  QRadioButton& syntax(const char* name) {
    return *form().findChild<QRadioButton*>(QStringLiteral("RadioButton") + QString::fromLatin1(name));
  }
  void openFor(const QString& node) {
    selectNode(node);
    window().SpeedButtonSetClick();
    ASSERT_TRUE(form().isVisible());
  }
  void fill(const char* agent, const char* community, uint16_t port, const char* value) {
    box("ComboBoxAgent").setEditText(QString::fromLatin1(agent));
    box("ComboBoxCommunity").setEditText(QString::fromLatin1(community));
    box("ComboBoxPort").setEditText(QString::number(port));
    box("ComboBoxValue").setEditText(QString::fromUtf8(value));
  }
  bool waitUntilReady() {
    return processEventsUntil([&] { return !form().busy(); });
  }
};

TEST_F(SetWindow, IsPreparedForTheSelectedNodeAndItsInstance) {
  window().queryTab()->ComboBoxRSnmpAgent->setEditText(QStringLiteral("10.1.2.3"));
  openFor(QStringLiteral("sysContact"));
  EXPECT_EQ(form().windowTitle(), QStringLiteral("Set - sysContact.0"));
  EXPECT_EQ(box("ComboBoxOid").currentText(), QStringLiteral("1.3.6.1.2.1.1.4.0"));
  EXPECT_EQ(box("ComboBoxAgent").currentText(), QStringLiteral("10.1.2.3"));
  EXPECT_TRUE(syntax("Octets").isChecked());
  EXPECT_EQ(form().lightState(), SEM_IDLE);

  form().prepare(QStringLiteral("10.1.2.3"), QStringLiteral("ifAdminStatus"));
  EXPECT_EQ(form().windowTitle(), QStringLiteral("Set - ifAdminStatus.1"));
  EXPECT_EQ(box("ComboBoxOid").currentText(), QStringLiteral("1.3.6.1.2.1.2.2.1.7.1"));
  EXPECT_TRUE(syntax("Integer32").isChecked());
  EXPECT_FALSE(syntax("Octets").isChecked());

  form().prepare(QStringLiteral("10.1.2.3"), QStringLiteral("ifAdminStatus"), QStringLiteral("12"));
  EXPECT_EQ(box("ComboBoxOid").currentText(), QStringLiteral("1.3.6.1.2.1.2.2.1.7.12"));
  form().prepare(QStringLiteral("10.1.2.3"), QStringLiteral("system"));
  EXPECT_EQ(form().windowTitle(), QStringLiteral("Set - system"));
  EXPECT_EQ(box("ComboBoxOid").currentText(), QStringLiteral("1.3.6.1.2.1.1"));
  form().prepare(QStringLiteral("10.1.2.3"), QString());
  EXPECT_EQ(form().windowTitle(), QStringLiteral("Set"));
  EXPECT_TRUE(box("ComboBoxOid").currentText().isEmpty());
}

TEST_F(SetWindow, InputIsCheckedInOrderAndNothingIsSentUntilItIsRight) {
  form().prepare(QString(), QString());
  form().show();
  box("ComboBoxCommunity").setEditText(QString());
  box("ComboBoxValue").setEditText(QString());
  struct Step {
    std::function<void()> change;
    const char* status;
    const char* message;
  };
  const Step steps[] = {
      {[] {}, "Syntax not selected.", "Syntax not selected."},
      {[&] { syntax("Integer32").setChecked(true); }, "Remote IP agent not set.", "Remote IP agent address not set."},
      {[&] { box("ComboBoxAgent").setEditText(QStringLiteral("127.0.0.1")); }, "Community not set.",
       "Community not set."},
      {[&] { box("ComboBoxCommunity").setEditText(QStringLiteral("private")); }, "Value not set.", "Value not set."},
      {[&] { box("ComboBoxValue").setEditText(QStringLiteral("abc")); }, "Value conversion failed.",
       "Could not convert value \"abc\" to internal form."},
      {[&] { box("ComboBoxValue").setEditText(QStringLiteral("42")); }, "OID not set.", "OID not set."},
      {[&] { box("ComboBoxOid").setEditText(QStringLiteral("1.3.six")); }, "OID conversion failed.",
       "Could not convert OID \"1.3.six\" to internal form."},
  };
  for (const Step& step : steps) {
    step.change();
    messages.clear();
    form().ButtonSetClick();
    EXPECT_EQ(form().statusText().toStdString(), step.status);
    ASSERT_EQ(messages.size(), 1u) << step.status;
    EXPECT_EQ(messages[0].text, step.message);
    EXPECT_EQ(form().lightState(), SEM_ERROR);
    EXPECT_FALSE(form().busy());
  }
}

TEST_F(SetWindow, SetsSysContactWithoutATerminatorAndSnmpgetReadsItBack) {
  NetSnmpAgent agent;
  if (!agent.start()) ORVANE_MISSING_PEER() << "snmpd did not start";
  openFor(QStringLiteral("sysContact"));
  fill("127.0.0.1", "private", agent.port(), "Jo Bloggs");
  form().ButtonSetClick();
  EXPECT_TRUE(form().busy());
  ASSERT_TRUE(waitUntilReady());
  EXPECT_EQ(form().statusText(), QStringLiteral("Success."));
  EXPECT_EQ(form().lightState(), SEM_GO);
  QStringList lines = paneLines();
  int start = lines.lastIndexOf(QStringLiteral("***** SNMP SET-RESPONSE START *****"));
  ASSERT_GE(start, 0);
  EXPECT_EQ(lines.mid(start + 1),
            (QStringList{"sysContact.0 **** (octets) Jo Bloggs", "***** SNMP SET-RESPONSE END *****"}));

  ProgramRun get = runProgram({"snmpget", "-v1", "-c", "public", "-On", "-Ox", agent.address(), ".1.3.6.1.2.1.1.4.0"},
                              std::chrono::seconds(30), {"MIBS="});
  EXPECT_NE(get.output.find("Hex-STRING: 4A 6F 20 42 6C 6F 67 67 73 \n"), std::string::npos) << get.output;
}

TEST_F(SetWindow, OnlyTheAgentsOwnAnswerCompletesTheSet) {
  if (!CraftedResponder::available()) ORVANE_MISSING_PEER() << "python3 is not installed";
  NetSnmpAgent agent;
  if (!agent.start()) ORVANE_MISSING_PEER() << "snmpd did not start";
  CraftedResponder responder;
  ASSERT_TRUE(responder.start(agent.port(), {"wrong-id,not-response,other-port,garbage"}));
  openFor(QStringLiteral("sysContact"));
  fill("127.0.0.1", "private", responder.port(), "through the decoys");
  form().ButtonSetClick();
  ASSERT_TRUE(waitUntilReady());
  EXPECT_EQ(form().statusText(), QStringLiteral("Success."));
  EXPECT_EQ(paneLines().count(QStringLiteral("***** SNMP SET-RESPONSE START *****")), 1);
  EXPECT_TRUE(paneLines().contains(QStringLiteral("sysContact.0 **** (octets) through the decoys")));
}

TEST_F(SetWindow, AnAgentsRefusalIsShownWithItsErrorIndex) {
  NetSnmpAgent agent;
  if (!agent.start()) ORVANE_MISSING_PEER() << "snmpd did not start";
  openFor(QStringLiteral("sysDescr"));
  fill("127.0.0.1", "private", agent.port(), "not writable");
  form().ButtonSetClick();
  ASSERT_TRUE(waitUntilReady());
  EXPECT_TRUE(form().statusText().startsWith(QStringLiteral("Error: "))) << form().statusText().toStdString();
  EXPECT_EQ(form().lightState(), SEM_ERROR);
  EXPECT_TRUE(paneLines().contains(form().statusText() + QStringLiteral(" Error index: 1.")));
}

TEST_F(SetWindow, ASilentAgentTimesOutAndCancelGivesUp) {
  openFor(QStringLiteral("sysContact"));
  window().preferencesTab()->EditTimeout->setText(QStringLiteral("1"));
  window().preferencesTab()->EditRetransmits->setText(QStringLiteral("0"));
  fill("127.0.0.1", "private", freeLoopbackPort(), "nobody");
  form().ButtonSetClick();
  EXPECT_EQ(form().statusText(), QStringLiteral("Waiting for reply from 127.0.0.1..."));
  ASSERT_TRUE(waitUntilReady());
  EXPECT_EQ(form().statusText(), QStringLiteral("Request timed out."));
  EXPECT_EQ(form().lightState(), SEM_ERROR);

  window().preferencesTab()->EditTimeout->setText(QStringLiteral("5"));
  form().ButtonSetClick();
  ASSERT_TRUE(form().busy());
  form().ButtonCancelClick();
  EXPECT_FALSE(form().busy());
  EXPECT_EQ(form().statusText(), QStringLiteral("Operation aborted."));
  EXPECT_EQ(form().lightState(), SEM_IDLE);
}

TEST_F(SetWindow, ItsValueAndOidHistoriesComeBackAfterARestart) {
  openFor(QStringLiteral("sysContact"));
  box("ComboBoxValue").setEditText(QStringLiteral("first value"));
  box("ComboBoxAgent").setEditText(QString());  // refused before anything is sent
  form().ButtonSetClick();
  closeWindow();
  openWindow();
  QComboBox& values = box("ComboBoxValue");
  EXPECT_GE(values.findText(QStringLiteral("first value")), 0);
  EXPECT_GE(box("ComboBoxOid").findText(QStringLiteral("1.3.6.1.2.1.1.4.0")), 0);
}

}  // namespace
}  // namespace netlens
