// The drop-down history lists: their order, capacity and registry form.
#include "history_lists.h"

#include "gui_application.h"
#include "settings_key.h"

#include <gtest/gtest.h>

#include <QComboBox>

namespace netlens {
namespace {

QStringList items(const QComboBox& box) {
  QStringList all;
  for (int index = 0; index < box.count(); ++index) all << box.itemText(index);
  return all;
}

class HistoryListsTest : public testing::Test {
 protected:
  void SetUp() override {
    for (QComboBox* box : {&box_, &other_}) box->setEditable(true);
  }

  // Widgets need the application first.
  QApplication& application_ = guiApplication();
  HistoryLists lists_;
  QComboBox box_;
  QComboBox other_;
};

TEST_F(HistoryListsTest, NewTextGoesOnTopAndTheOldestBeyondCapacityGoes) {
  lists_.setCapacity(3);
  box_.setEditText(QStringLiteral("typed"));
  for (const char* text : {"A", "B", "C", "B", "0.0.0.0", "D"}) lists_.add(box_, QString::fromLatin1(text));
  EXPECT_EQ(items(box_), (QStringList{"D", "C", "B"}));
  lists_.add(box_, QStringLiteral("b"));  // compared with case
  EXPECT_EQ(items(box_), (QStringList{"b", "D", "C"}));
  EXPECT_EQ(box_.currentText(), QStringLiteral("typed"));
  lists_.setBulkOperation(true);
  lists_.add(box_, QStringLiteral("E"));
  EXPECT_EQ(items(box_).size(), 3);
  EXPECT_FALSE(items(box_).contains(QStringLiteral("E")));
}

TEST_F(HistoryListsTest, AStoredListReadsBackReversedAfterItsText) {
  for (const char* text : {"C", "B", "A"}) lists_.add(box_, QString::fromLatin1(text));
  box_.setEditText(QStringLiteral("A"));
  lists_.save("HistoryLists\\Agent IPs", "AgentIP_", box_);
  EXPECT_EQ(SettingsKey("HistoryLists\\Agent IPs").readText("AgentIP_0"), "A");
  EXPECT_EQ(SettingsKey("HistoryLists\\Agent IPs").readText("AgentIP_1"), "A");
  lists_.load("HistoryLists\\Agent IPs", "AgentIP_", QStringLiteral("10.0.0.1"), other_);
  EXPECT_EQ(items(other_), (QStringList{"C", "B", "A"}));
  EXPECT_EQ(other_.currentText(), QStringLiteral("A"));

  box_.setEditText(QStringLiteral("T"));
  lists_.save("HistoryLists\\Agent IPs", "AgentIP_", box_);
  lists_.load("HistoryLists\\Agent IPs", "AgentIP_", QStringLiteral("10.0.0.1"), other_);
  EXPECT_EQ(items(other_), (QStringList{"C", "B", "A", "T"}));
  EXPECT_EQ(other_.currentText(), QStringLiteral("T"));
}

TEST_F(HistoryListsTest, AMissingListGivesTheDefaultAndSavingReplacesTheOldList) {
  lists_.load("HistoryLists\\Communities", "Community_", QStringLiteral("vulpes"), box_);
  EXPECT_EQ(items(box_), (QStringList{"vulpes"}));
  EXPECT_EQ(box_.currentText(), QStringLiteral("vulpes"));
  for (const char* text : {"a", "b", "c"}) lists_.add(box_, QString::fromLatin1(text));
  lists_.save("HistoryLists\\Communities", "Community_", box_);
  clearHistory(box_);
  EXPECT_EQ(box_.count(), 0);
  EXPECT_EQ(box_.currentText(), QStringLiteral("vulpes"));
  lists_.save("HistoryLists\\Communities", "Community_", box_);
  EXPECT_FALSE(SettingsKey("HistoryLists\\Communities").readText("Community_1").has_value());
}

TEST_F(HistoryListsTest, ABoxWithoutTextTakesItsFirstItem) {
  SettingsKey key("HistoryLists\\SNMP Ports");
  key.writeString("SNMPPort_0", QString());
  key.writeString("SNMPPort_1", QStringLiteral("1161"));
  lists_.load("HistoryLists\\SNMP Ports", "SNMPPort_", QStringLiteral("161"), box_);
  EXPECT_EQ(box_.currentText(), QStringLiteral("1161"));
}

TEST_F(HistoryListsTest, BorrowedListsKeepTheirOrderAndComeBackWithNewText) {
  for (const char* text : {"C", "B", "A"}) lists_.add(box_, QString::fromLatin1(text));
  other_.setEditText(QStringLiteral("mine"));
  lists_.copyInto(other_, box_);
  EXPECT_EQ(items(other_), (QStringList{"A", "B", "C"}));
  EXPECT_EQ(other_.currentText(), QStringLiteral("mine"));
  lists_.add(other_, other_.currentText());
  lists_.mergeBack(other_, box_);
  EXPECT_EQ(items(box_), (QStringList{"mine", "A", "B", "C"}));

  QComboBox empty;
  empty.setEditable(true);
  lists_.copyInto(empty, box_);
  EXPECT_EQ(empty.currentText(), QStringLiteral("mine"));
}

}  // namespace
}  // namespace netlens
