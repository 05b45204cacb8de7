// Reading pipe commands and the answers to each, without a pipe.
#include "pipe_commands.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace pollhost {
namespace {

PipeCommand read(const std::string& text) { return readCommand(text.c_str(), text.size() + 1); }

TEST(PipeCommandReading, CommandsAreMatchedOnTheirFirstCharactersOrWhole) {
  EXPECT_EQ(read("va").kind, CommandKind::listAll);
  EXPECT_EQ(read("vab").kind, CommandKind::view);
  EXPECT_EQ(read("va 10.0.0.1").kind, CommandKind::view);
  EXPECT_EQ(read("v").kind, CommandKind::view);
  EXPECT_EQ(read("v1").kind, CommandKind::brief);
  EXPECT_EQ(read("v10.0.0.1").kind, CommandKind::brief);
  EXPECT_EQ(read("a 10.0.0.1").kind, CommandKind::add);
  EXPECT_EQ(read("r 10.0.0.1").kind, CommandKind::remove);
  EXPECT_EQ(read("c").kind, CommandKind::close);
  EXPECT_EQ(read("cx").kind, CommandKind::unknown);
  EXPECT_EQ(read("x").kind, CommandKind::unknown);
  EXPECT_EQ(read(" v").kind, CommandKind::unknown);

  EXPECT_EQ(read("a  10.0.0.1 extra").word, "10.0.0.1");
  EXPECT_EQ(read("a\t10.0.0.1").word, "10.0.0.1");
  EXPECT_FALSE(read("a10.0.0.1").word);
  EXPECT_FALSE(read("a ").word);
}

TEST(PipeCommandReading, AnythingButTerminatedPrintableTextIsUnknown) {
  EXPECT_EQ(readCommand("v", 1).kind, CommandKind::unknown);          // no terminator
  EXPECT_EQ(readCommand("v\0x", 3).kind, CommandKind::unknown);       // zero before the end
  EXPECT_EQ(readCommand("v\0\0", 3).kind, CommandKind::unknown);
  EXPECT_EQ(readCommand("", 1).kind, CommandKind::unknown);           // only the terminator
  EXPECT_EQ(readCommand(nullptr, 0).kind, CommandKind::unknown);
  EXPECT_EQ(readCommand("a \x01", 4).kind, CommandKind::unknown);
  EXPECT_EQ(readCommand("a \xff", 4).kind, CommandKind::unknown);
  std::string oversized(kPipeBufferSize + 1, 'v');
  oversized.back() = '\0';
  EXPECT_EQ(readCommand(oversized.data(), oversized.size()).kind, CommandKind::unknown);
  std::string largest(kPipeBufferSize, ' ');
  largest[0] = 'v';
  largest.back() = '\0';
  EXPECT_EQ(readCommand(largest.data(), largest.size()).kind, CommandKind::view);
}

class CommandAnswersTest : public testing::Test {
 protected:
  void SetUp() override {
    setenv("TZ", "UTC", 1);
    tzset();
  }
  std::string answer(const std::string& text) { return answers.answer(read(text)); }

  Timing timing;
  Poller poller{timing};
  CommandAnswers answers{poller, 883656000};
};

TEST_F(CommandAnswersTest, AddAndRemoveSayWhetherTheyDidIt) {
  EXPECT_EQ(answer("a 10.0.0.7"), "OK\r\n.");
  EXPECT_EQ(answer("a"), "Failed. Maximum number of descriptors exceeded..");
  EXPECT_EQ(answer("a 10.0.0"), "Failed. Invalid agent address..");
  EXPECT_EQ(answer("r 10.0.0.99"), "Failed\r\n.");
  EXPECT_EQ(answer("r"), "Failed\r\n.");
  EXPECT_EQ(answer("r 10.0.0.7"), "OK\r\n.");
  EXPECT_EQ(answer("r 10.0.0.7"), "Failed\r\n.");
  for (int i = 0; i < kDescriptorCount; ++i) ASSERT_EQ(answer("a 10.0.1." + std::to_string(i)), "OK\r\n.");
  EXPECT_EQ(answer("a 10.0.2.1"), "Failed. Maximum number of descriptors exceeded..");
}

TEST_F(CommandAnswersTest, ViewListsTheDescriptorsAndCountsThem) {
  EXPECT_EQ(answer("v"), "Service up time (GMT): Thu Jan 01 12:00:00 1998\r\n\r\nTotal descriptors count 0.\r\n.");
  answer("a 10.0.0.7");
  answer("a 10.0.0.8:1161");
  EXPECT_EQ(answer("v"),
            "Service up time (GMT): Thu Jan 01 12:00:00 1998\r\n"
            "Desc. index 0, agent: 10.0.0.7, last contacted: Not contacted\r\n"
            "Desc. index 1, agent: 10.0.0.8:1161, last contacted: Not contacted\r\n"
            "\r\nTotal descriptors count 2.\r\n.");
  EXPECT_EQ(answer("v 10.0.0.99"), "Unknown descriptor.\r\n.");
  std::string report = answer("v 10.0.0.8:1161");
  EXPECT_EQ(report.rfind("\r\nDescriptor index: 1\r\nRemote agent address: 10.0.0.8:1161", 0), 0u) << report;
  EXPECT_EQ(report.back(), '.');
  EXPECT_EQ(answer("v1"), "10.0.0.7\r\n10.0.0.8:1161\r\n.");
  EXPECT_EQ(answer("v1 10.0.0.99"), ".");
  EXPECT_EQ(answer("v1 10.0.0.7"), answer("v 10.0.0.7"));
  EXPECT_EQ(answer("c"), "\r\n.");
}

TEST_F(CommandAnswersTest, ListingHasOneMessagePerDescriptorThenTheEnd) {
  int position = 0;
  bool last = false;
  EXPECT_EQ(answers.listingMessage(position, last), ".");
  EXPECT_TRUE(last);
  answer("a 10.0.0.7");
  answer("a 10.0.0.8");
  answer("a 10.0.0.9");
  answer("r 10.0.0.8");
  position = 0;
  std::string first = answers.listingMessage(position, last);
  EXPECT_FALSE(last);
  EXPECT_EQ(first.rfind("\r\nDescriptor index: 0\r\n", 0), 0u);
  EXPECT_EQ(first.substr(first.size() - 3), "\r\n>");
  std::string second = answers.listingMessage(position, last);
  EXPECT_EQ(second.rfind("\r\nDescriptor index: 2\r\n", 0), 0u);
  EXPECT_EQ(answers.listingMessage(position, last), ".");
  EXPECT_TRUE(last);
}

}  // namespace
}  // namespace pollhost
