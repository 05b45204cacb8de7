// Several threads using the library at once: calls are serialised and
// each thread keeps its own last error.
#include "modbase_fixture.h"

#include <atomic>
#include <thread>

namespace {

using namespace testing_modules;

class Threads : public ModuleLibrary {};

TEST_F(Threads, LookupsLoadsAndErrorsDoNotMix) {
  registerBytes("STAY-MIB", moduleWithNodes("STAY-MIB", {{"stay", {1, 3}}, {"stayChild", {1, 3, 1}}}));
  registerBytes("COME-MIB", moduleWithNodes("COME-MIB", {{"come", {1, 3, 2}}, {"comeChild", {1, 3, 2, 1}}}));
  ASSERT_TRUE(WsmLoadModule("STAY-MIB"));
  std::atomic<int> wrong{0};
  std::thread loader([&] {
    for (int round = 0; round < 200; ++round) {
      if (!WsmLoadModule("COME-MIB") || WsmGetLastError() != 0) ++wrong;
      HWSM_NODE come = WsmMapStrToNode("come");
      if (name(WsmFindNodeChild(come)) != "comeChild") ++wrong;
      if (!WsmUnloadModule("COME-MIB")) ++wrong;
    }
  });
  std::thread failer([&] {
    for (int round = 0; round < 400; ++round) {
      if (WsmMapStrToNode("missing") != 0 || WsmGetLastError() != 200) ++wrong;
    }
  });
  for (int round = 0; round < 400; ++round) {
    HWSM_NODE stay = WsmMapStrToNode("stay");
    if (!stay || WsmGetLastError() != 0) ++wrong;
    if (name(WsmFindNodeChild(stay)) != "stayChild") ++wrong;
    WsmMapStrToNode("come");  // there or not, depending on the loader
  }
  loader.join();
  failer.join();
  EXPECT_EQ(wrong.load(), 0);
}

}  // namespace
