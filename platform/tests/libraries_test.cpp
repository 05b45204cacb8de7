// Loading libraries at run time.
#include "platform/libraries.h"

#include <gtest/gtest.h>

namespace {

TEST(LoadLibrary, FindsTheSuitesLibrariesByNameAndTheirFunctions) {
  // Beside this library, where no system search would look.
  HMODULE own = LoadLibraryEx("libplatform.so", nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  ASSERT_NE(own, nullptr);
  EXPECT_TRUE(FreeLibrary(own));
  HMODULE system = LoadLibraryEx("libc.so.6", nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  ASSERT_NE(system, nullptr);
  EXPECT_NE(GetProcAddress(system, "strlen"), nullptr);
  EXPECT_EQ(GetProcAddress(system, "orvane_no_such_function"), nullptr);
  EXPECT_TRUE(FreeLibrary(system));
  EXPECT_EQ(LoadLibraryEx("liborvane-no-such-library.so", nullptr, 0), nullptr);
  EXPECT_EQ(LoadLibraryEx("", nullptr, 0), nullptr);
}

}  // namespace
