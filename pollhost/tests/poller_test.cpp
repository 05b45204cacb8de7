// The descriptor table, the routing of answers to descriptors and the
// descriptor report, on a poller opened on the test's thread.
#include "descriptor_report.h"
#include "poller.h"

#include "platform/waits.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace pollhost {
namespace {

// Agents nobody listens for: polls go nowhere.
constexpr char kFirstAgent[] = "127.0.0.1:9";
constexpr char kSecondAgent[] = "127.0.0.2:9";

smiVALUE octets(const char* text) {
  smiVALUE value{};
  value.syntax = SNMP_SYNTAX_OCTETS;
  value.value.string.len = static_cast<smiUINT32>(std::char_traits<char>::length(text));
  value.value.string.ptr = reinterpret_cast<smiLPBYTE>(const_cast<char*>(text));
  return value;
}

smiVALUE number(smiUINT32 syntax, smiUINT32 number) {
  smiVALUE value{};
  value.syntax = syntax;
  value.value.uNumber = number;
  return value;
}

// Every step of the poll timer polls.
Timing pollingEveryStep() {
  Timing timing;
  timing.pollingInterval = timing.pollStep;
  return timing;
}

class PollerTest : public testing::Test {
 protected:
  void SetUp() override {
    setenv("TZ", "UTC", 1);
    tzset();
    ASSERT_TRUE(poller.open(GetCurrentThreadId()));
  }

  DescriptorTable& table() { return poller.table(); }

  // Polls every descriptor `times` times.
  void poll(int times) {
    for (int i = 0; i < times; ++i) poller.step();
  }

  HSNMP_VBL bindings(const std::vector<std::pair<const char*, smiVALUE>>& entries) {
    HSNMP_VBL list = SnmpCreateVbl(table().session(), nullptr, nullptr);
    for (const auto& [text, value] : entries) {
      smiOID oid{};
      SnmpStrToOid(text, &oid);
      SnmpSetVb(list, 0, &oid, &value);
      SnmpFreeDescriptor(SNMP_SYNTAX_OID, reinterpret_cast<smiLPOPAQUE>(&oid));
    }
    lists.push_back(list);
    return list;
  }

  HSNMP_VBL systemGroup() {
    return bindings({{"1.3.6.1.2.1.1.3.0", number(SNMP_SYNTAX_TIMETICKS, 8640000)},
                     {"1.3.6.1.2.1.1.5.0", octets("router-7")},
                     {"1.3.6.1.2.1.1.4.0", octets("Jo Bloggs")},
                     {"1.3.6.1.2.1.1.6.0", octets("Rack 4")},
                     {"1.3.6.1.2.1.1.1.0", octets("Test agent")},
                     {"1.3.6.1.2.1.1.7.0", number(SNMP_SYNTAX_INT, 72)}});
  }

  bool answer(smiINT32 requestId, const char* source = "127.0.0.1", smiINT status = 0, HSNMP_VBL list = nullptr,
              smiINT type = SNMP_PDU_RESPONSE, uint16_t port = 9) {
    return poller.takeAnswer(type, requestId, status, {source, port}, list ? list : systemGroup());
  }

  void TearDown() override {
    for (HSNMP_VBL list : lists) SnmpFreeVbl(list);
    poller.close();
  }

