// Compiles the standard MIB set (the IETF modules of the MIB cache and
// net-snmp's own modules), saves and registers every module, loads them
// all with the MIB module library and compares every node of its tree with
// net-snmp's tree.
// Differences are allowed only where a rule of the compiler explains
// them; each rule is named where it is applied:
//   traps:      a TRAP-TYPE makes no node (net-snmp places the trap at
//               enterprise.0.number under a made-up "enterprise#" node);
//   duplicates: of two definitions of one OID the first compiled stays
//               (net-snmp may show the other name and its attributes);
//   imports:    a module whose imports are not in the set is not compiled
//               (net-snmp loads what it can of it);
//   roots:      net-snmp does not list the roots ccitt, iso, joint-iso-ccitt;
//   access:     "accessible-for-notify" is no access keyword of the
//               compiler, which leaves such an access unset.
#include "mib_sets.h"
#include "peer_tree.h"
#include "required_peer.h"

#include "modforge/compiler.h"
#include "modforge/lexer.h"
#include "modforge/module_registry.h"
#include "modforge/module_saver.h"
#include "modforge/search_path.h"
#include "smidb_format.h"
#include "wsm.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

using namespace modforge;

namespace {

namespace fs = std::filesystem;

std::string keyword(int tokenCode) {
  const char* text = tokenCode >= kObsolete ? tokenCodeText(tokenCode) : nullptr;
  return text ? text : "";
}

// One node of the tree under test, in the terms net-snmp reports.
struct OurNode {
  std::string oid;
  std::string name;
  std::string module;
  bool objectType = false;
  std::string access;
  std::string status;
};

std::vector<OurNode> nodesOf(const MibTree& tree) {
  std::vector<OurNode> nodes;
  for (const Node* node = tree.first(); node; node = node->next) {
    // Only object types keep an access and a status in the saved file.
    bool objectType = node->definition.kind == NodeKind::objectType;
    nodes.push_back({oidText(node->oid), node->name, node->module, objectType,
                     objectType ? keyword(node->definition.access) : "",
                     objectType ? keyword(node->definition.status) : ""});
  }
  return nodes;
}

// The keyword of a code of the file format's table, empty for 0.
template <size_t count>
std::string keywordOf(uint32_t code, const smidb::KeywordCode (&table)[count]) {
  for (const smidb::KeywordCode& entry : table) {
    if (entry.code == code) return std::string(entry.keyword);
  }
  return {};
}

std::string nodeString(HWSM_NODE node, UINT selector) {
  char buffer[2048];
  smiUINT32 size = sizeof buffer;
  return WsmGetNodeString(node, selector, &size, buffer) ? std::string(buffer) : std::string();
}

uint32_t nodeInt(HWSM_NODE node, UINT selector) {
  smiUINT32 value = 0;
  return WsmGetNodeInt(node, selector, &value) ? value : 0;
}

OurNode loadedNode(HWSM_NODE handle) {
  OurNode node;
  smiOID oid{};
  if (WsmGetNodeOid(handle, WSM_NODE_OID, &oid)) {
    node.oid = oidText(Oid(oid.ptr, oid.ptr + oid.len));
    SnmpFreeDescriptor(SNMP_SYNTAX_OID, reinterpret_cast<smiLPOPAQUE>(&oid));
  }
  node.name = nodeString(handle, WSM_NODE_NAME);
  node.module = nodeString(handle, WSM_NODE_MODULE);
  node.objectType = nodeInt(handle, WSM_NODE_KIND) == WSM_KIND_OBJECT_TYPE;
  if (node.objectType) {
    node.access = keywordOf(nodeInt(handle, WSM_NODE_ACCESS), smidb::kAccessKeywords);
    node.status = keywordOf(nodeInt(handle, WSM_NODE_STATUS), smidb::kStatusKeywords);
  }
  return node;
}

// Every node of the library's tree, depth first from the smallest OID.
std::vector<OurNode> loadedNodes() {
  std::vector<OurNode> nodes;
  std::vector<HWSM_NODE> pending;
  for (HWSM_NODE top = WsmMapStrToNode(nullptr); top; top = WsmFindNodeNextSibling(top)) pending.push_back(top);
  std::reverse(pending.begin(), pending.end());
  while (!pending.empty() && nodes.size() < 100000) {
    HWSM_NODE handle = pending.back();
    pending.pop_back();
    nodes.push_back(loadedNode(handle));
    std::vector<HWSM_NODE> children;
    for (HWSM_NODE child = WsmFindNodeChild(handle); child; child = WsmFindNodeNextSibling(child)) children.push_back(child);
    pending.insert(pending.end(), children.rbegin(), children.rend());
  }
  return nodes;
}

class MibInterop : public testing::Test {
 protected:
  void SetUp() override {
    standard = standardMibFolder();
    if (!fs::exists(standard + "/SNMPv2-SMI.mib")) ORVANE_MISSING_PEER() << "no standard MIBs in " << standard << ": run scripts/setup";
    if (commandOutput("command -v snmptranslate").empty()) ORVANE_MISSING_PEER() << "snmptranslate missing: run scripts/setup";
    folders = standard + ":" + kNetSnmpMibFolder;
    files = mibSourcesOf(standard);
    for (const std::string& file : mibSourcesOf(kNetSnmpMibFolder)) files.push_back(file);
    searchPath = std::make_unique<SearchPath>(std::vector<std::string>{standard, kNetSnmpMibFolder});
    compiler = std::make_unique<Compiler>(log, *searchPath);
    compiler->settings.warningLevel = 2;
    for (const std::string& file : files) {
      if (!compiler->compileFile(file)) failedModules.insert(firstModuleName(file));
    }
    compiled = nodesOf(compiler->tree());
    saveRegisterAndLoadEverything();
    ours = loadedNodes();
    peer = peerNodes(folders);
    ASSERT_GT(peer.size(), 500u) << "snmptranslate listed too little";
    collectDuplicateNames();
  }

