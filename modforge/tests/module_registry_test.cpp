#include "modforge/module_registry.h"

#include "platform/registry.h"
#include "smidb_registration.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace modforge;

namespace {

constexpr char kModules[] = "SOFTWARE\\Orvane\\SMI Modules\\Modules";

class ModuleRegistry : public testing::Test {
 protected:
  void SetUp() override {
    const char* runtime = std::getenv("ORVANE_RUNTIME_DIR");
    folder = std::string(runtime ? runtime : "/tmp") + "/registry-test";
    std::filesystem::create_directories(folder);
    // Each test starts from an empty registry, also when run in one process.
    std::filesystem::remove(platform::registryHiveFile(HKEY_LOCAL_MACHINE));
  }

  // A saved module: its file exists and it is known with its paths.
  KnownModule saved(const std::string& name) {
    KnownModule module;
    module.name = name;
    module.rootOid = "1.3.6";
    module.databasePath = folder + "/" + name + ".smidb";
    module.sourcePath = folder + "/" + name + ".mib";
    std::ofstream(module.databasePath) << "data";
    return module;
  }

  void registerAll(const std::vector<std::string>& names) {
    for (const std::string& name : names) {
      std::string error;
      ASSERT_TRUE(registerSavedModule(saved(name), error)) << error;
    }
  }

  static std::vector<std::string> registered() {
    std::vector<std::string> entries;
    for (const RegisteredModule& module : registeredModules()) entries.push_back(module.valueName + "=" + module.identity);
    return entries;
  }

  static bool keyExists(const std::string& module) {
    HKEY key = nullptr;
    std::string path = std::string(kModules) + "\\" + module;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
  }

  std::string folder;
};

TEST_F(ModuleRegistry, RegistersAModuleOnceWithItsPaths) {
  registerAll({"ALPHA-MIB", "ALPHA-MIB"});
  std::vector<RegisteredModule> modules = registeredModules();
  ASSERT_EQ(modules.size(), 1u);
  EXPECT_EQ(modules[0].valueName, "1");
  EXPECT_EQ(modules[0].keyPath, std::string(kModules) + "\\ALPHA-MIB");
  EXPECT_EQ(modules[0].identity, "ALPHA-MIB");
  EXPECT_EQ(modules[0].rootOid, "1.3.6");
  EXPECT_EQ(modules[0].databasePath, folder + "/ALPHA-MIB.smidb");
  EXPECT_EQ(modules[0].sourcePath, folder + "/ALPHA-MIB.mib");
}

TEST_F(ModuleRegistry, CompactionDropsModulesWhoseFileOrKeyIsGoneAndRenumbers) {
  registerAll({"A", "B", "C", "D"});
  std::filesystem::remove(folder + "/B.smidb");
  ASSERT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, (std::string(kModules) + "\\C").c_str()), ERROR_SUCCESS);
  EXPECT_EQ(smidb::compactModuleRegistry(), ERROR_SUCCESS);
  EXPECT_EQ(registered(), (std::vector<std::string>{"1=A", "2=D"}));
  EXPECT_FALSE(keyExists("B"));
  EXPECT_TRUE(keyExists("D"));
}

TEST_F(ModuleRegistry, RemoveAllDeletesFilesKeysAndValues) {
  registerAll({"A", "B"});
  EXPECT_TRUE(removeAllModules().empty());
  EXPECT_TRUE(registered().empty());
  EXPECT_FALSE(keyExists("A"));
  EXPECT_FALSE(std::filesystem::exists(folder + "/A.smidb"));
  EXPECT_FALSE(std::filesystem::exists(folder + "/B.smidb"));
}

TEST_F(ModuleRegistry, RemoveAllKeepsAModuleWhoseFileCannotBeDeleted) {
  registerAll({"A"});
  // A file of the kernel's: nobody, not even root, may delete it.
  KnownModule module = saved("C");
  module.databasePath = "/proc/version";
  std::string error;
  ASSERT_TRUE(registerSavedModule(module, error)) << error;
  std::vector<std::string> failures = removeAllModules();
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_EQ(failures[0].rfind("File '/proc/version' could not be removed. ", 0), 0u) << failures[0];
  EXPECT_EQ(registered(), (std::vector<std::string>{"1=C"}));
  EXPECT_FALSE(keyExists("A"));
  EXPECT_TRUE(keyExists("C"));
}

int hiveWrites = 0;
void countHiveWrite() { ++hiveWrites; }

TEST_F(ModuleRegistry, RegistersTheModulesOfARunInOneWriteOfTheHive) {
  registerAll({"OLD"});
  std::filesystem::remove(folder + "/OLD.smidb");  // compacted away on the way
  std::vector<KnownModule> modules = {saved("A"), saved("B"), saved("C")};
  hiveWrites = 0;
  platform::setRegistryWriteInterruption(countHiveWrite);
  std::string error;
  bool registeredAll = registerSavedModules({&modules[0], &modules[1], &modules[2], &modules[1]}, error);
  platform::setRegistryWriteInterruption(nullptr);
  ASSERT_TRUE(registeredAll) << error;
  EXPECT_EQ(hiveWrites, 1);
  EXPECT_EQ(registered(), (std::vector<std::string>{"1=A", "2=B", "3=C"}));
  EXPECT_FALSE(keyExists("OLD"));
}

TEST_F(ModuleRegistry, ABatchThatFailsRegistersNothing) {
  registerAll({"A"});
  std::vector<KnownModule> modules = {saved("B"), saved("C")};
  modules[1].name = "BAD\tNAME";  // no key name may hold a control character
  std::string error;
  EXPECT_FALSE(registerSavedModules({&modules[0], &modules[1]}, error));
  EXPECT_NE(error.find("refused"), std::string::npos) << error;
  EXPECT_EQ(registered(), (std::vector<std::string>{"1=A"}));
  EXPECT_FALSE(keyExists("B"));
}

TEST_F(ModuleRegistry, TellsTheCompilerWhereRegisteredSourcesAre) {
  registerAll({"A"});
  KnownModules modules;
  addRegisteredModules(modules);
  const KnownModule* known = modules.find("A");
  ASSERT_NE(known, nullptr);
  EXPECT_EQ(known->sourcePath, folder + "/A.mib");
  EXPECT_EQ(known->rootOid, "1.3.6");
}

}  // namespace
