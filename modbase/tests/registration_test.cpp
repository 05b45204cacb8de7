// Registering saved modules, as the compiler does after a save.
#include "module_files.h"

#include "smidb_format.h"

#include "platform/registry.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using namespace smidb;

class Registration : public testing::Test {
 protected:
  void SetUp() override { std::filesystem::remove_all(platform::registryRoot()); }

  static RegistrationOutcome add(const std::string& name, const std::string& source = "/src/x.mib") {
    LONG error = 0;
    return registerModule({name, "1.3.6.1", "/db/" + name + ".smidb", source}, error);
  }
  static std::string value(const std::string& key, const char* name) {
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return "<no key>";
    char data[256];
    DWORD size = sizeof data, type = 0;
    LONG result = RegQueryValueExA(opened, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(opened);
    if (result != ERROR_SUCCESS) return "<missing>";
    return type == REG_SZ && size > 0 && data[size - 1] == '\0' ? data : "<not text>";
  }
};

TEST_F(Registration, WritesTheModuleKeyAndANumberedValue) {
  ASSERT_EQ(add("IF-MIB"), RegistrationOutcome::registered);
  ASSERT_EQ(add("IP-MIB", ""), RegistrationOutcome::registered);
  std::string modules = kModulesKey;
  EXPECT_EQ(value(modules, "1"), "SOFTWARE\\Orvane\\SMI Modules\\Modules\\IF-MIB");
  EXPECT_EQ(value(modules, "2"), "SOFTWARE\\Orvane\\SMI Modules\\Modules\\IP-MIB");
  EXPECT_EQ(value(modules + "\\IF-MIB", "Module Identity"), "IF-MIB");
  EXPECT_EQ(value(modules + "\\IF-MIB", "Root OID"), "1.3.6.1");
  EXPECT_EQ(value(modules + "\\IF-MIB", "Database Path"), "/db/IF-MIB.smidb");
  EXPECT_EQ(value(modules + "\\IF-MIB", "Source Path"), "/src/x.mib");
  EXPECT_EQ(value(modules + "\\IP-MIB", "Source Path"), "<missing>");  // empty texts are not written
}

TEST_F(Registration, AModuleIsRegisteredOnce) {
  ASSERT_EQ(add("IF-MIB"), RegistrationOutcome::registered);
  EXPECT_EQ(add("IF-MIB"), RegistrationOutcome::alreadyRegistered);
  EXPECT_EQ(value(kModulesKey, "2"), "<missing>");
}

TEST_F(Registration, ANumberInUseIsNeverOverwritten) {
  for (const char* name : {"A-MIB", "B-MIB", "C-MIB"}) ASSERT_EQ(add(name), RegistrationOutcome::registered);
  HKEY modules = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kModulesKey, 0, KEY_ALL_ACCESS, &modules), ERROR_SUCCESS);
  ASSERT_EQ(RegDeleteValueA(modules, "2"), ERROR_SUCCESS);
  RegCloseKey(modules);
  // Two values left, so "3" would be the count plus one, but it is taken.
  ASSERT_EQ(add("D-MIB"), RegistrationOutcome::registered);
  EXPECT_EQ(value(kModulesKey, "3"), "SOFTWARE\\Orvane\\SMI Modules\\Modules\\C-MIB");
  EXPECT_EQ(value(kModulesKey, "4"), "SOFTWARE\\Orvane\\SMI Modules\\Modules\\D-MIB");
}

TEST_F(Registration, CompactionKeepsOnlyModulesWithTheirFiles) {
  auto withFile = [](const std::string& name) {
    std::string path = testing_modules::runtimePath(name + ".smidb");
    testing_modules::writeFile(path, {1});
    LONG error = 0;
    return registerModule({name, "1.3", path, ""}, error);
  };
  for (const char* name : {"A-MIB", "B-MIB", "C-MIB", "D-MIB"}) ASSERT_EQ(withFile(name), RegistrationOutcome::registered);
  std::filesystem::remove(testing_modules::runtimePath("B-MIB.smidb"));
  std::string modules = kModulesKey;
  ASSERT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, (modules + "\\C-MIB").c_str()), ERROR_SUCCESS);

  ASSERT_EQ(compactModuleRegistry(), ERROR_SUCCESS);
  EXPECT_EQ(value(modules, "1"), modules + "\\A-MIB");
  EXPECT_EQ(value(modules, "2"), modules + "\\D-MIB");
  EXPECT_EQ(value(modules, "3"), "<missing>");
  EXPECT_EQ(value(modules + "\\B-MIB", "Module Identity"), "<no key>");  // deleted with its value
  EXPECT_EQ(value(modules + "\\D-MIB", "Module Identity"), "D-MIB");
}

TEST_F(Registration, CompactingAnEmptyRegistryDoesNothing) {
  EXPECT_EQ(compactModuleRegistry(), ERROR_SUCCESS);
}

}  // namespace
