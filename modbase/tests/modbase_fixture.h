// A fresh registry for each test, modules unloaded after it, and short
// ways to ask the library about nodes.
#pragma once

#include "module_files.h"

#include "wsm.h"

#include "platform/registry.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

class ModuleLibrary : public testing::Test {
 protected:
  void SetUp() override { std::filesystem::remove_all(platform::registryRoot()); }
  void TearDown() override {
    char identity[256];
    for (int guard = 0; guard < 100 && WsmEnumLoadedModule(1, identity, sizeof identity); ++guard) {
      WsmUnloadModule(identity);
    }
  }

  static std::string text(HWSM_NODE node, UINT selector) {
    char buffer[600] = {};
    smiUINT32 size = sizeof buffer;
    return WsmGetNodeString(node, selector, &size, buffer) ? buffer : "<error " + std::to_string(WsmGetLastError()) + ">";
  }
  static std::string name(HWSM_NODE node) { return node ? text(node, WSM_NODE_NAME) : "<none>"; }
  static smiUINT32 code(HWSM_NODE node, UINT selector) {
    smiUINT32 value = 0;
    return WsmGetNodeInt(node, selector, &value) ? value : 1000 + WsmGetLastError();
  }
  static std::vector<smiUINT32> oidOf(HWSM_NODE node) {
    smiOID oid{};
    if (!WsmGetNodeOid(node, WSM_NODE_OID, &oid)) return {};
    std::vector<smiUINT32> parts(oid.ptr, oid.ptr + oid.len);
    SnmpFreeDescriptor(SNMP_SYNTAX_OID, reinterpret_cast<smiLPOPAQUE>(&oid));
    return parts;
  }
  static HWSM_NODE byOid(std::vector<smiUINT32> parts) {
    smiOID oid{static_cast<smiUINT32>(parts.size()), parts.data()};
    return WsmMapOidToNode(&oid);
  }
  static std::vector<std::string> loadedModules() {
    std::vector<std::string> names;
    char identity[256];
    for (int index = 1; index < 100 && WsmEnumLoadedModule(index, identity, sizeof identity); ++index) {
      names.emplace_back(identity);
    }
    return names;
  }
};