  Timing timing = pollingEveryStep();
  Poller poller{timing};
  std::vector<HSNMP_VBL> lists;
};

TEST_F(PollerTest, EachSlotHasItsOwnRequestIdWindowThatWrapsAround) {
  ASSERT_EQ(table().add(kFirstAgent), 0);
  ASSERT_EQ(table().add(kSecondAgent), 1);
  EXPECT_EQ(table().inUse(0)->minRequestId, 2000);
  EXPECT_EQ(table().inUse(0)->maxRequestId, 2099);
  EXPECT_EQ(table().inUse(1)->minRequestId, 2100);
  EXPECT_EQ(table().inUse(1)->maxRequestId, 2199);
  poll(99);
  EXPECT_EQ(table().inUse(0)->nextRequestId, 2099);
  poll(1);
  EXPECT_EQ(table().inUse(0)->awaitedRequestId, 2099);
  EXPECT_EQ(table().inUse(0)->nextRequestId, 2000);
  EXPECT_EQ(table().inUse(1)->nextRequestId, 2100);
}

TEST_F(PollerTest, FirstPollFollowsTheAddAndTheNextWaitsForTheInterval) {
  timing.pollingInterval = 3000;
  Poller slow(timing);
  ASSERT_TRUE(slow.open(GetCurrentThreadId()));
  ASSERT_EQ(slow.table().add(kFirstAgent), 0);
  slow.step();
  EXPECT_EQ(slow.table().inUse(0)->nextRequestId, 2001);
  slow.step();
  slow.step();
  EXPECT_EQ(slow.table().inUse(0)->nextRequestId, 2001);
  slow.step();
  EXPECT_EQ(slow.table().inUse(0)->nextRequestId, 2002);
}

TEST_F(PollerTest, TableHoldsSixtyAgentsAndReusesTheLowestFreeSlot) {
  for (int i = 0; i < kDescriptorCount; ++i) ASSERT_EQ(table().add("10.0.0." + std::to_string(i + 1)), i);
  EXPECT_EQ(table().add("10.0.1.1"), kTableFull);
  EXPECT_TRUE(table().remove(3));
  EXPECT_FALSE(table().remove(3));
  EXPECT_FALSE(table().remove(60));
  EXPECT_FALSE(table().remove(-1));
  EXPECT_EQ(table().addressText(3), "Unknown");
  EXPECT_EQ(table().add("10.0.1.1"), 3);
  EXPECT_EQ(table().find("10.0.1.1"), 3);
  EXPECT_EQ(table().inUse(3)->nextRequestId, 2300);
  EXPECT_EQ(table().inUse(3)->successfulContacts, 0u);
}

TEST_F(PollerTest, AddressesAreReadAsTheConsoleProgramsReadThem) {
  EXPECT_EQ(table().add("10.0.0.7:161"), 0);
  EXPECT_EQ(table().addressText(0), "10.0.0.7");
  EXPECT_EQ(table().find("10.0.0.7"), 0);
  EXPECT_EQ(table().add("127.0.0.1:16161"), 1);
  EXPECT_EQ(table().find("127.0.0.1"), kNoDescriptor);
  EXPECT_EQ(table().find("127.0.0.1:16161"), 1);
  for (const char* bad : {"", "host.example", "10.0.0", "10.0.0.256", "10.0.0.1:0", "10.0.0.1:70000", "10.0.0.1x"}) {
    EXPECT_EQ(table().add(bad), kBadAddress) << bad;
  }
}

TEST_F(PollerTest, AnswerIsRoutedToTheDescriptorWhoseWindowHoldsItsId) {
  table().add(kFirstAgent);
  table().add(kSecondAgent);
  poll(51);  // the second descriptor now awaits 2150
  EXPECT_FALSE(answer(2150, "127.0.0.1"));  // not from the second agent
  EXPECT_FALSE(answer(2150, "127.0.0.2", 0, nullptr, SNMP_PDU_RESPONSE, 161));  // nor from its port
  EXPECT_TRUE(answer(2150, "127.0.0.2"));
  EXPECT_EQ(table().inUse(1)->successfulContacts, 1u);
  EXPECT_EQ(table().inUse(0)->successfulContacts, 0u);
  EXPECT_EQ(*table().inUse(1)->sysName, "router-7");
  EXPECT_FALSE(table().inUse(0)->sysName);
  EXPECT_FALSE(answer(1999));
  EXPECT_FALSE(answer(2200));
}

TEST_F(PollerTest, OnlyTheAwaitedAnswerOfTheLatestPollCounts) {
  table().add(kFirstAgent);
  poll(2);  // polls 2000 and 2001
  EXPECT_FALSE(answer(2000));  // late answer to the earlier poll
  EXPECT_TRUE(answer(2001));
  EXPECT_FALSE(answer(2001));  // the same answer again
  EXPECT_EQ(table().inUse(0)->successfulContacts, 1u);
  EXPECT_FALSE(answer(2002));  // not asked yet
}

TEST_F(PollerTest, NoSuchNameAndOtherPduTypesChangeNothing) {
  table().add(kFirstAgent);
  poll(1);
  EXPECT_FALSE(answer(2000, "127.0.0.1", SNMP_ERROR_NOSUCHNAME));
  EXPECT_FALSE(answer(2000, "127.0.0.1", 0, nullptr, SNMP_PDU_TRAP));
  EXPECT_FALSE(answer(2000, "127.0.0.1", 0, nullptr, SNMP_PDU_GET));
  const Descriptor& descriptor = *table().inUse(0);
  EXPECT_EQ(descriptor.successfulContacts, 0u);
  EXPECT_EQ(descriptor.firstContacted, 0);
  EXPECT_FALSE(descriptor.sysDescr);
  EXPECT_TRUE(answer(2000));  // still awaited
}

TEST_F(PollerTest, ValuesAreStoredOnlyUnderTheirOidAndSyntax) {
  table().add(kFirstAgent);
  poll(1);
  HSNMP_VBL odd = bindings({{"1.3.6.1.2.1.1.5.0", number(SNMP_SYNTAX_INT, 5)},          // name as a number
                            {"1.3.6.1.2.1.1.3.0", number(SNMP_SYNTAX_CNTR32, 77)},       // up time as a counter
                            {"1.3.6.1.2.1.1.4", octets("no instance")},                  // contact without .0
                            {"1.3.6.1.2.1.1.6.0", octets("Basement")},
                            {"1.3.6.1.2.1.1.7.0", octets("72")}});                        // services as text
  ASSERT_TRUE(answer(2000, "127.0.0.1", 0, odd));
  const Descriptor& descriptor = *table().inUse(0);
  EXPECT_FALSE(descriptor.sysName);
  EXPECT_EQ(descriptor.sysUpTime, 0u);
  EXPECT_FALSE(descriptor.sysContact);
  EXPECT_EQ(*descriptor.sysLocation, "Basement");
  EXPECT_EQ(descriptor.sysServices, 0);
  EXPECT_EQ(descriptor.successfulContacts, 1u);

  poll(1);
  ASSERT_TRUE(answer(2001, "127.0.0.1", 0, bindings({{"1.3.6.1.2.1.1.6.0", octets("Roof")}})));
  EXPECT_EQ(*descriptor.sysLocation, "Roof");
}

TEST_F(PollerTest, NeverAnsweredDescriptorReportsNoContactAndNoRemoteLines) {
  table().add("10.0.0.7");
  ManagerIdentity manager{"station", "192.0.2.5"};
  EXPECT_EQ(descriptorReport(*table().inUse(0), 0, manager),
            "\r\nDescriptor index: 0"
            "\r\nRemote agent address: 10.0.0.7"
            "\r\nManager address: station (192.0.2.5)"
            "\r\nRemote agent community: vulpes"
            "\r\nRemote agent polling interval: 1.0 seconds"
            "\r\nLast query request ID: 2000"
            "\r\nQuery request ID window: min 2000, max 2099"
            "\r\nQuery retries: 4"
            "\r\nQuery timeout: 15.0 seconds"
            "\r\nQuery retransmition policy: ON"
            "\r\nFirst contacted: Not contacted"
            "\r\nLast contacted: Not contacted"
            "\r\nSuccesfull contacts: 0");
  EXPECT_EQ(lastContactedText(table(), 0), "Not contacted");
  EXPECT_EQ(lastContactedText(table(), 5), "Not contacted");
}

TEST_F(PollerTest, AnsweredDescriptorReportsWhatTheAgentSaid) {
  table().add(kFirstAgent);
  poll(1);
  ASSERT_TRUE(answer(2000));
  Descriptor& descriptor = *table().inUse(0);
  descriptor.firstContacted = 883656000;  // Thu Jan 01 12:00:00 1998
  descriptor.lastContacted = 883656000 + 86400 + 61;
  std::string report = descriptorReport(descriptor, 0, {"station", "192.0.2.5"});
  EXPECT_NE(report.find("\r\nFirst contacted: Thu Jan 01 12:00:00 1998"
                        "\r\nLast contacted: Fri Jan 02 12:01:01 1998"
                        "\r\nSuccesfull contacts: 1"
                        "\r\nRemote system name: router-7"
                        "\r\nRemote system up time: 1 day 00h:00m:00s.00th (8640000)"
                        "\r\nRemote system descriptor: Test agent"
                        "\r\nRemote system location: Rack 4"
                        "\r\nRemote system contact: Jo Bloggs"
                        "\r\nRemote system services: (72) transport application "),
            std::string::npos)
      << report;
  EXPECT_TRUE(report.size() >= 4 && report.substr(report.size() - 4) == "ion ");
  EXPECT_EQ(lastContactedText(table(), 0), "Fri Jan 02 12:01:01 1998");
}

TEST(DescriptorTexts, ServicesAndAgentTextsAreShownSafely) {
  EXPECT_EQ(servicesText(72), "(72) transport application ");
  EXPECT_EQ(servicesText(127), "(127) physical datalink network transport session presentation application ");
  EXPECT_EQ(servicesText(0), "(0) ");
  Descriptor descriptor;
  descriptor.sysName = std::string("evil\x1b[2Jname");
  descriptor.sysContact = std::string("a\0b", 3);
  descriptor.sysDescr = "";
  std::string report = descriptorReport(descriptor, 0, {});
  EXPECT_EQ(report.find('\x1b'), std::string::npos);
  EXPECT_NE(report.find("\r\nRemote system name: 65.76.69.6c.1b.5b.32.4a.6e.61.6d.65 (hex)"), std::string::npos)
      << report;
  EXPECT_NE(report.find("\r\nRemote system contact: 61.00.62 (hex)"), std::string::npos);
  EXPECT_NE(report.find("\r\nRemote system descriptor: \r\n"), std::string::npos);
  EXPECT_EQ(gmtDateText(0), "Thu Jan 01 00:00:00 1970");
}

}  // namespace
}  // namespace pollhost
