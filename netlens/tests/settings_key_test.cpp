// The browser's settings values in the per-user registry.
#include "settings_key.h"

#include "platform/registry.h"

#include <gtest/gtest.h>

namespace netlens {
namespace {

TEST(SettingNumbers, ReadDecimalAndHexadecimal) {
  EXPECT_EQ(parseSettingNumber("25"), 25);
  EXPECT_EQ(parseSettingNumber("-43"), -43);
  EXPECT_EQ(parseSettingNumber("0x1A"), 26);
  EXPECT_EQ(parseSettingNumber("0X1a"), 26);
  EXPECT_EQ(parseSettingNumber("0xFFFFFFFF"), -1);
  for (const char* bad : {"", "12abc", "0x", "0x-1", " 5", "5 ", "abc", "99999999999", "0x100000000"}) {
    EXPECT_FALSE(parseSettingNumber(bad).has_value()) << bad;
  }
}

TEST(SettingsKeyTest, ValuesAreStringsWrittenAndReadBack) {
  SettingsKey key("Layouts\\Test");
  EXPECT_EQ(key.readNumber("Width", 348), 348);
  key.writeNumber("Width", 500);
  key.writeFlag("Shown", true);
  key.writeString("Name", QStringLiteral("Z\u00fcrich"));
  EXPECT_EQ(key.readNumber("Width", 348), 500);
  EXPECT_TRUE(key.readFlag("Shown", false));
  EXPECT_EQ(key.readString("Name", QString()), QStringLiteral("Z\u00fcrich"));
  EXPECT_EQ(key.readText("Width"), "500");

  HKEY raw = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Orvane\\Orvane MIB Browser\\1.0\\Layouts\\Test", 0,
                          KEY_QUERY_VALUE, &raw),
            ERROR_SUCCESS);
  DWORD type = 0;
  ASSERT_EQ(RegQueryValueExA(raw, "Width", nullptr, &type, nullptr, nullptr), ERROR_SUCCESS);
  EXPECT_EQ(type, REG_SZ);
  RegCloseKey(raw);
}

TEST(SettingsKeyTest, TextThatIsNoNumberOrNoStringGivesTheDefault) {
  SettingsKey key("Preferences\\Test");
  key.writeString("Timeout", QStringLiteral("five"));
  EXPECT_EQ(key.readNumber("Timeout", 5), 5);
  HKEY raw = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Orvane\\Orvane MIB Browser\\1.0\\Preferences\\Test", 0,
                            nullptr, 0, KEY_SET_VALUE, nullptr, &raw, nullptr),
            ERROR_SUCCESS);
  DWORD binary = 7;
  RegSetValueExA(raw, "Retransmits", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&binary), sizeof binary);
  RegCloseKey(raw);
  EXPECT_EQ(key.readNumber("Retransmits", 4), 4);
  key.erase();
  EXPECT_FALSE(key.readText("Timeout").has_value());
}

}  // namespace
}  // namespace netlens
