#include "options.h"

#include <gtest/gtest.h>

#include <vector>

namespace simagent {
namespace {

bool parse(std::vector<const char*> arguments, Options& options, std::string& error) {
  arguments.insert(arguments.begin(), "simagent");
  return parseOptions(static_cast<int>(arguments.size()), const_cast<char**>(arguments.data()), options, error);
}

TEST(Options, DefaultsToLoopbackPort16161WithPublicAndPrivate) {
  Options options;
  std::string error;
  ASSERT_TRUE(parse({}, options, error));
  EXPECT_EQ(options.address, "127.0.0.1");
  EXPECT_EQ(options.port, 16161);
  EXPECT_EQ(options.communities, (std::map<std::string, bool>{{"public", false}, {"private", true}}));
}

TEST(Options, FaultsAndCommunities) {
  Options options;
  std::string error;
  ASSERT_TRUE(parse({"--port", "0", "--community", "ro", "--write-community", "rw", "--drop-every", "3",
                     "--delay", "250", "--error-status", "5:2", "--duplicate", "--reply-from-other-port"},
                    options, error))
      << error;
  EXPECT_EQ(options.port, 0);
  EXPECT_EQ(options.communities, (std::map<std::string, bool>{{"ro", false}, {"rw", true}}));
  EXPECT_EQ(options.faults.dropEvery, 3u);
  EXPECT_EQ(options.faults.delayMilliseconds, 250u);
  EXPECT_EQ(options.faults.errorStatus, 5);
  EXPECT_EQ(options.faults.errorIndex, 2);
  EXPECT_TRUE(options.faults.duplicate);
  EXPECT_TRUE(options.faults.replyFromOtherPort);
}

TEST(Options, MistakesAreNamed) {
  struct Case {
    std::vector<const char*> arguments;
    const char* message;
  } cases[] = {{{"--port", "70000"}, "bad value for --port: 70000"},
               {{"--port"}, "--port needs a value"},
               {{"--drop-percent", "101"}, "bad value for --drop-percent: 101"},
               {{"--error-status", "2:x"}, "bad value for --error-status: 2:x"},
               {{"--bogus"}, "unknown option --bogus"}};
  for (const Case& c : cases) {
    Options options;
    std::string error;
    EXPECT_FALSE(parse(c.arguments, options, error));
    EXPECT_EQ(error, c.message);
  }
}

}  // namespace
}  // namespace simagent
