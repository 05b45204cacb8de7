#include "file_types.h"
#include "preferences.h"

#include "platform/registry.h"

#include <gtest/gtest.h>

#include <cstring>

namespace modforge {
namespace {

std::string defaultText(const std::string& key, const char* name = nullptr) {
  HKEY handle = nullptr;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return "(no key)";
  char data[1024] = {};
  DWORD type = 0, bytes = sizeof data;
  LONG result = RegQueryValueExA(handle, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &bytes);
  RegCloseKey(handle);
  if (result != ERROR_SUCCESS) return "(no value)";
  if (type == REG_BINARY) return "binary " + std::to_string(bytes);
  return type == REG_SZ ? std::string(data, strnlen(data, bytes)) : "(not a string)";
}

void setNumber(const char* section, const char* name, DWORD type, DWORD value) {
  HKEY key = nullptr;
  std::string path = std::string(kProfileKey) + "\\" + section;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(&value), sizeof value);
  RegCloseKey(key);
}

TEST(Preferences, EveryValueHasItsDefaultUntilWritten) {
  Preferences read = readPreferences();
  EXPECT_EQ(read.warningLevel, 2);
  EXPECT_TRUE(read.warnOverwrite);
  EXPECT_TRUE(read.warnNotSaved);
  EXPECT_TRUE(read.mibFullExpand);
  EXPECT_TRUE(read.setFileTypes);
  EXPECT_TRUE(read.saveSourcePaths);
  EXPECT_TRUE(read.warnBeforeRemove);
  EXPECT_EQ(read.loadPath, "");
  EXPECT_EQ(read.savePath, "");
  EXPECT_FALSE(readLayout("Layout", "Main Window"));
}

TEST(Preferences, WrittenValuesAreReadBack) {
  Preferences written;
  written.warningLevel = 1;
  written.warnOverwrite = false;
  written.setFileTypes = false;
  written.loadPath = "/home/me/mibs";
  written.savePath = "/home/me/smidb";
  ASSERT_TRUE(writePreferences(written));
  ASSERT_TRUE(writeLayout("Layout", "Vertical splitter", {1, 2, 3}));
  Preferences read = readPreferences();
  EXPECT_EQ(read.warningLevel, 1);
  EXPECT_FALSE(read.warnOverwrite);
  EXPECT_FALSE(read.setFileTypes);
  EXPECT_TRUE(read.warnNotSaved);
  EXPECT_EQ(read.loadPath, "/home/me/mibs");
  EXPECT_EQ(read.savePath, "/home/me/smidb");
  EXPECT_EQ(readLayout("Layout", "Vertical splitter"), (std::vector<uint8_t>{1, 2, 3}));
}

TEST(Preferences, AValueOfAnotherTypeReadsAsTheDefault) {
  setNumber("Preferences", "Warning Level", REG_BINARY, 0);
  setNumber("Preferences", "MIB Full Expand", REG_DWORD, 0);
  Preferences read = readPreferences();
  EXPECT_EQ(read.warningLevel, 2);
  EXPECT_FALSE(read.mibFullExpand);
}

TEST(SourceFileTypes, EveryExtensionOpensWithTheCompileCommand) {
  ASSERT_TRUE(registerSourceFileTypes("/opt/orvane/bin/modforge"));
  for (const char* extension : {".mib", ".smi", ".mi2", ".sm2"}) EXPECT_EQ(defaultText(extension), "MIBfile");
  EXPECT_EQ(defaultText("MIBfile"), "Orvane MIB Compiler");
  EXPECT_EQ(defaultText("MIBfile", "EditFlags"), "binary 4");
  EXPECT_EQ(defaultText("MIBfile\\Shell"), "Compile");
  EXPECT_EQ(defaultText("MIBfile\\Shell\\Compile"), "Compile");
  EXPECT_EQ(defaultText("MIBfile\\Shell\\Compile\\command"), "/opt/orvane/bin/modforge %1");
  EXPECT_EQ(defaultText("MIBfile\\DefaultIcon"), "/opt/orvane/bin/modforge,0");
}

TEST(SourceFileTypes, AProgramPathWithBlanksIsQuotedInTheCommand) {
  ASSERT_TRUE(registerSourceFileTypes("/opt/Orvane Tools/modforge"));
  EXPECT_EQ(defaultText("MIBfile\\Shell\\Compile\\command"), "\"/opt/Orvane Tools/modforge\" %1");
}

}  // namespace
}  // namespace modforge