  void TearDown() override {
    for (const std::string& module : savedModules) WsmUnloadModule(module.c_str());
  }

  void saveRegisterAndLoadEverything() {
    const char* runtime = std::getenv("ORVANE_RUNTIME_DIR");
    std::string saved = std::string(runtime ? runtime : "/tmp") + "/smidb";
    fs::create_directories(saved);
    for (const std::string& module : compiler->compiledModules()) {
      SaveOutcome outcome = saveModule(*compiler, module, saved + "/" + module + ".smidb", 0);
      ASSERT_NE(outcome, SaveOutcome::failed) << module;
      if (outcome != SaveOutcome::saved) continue;
      std::string error;
      ASSERT_TRUE(registerSavedModule(*compiler->modules().find(module), error)) << error;
      savedModules.push_back(module);
    }
    for (const std::string& module : savedModules) EXPECT_TRUE(WsmLoadModule(module.c_str())) << module << ": " << WsmGetLastError();
  }

  // duplicates: the names later definitions gave to an OID we already had.
  void collectDuplicateNames() {
    const std::string prefix = "WARNING! Two nodes has same OID value (";
    for (const std::string& message : log.messages) {
      if (message.rfind(prefix, 0) != 0) continue;
      std::string rest = message.substr(prefix.size());
      std::string kept = rest.substr(0, rest.find(' '));
      size_t comma = rest.find("), ");
      std::string later = rest.substr(comma + 3, rest.find(' ', comma + 3) - comma - 3);
      if (Node* node = compiler->tree().findByName(kept)) otherNames[oidText(node->oid)].insert(later);
    }
  }

  static bool isRoot(const OurNode& node) { return node.oid == "0" || node.oid == "1" || node.oid == "2"; }

