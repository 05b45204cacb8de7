#include "platform/loadable_module.h"

#include <gtest/gtest.h>

namespace {

TEST(LoadableModule, AMissingModuleOrFunctionGivesAReason) {
  platform::LoadableModule missing;
  EXPECT_FALSE(missing.openBesideProgram("no-such-module.so"));
  EXPECT_NE(missing.error().find("no-such-module.so"), std::string::npos) << missing.error();
  EXPECT_EQ(missing.function("anything"), nullptr);

  // The C library is a module like any other, wherever the program is.
  platform::LoadableModule library;
  ASSERT_TRUE(library.openBesideProgram("/lib/x86_64-linux-gnu/libc.so.6")) << library.error();
  EXPECT_NE(library.function("strlen"), nullptr);
  EXPECT_EQ(library.function("noSuchFunctionAnywhere"), nullptr);
  EXPECT_NE(library.error().find("noSuchFunctionAnywhere"), std::string::npos) << library.error();
}

}  // namespace
