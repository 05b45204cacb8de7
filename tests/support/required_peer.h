// Tests that need a peer program or file the set-up installs (snmpd,
// tshark, the standard MIB sources ...). A developer running ctest by hand
// without it sees the test skipped; under the test command, which sets
// ORVANE_REQUIRE_PEERS, a missing peer is a failure, so a broken set-up
// cannot pass unnoticed.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>

inline bool peersRequired() {
  const char* required = std::getenv("ORVANE_REQUIRE_PEERS");
  return required && *required && *required != '0';
}

// Ends the test, skipped or failed as above; takes a message like FAIL():
//   if (!toolAvailable("tshark")) ORVANE_MISSING_PEER() << "tshark is not installed";
#define ORVANE_MISSING_PEER()                                                                           \
  return GTEST_MESSAGE_("a peer the set-up installs is missing",                                       \
                        peersRequired() ? ::testing::TestPartResult::kFatalFailure                      \
                                        : ::testing::TestPartResult::kSkip)