  std::string standard;
  std::string folders;
  std::vector<std::string> files;
  CollectingLog log;
  std::unique_ptr<SearchPath> searchPath;
  std::unique_ptr<Compiler> compiler;
  std::set<std::string> failedModules;
  std::map<std::string, std::string> peer;
  std::map<std::string, std::set<std::string>> otherNames;
  std::vector<OurNode> compiled;
  std::vector<std::string> savedModules;
  // The tree under test: what the library loaded from the saved files.
  std::vector<OurNode> ours;
};

TEST_F(MibInterop, TheLibraryLoadsEveryNodeWeCompiled) {
  EXPECT_GE(savedModules.size(), 8u);
  std::map<std::string, const OurNode*> loaded;
  for (const OurNode& node : ours) loaded[node.oid] = &node;
  EXPECT_EQ(loaded.size(), ours.size()) << "an OID appears twice in the library's tree";
  EXPECT_EQ(ours.size(), compiled.size());
  for (const OurNode& node : compiled) {
    auto found = loaded.find(node.oid);
    if (found == loaded.end()) {
      ADD_FAILURE() << "the library lacks " << node.oid << " " << node.name;
      continue;
    }
    EXPECT_EQ(found->second->name, node.name) << node.oid;
    EXPECT_EQ(found->second->module, node.module) << node.oid;
    EXPECT_EQ(found->second->objectType, node.objectType) << node.oid;
    EXPECT_EQ(found->second->access, node.access) << node.oid;
    EXPECT_EQ(found->second->status, node.status) << node.oid;
  }
}

TEST_F(MibInterop, EveryNodeWeMakeHasNetSnmpsNameAndOid) {
  size_t compared = 0;
  for (const OurNode& node : ours) {
    auto theirs = peer.find(node.oid);
    if (theirs == peer.end()) {
      EXPECT_TRUE(isRoot(node)) << "net-snmp has no node " << node.oid << " (" << node.name << ")";  // rule: roots
      continue;
    }
    ++compared;
    if (theirs->second == node.name) continue;
    EXPECT_TRUE(otherNames[node.oid].count(theirs->second))  // rule: duplicates
        << node.oid << ": we have " << node.name << " (" << node.module << "), net-snmp " << theirs->second;
  }
  EXPECT_GT(compared, 300u);
}

TEST_F(MibInterop, EveryNetSnmpNodeWeLackIsAccountedForByARule) {
  std::set<std::string> traps;
  for (const auto& [module, names] : trapNamesOf(files)) traps.insert(names.begin(), names.end());
  std::set<std::string> made;
  for (const OurNode& node : ours) made.insert(node.oid);
  std::vector<std::string> lacking;
  std::map<std::string, std::string> names;
  for (const auto& [oid, name] : peer) {
    if (made.count(oid)) continue;
    if (traps.count(name) || name.back() == '#') continue;  // rule: traps
    lacking.push_back(oid);
    names[oid] = name;
  }
  std::map<std::string, PeerDetails> details = peerDetails(folders, lacking);
  size_t unaccounted = 0;
  for (const std::string& oid : lacking) {
    const PeerDetails& detail = details[oid];
    bool fromFailedModule = !detail.modules.empty();
    for (const std::string& module : detail.modules) fromFailedModule &= failedModules.count(module) > 0;
    if (fromFailedModule) continue;  // rule: imports
    ++unaccounted;
    ADD_FAILURE() << "we lack " << oid << " " << names[oid] << " from " << (detail.modules.empty() ? "?" : detail.modules[0]);
  }
  EXPECT_EQ(unaccounted, 0u);
}

TEST_F(MibInterop, ObjectTypesAgreeOnAccessAndStatus) {
  std::vector<std::string> oids;
  for (const OurNode& node : ours) {
    if (node.objectType && peer.count(node.oid)) oids.push_back(node.oid);
  }
  std::map<std::string, PeerDetails> details = peerDetails(folders, oids);
  size_t compared = 0;
  for (const OurNode& node : ours) {
    auto found = details.find(node.oid);
    if (!node.objectType || found == details.end()) continue;
    const PeerDetails& theirs = found->second;
    // rule: duplicates. net-snmp shows one of several definitions.
    if (theirs.name != node.name) continue;
    if (theirs.modules.size() != 1) {
      EXPECT_NE(std::find(theirs.modules.begin(), theirs.modules.end(), node.module), theirs.modules.end())
          << node.name << " of " << node.module;
      continue;
    }
    ++compared;
    if (!(node.access.empty() && theirs.access == "accessible-for-notify")) {  // rule: access
      EXPECT_EQ(node.access, theirs.access) << node.name;
    }
    EXPECT_EQ(node.status, theirs.status) << node.name;
  }
  EXPECT_GT(compared, 50u);
}

TEST_F(MibInterop, OnlyModulesWithImportsOutsideTheSetFailToCompile) {
  std::map<std::string, std::set<std::string>> imports = importsOf(files);
  EXPECT_FALSE(failedModules.empty());
  for (const std::string& module : failedModules) {
    bool explained = false;
    for (const std::string& imported : imports[module]) explained |= !imports.count(imported) || failedModules.count(imported);
    EXPECT_TRUE(explained) << module << " failed although everything it imports is in the set and compiled";
  }
  for (const std::string& message : log.messages) {
    EXPECT_EQ(message.find("Fatal"), std::string::npos) << message;
  }
}

}  // namespace
