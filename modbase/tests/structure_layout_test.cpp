// The byte layout of the information structures, which leave the library.
#include "wsm.h"

#include <gtest/gtest.h>

#include <cstddef>

namespace {

TEST(StructureLayout, VendorInformationFieldsSitAtTheirOffsets) {
  EXPECT_EQ(sizeof(WSM_VENDOR_INFO), 424u);
  EXPECT_EQ(offsetof(WSM_VENDOR_INFO, dwSize), 0u);
  EXPECT_EQ(offsetof(WSM_VENDOR_INFO, dwMajorVersion), 4u);
  EXPECT_EQ(offsetof(WSM_VENDOR_INFO, dwMinorVersion), 8u);
  EXPECT_EQ(offsetof(WSM_VENDOR_INFO, dwBuildNumber), 12u);
  EXPECT_EQ(offsetof(WSM_VENDOR_INFO, szDescription), 16u);
  EXPECT_EQ(offsetof(WSM_VENDOR_INFO, dwEnterprise), 96u);
  EXPECT_EQ(offsetof(WSM_VENDOR_INFO, szCompany), 100u);
  EXPECT_EQ(offsetof(WSM_VENDOR_INFO, szEnterpriseOid), 180u);
  EXPECT_EQ(offsetof(WSM_VENDOR_INFO, szWebAddress), 260u);
  EXPECT_EQ(offsetof(WSM_VENDOR_INFO, szEmail), 340u);
  EXPECT_EQ(offsetof(WSM_VENDOR_INFO, dwReserved), 420u);
}

TEST(StructureLayout, ModuleInformationFieldsSitAtTheirOffsets) {
  EXPECT_EQ(sizeof(WSM_MODULE_INFO), 1296u);
  EXPECT_EQ(offsetof(WSM_MODULE_INFO, dwSize), 0u);
  EXPECT_EQ(offsetof(WSM_MODULE_INFO, szModuleName), 4u);
  EXPECT_EQ(offsetof(WSM_MODULE_INFO, szRootOid), 84u);
  EXPECT_EQ(offsetof(WSM_MODULE_INFO, dwOne), 164u);
  EXPECT_EQ(offsetof(WSM_MODULE_INFO, dwNodeCount), 168u);
  EXPECT_EQ(offsetof(WSM_MODULE_INFO, dwFileSizeLow), 172u);
  EXPECT_EQ(offsetof(WSM_MODULE_INFO, dwFileSizeHigh), 176u);
  EXPECT_EQ(offsetof(WSM_MODULE_INFO, dwReserved1), 180u);
  EXPECT_EQ(offsetof(WSM_MODULE_INFO, dwFormatVersion), 184u);
  EXPECT_EQ(offsetof(WSM_MODULE_INFO, szRegistryPath), 188u);
  EXPECT_EQ(offsetof(WSM_MODULE_INFO, abReserved), 700u);
  EXPECT_EQ(offsetof(WSM_MODULE_INFO, szDescription), 780u);
  EXPECT_EQ(offsetof(WSM_MODULE_INFO, dwReserved2), 1292u);
}

}  // namespace
