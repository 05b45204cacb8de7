// The compiler on real-world MIB files: the enterprise and IETF modules
// that Debian packages ship (fetched by scripts/setup), the standard IETF
// set and net-snmp's modules. Each module's named nodes are compared with
// what libsmi's smidump lists for it, and the saved modules are loaded
// into the module library in two orders, which must give one tree.
// Differences with smidump are allowed only where a rule explains them;
// each rule is named where it is applied:
//   traps:      a TRAP-TYPE makes no node (smidump lists it as a
//               notification at enterprise.0.number);
//   duplicates: of two definitions of one OID the first compiled stays
//               (smidump keeps each module's own);
//   roots:      smidump lists no ccitt, iso or joint-iso-ccitt;
//   syntax:     smidump drops a definition it finds a syntax error in
//               (libsmi insists on the clause order of the SMI's macros,
//               the compiler skips the clauses it does not use);
//   unresolved: smidump lists a name it finds no definition for (here an
//               enterprise of a trap) at the OID 0;
//   rejected:   a module the compiler rejects, smidump finds errors in
//               too, in it or in a module it imports.
#include "mib_sets.h"
#include "required_peer.h"
#include "smidump_identifiers.h"

#include "modforge/compiler.h"
#include "modforge/lexer.h"
#include "modforge/module_registry.h"
#include "modforge/module_saver.h"
#include "modforge/search_path.h"
#include "wsm.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

using namespace modforge;

namespace {

namespace fs = std::filesystem;

// The first and last line of each definition of a source: from the line of
// its name to the line before the next definition's.
std::map<std::string, std::pair<int, int>> definitionLines(const std::string& file) {
  std::map<std::string, std::pair<int, int>> lines;
  SourceReader reader;
  if (!reader.openFile(file)) return lines;
  SilentLog quiet;
  Lexer lexer(reader, quiet, false);
  std::string previous, last;
  int previousLine = 0;
  for (const Token* token = &lexer.next(); token->code != kEndOfFile; token = &lexer.next()) {
    bool opensDefinition = token->code == kObjectType || token->code == kObject || token->code == kObjectIdentity ||
                           token->code == kModuleIdentity || token->code == kObjectGroup ||
                           token->code == kNotificationType || token->code == kNotificationGroup ||
                           token->code == kModuleCompliance || token->code == kAgentCapabilities;
    if (opensDefinition && !previous.empty() && !lines.count(previous)) {
      if (!last.empty()) lines[last].second = previousLine - 1;
      lines[previous] = {previousLine, 1 << 30};
      last = previous;
    }
    previous = token->code == kIdentifier ? token->text : "";
    previousLine = lexer.lineNumber();
  }
  return lines;
}

bool isRoot(const Node& node) { return node.oid.size() == 1 && node.oid[0] <= 2; }

// The nearest ancestor with a name: the library leaves unnamed nodes out.
const Node* namedParent(const Node& node) {
  const Node* parent = node.parent;
  while (parent && parent->name.empty()) parent = parent->parent;
  return parent;
}

// Each loaded node's OID with its parent's OID ("-" for none), through the
// library's calls.
std::map<std::string, std::string> loadedParents(const MibTree& compiled) {
  std::map<std::string, std::string> parents;
  for (const Node* node = compiled.first(); node; node = node->next) {
    if (node->name.empty()) continue;
    std::vector<smiUINT32> sub(node->oid.begin(), node->oid.end());
    smiOID oid{static_cast<smiUINT32>(sub.size()), sub.data()};
    HWSM_NODE handle = WsmMapOidToNode(&oid);
    if (!handle) {
      parents[oidText(node->oid)] = "absent";
      continue;
    }
    HWSM_NODE parent = WsmFindNodeParent(handle);
    smiOID parentOid{};
    std::string text = "-";
    if (parent && WsmGetNodeOid(parent, WSM_NODE_OID, &parentOid)) {
      text = oidText(Oid(parentOid.ptr, parentOid.ptr + parentOid.len));
      SnmpFreeDescriptor(SNMP_SYNTAX_OID, reinterpret_cast<smiLPOPAQUE>(&parentOid));
    }
    parents[oidText(node->oid)] = text;
  }
  return parents;
}

class MibCorpus : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    corpus = mibCorpusFolder();
    standard = standardMibFolder();
    if (mibSourcesOf(corpus).empty() || !fs::exists(standard + "/SNMPv2-SMI.mib")) return;
    for (const std::string& folder : {corpus, standard, std::string(kNetSnmpMibFolder)}) {
      for (const std::string& file : mibSourcesOf(folder)) files.push_back(file);
    }
    searchPath = std::make_unique<SearchPath>(std::vector<std::string>{corpus, standard, kNetSnmpMibFolder});
    compiler = std::make_unique<Compiler>(log, *searchPath);
    for (const std::string& file : files) {
      std::string module = firstModuleName(file);
      moduleFile[module] = file;
      if (!compiler->compileFile(file)) rejected.insert(module);
    }
    peer = smidumpIdentifiers(files, corpus + ":" + standard + ":" + kNetSnmpMibFolder);
  }

  static void TearDownTestSuite() {
    compiler.reset();
    searchPath.reset();
  }

  void SetUp() override {
    if (files.empty()) ORVANE_MISSING_PEER() << "no MIB corpus in " << corpus << ": run scripts/setup";
    if (!peer.ran) ORVANE_MISSING_PEER() << "smidump missing: run scripts/setup";
  }

  // Our named nodes of `module`, roots aside (rule: roots).
  static std::set<NameAndOid> ourNodes(const std::string& module) {
    std::set<NameAndOid> nodes;
    for (const Node* node = compiler->tree().first(); node; node = node->next) {
      if (node->module == module && !node->name.empty() && !isRoot(*node)) nodes.insert({node->name, oidText(node->oid)});
    }
    return nodes;
  }

  // smidump's nodes of `module`, traps and unresolved names aside (rules:
  // traps, unresolved).
  static std::set<NameAndOid> peerNodes(const std::string& module, const std::set<std::string>& traps) {
    std::set<NameAndOid> nodes;
    auto found = peer.nodesOfModule.find(module);
    if (found == peer.nodesOfModule.end()) return nodes;
    for (const NameAndOid& node : found->second) {
      if (!traps.count(node.first) && node.second != "0") nodes.insert(node);
    }
    return nodes;
  }

  // rule: duplicates. Another definition of the OID came first, one that
  // smidump lists there too.
  static bool heldByAnotherDefinition(const std::string& module, const NameAndOid& node) {
    const Node* ours = compiler->tree().findByOid(oidOfText(node.second));
    if (!ours || (ours->module == module && ours->name == node.first)) return false;
    auto holder = peer.nodesOfModule.find(ours->module);
    return holder != peer.nodesOfModule.end() && holder->second.count({ours->name, node.second});
  }

  // rule: syntax.
  static bool smidumpFoundASyntaxErrorIn(const std::string& module, const std::string& name) {
    const std::string& file = moduleFile[module];
    if (!peer.filesWithErrors.count(file)) return false;
    auto range = definitionLines(file)[name];
    std::set<int> errors = smilintSyntaxErrorLines(file, corpus + ":" + standard + ":" + kNetSnmpMibFolder);
    auto error = errors.lower_bound(range.first);
    return range.first > 0 && error != errors.end() && *error <= range.second;
  }

  static Oid oidOfText(const std::string& text) {
    Oid oid;
    size_t start = 0;
    while (start < text.size()) {
      size_t end = text.find('.', start);
      if (end == std::string::npos) end = text.size();
      oid.push_back(static_cast<uint32_t>(std::stoul(text.substr(start, end - start))));
      start = end + 1;
    }
    return oid;
  }

  static inline std::string corpus, standard;
  static inline std::vector<std::string> files;
  static inline CollectingLog log;
  static inline std::unique_ptr<SearchPath> searchPath;
  static inline std::unique_ptr<Compiler> compiler;
  static inline std::map<std::string, std::string> moduleFile;
  static inline std::set<std::string> rejected;
  static inline PeerIdentifiers peer;
};

TEST_F(MibCorpus, EveryModulesNodesAgreeWithSmidumpUpToTheRules) {
  std::map<std::string, std::set<std::string>> traps = trapNamesOf(files);
  size_t modules = 0, agreeingModules = 0, peerCount = 0, agreeingNodes = 0, duplicates = 0, syntax = 0, setAside = 0;
  for (const std::string& module : compiler->compiledModules()) {
    if (rejected.count(module) || compiler->failed(module)) continue;
    std::set<NameAndOid> ours = ourNodes(module);
    std::set<NameAndOid> theirs = peerNodes(module, traps[module]);
    setAside += peer.nodesOfModule[module].size() - theirs.size();
    ++modules;
    peerCount += theirs.size();
    bool agrees = true;
    for (const NameAndOid& node : theirs) {
      if (ours.count(node)) {
        ++agreeingNodes;
        continue;
      }
      agrees = false;
      duplicates += heldByAnotherDefinition(module, node);
      EXPECT_TRUE(heldByAnotherDefinition(module, node))
          << module << ": smidump has " << node.first << " " << node.second << ", we do not";
    }
    for (const NameAndOid& node : ours) {
      if (theirs.count(node)) continue;
      agrees = false;
      syntax += smidumpFoundASyntaxErrorIn(module, node.first);
      EXPECT_TRUE(smidumpFoundASyntaxErrorIn(module, node.first))
          << module << ": we have " << node.first << " " << node.second << ", smidump does not";
    }
    agreeingModules += agrees;
  }
  std::cout << "modules compared: " << modules << ", agreeing: " << agreeingModules << "\n"
            << "smidump's nodes: " << peerCount << ", ours with the same name and OID: " << agreeingNodes << "\n"
            << "differences explained: traps and unresolved " << setAside << ", duplicates " << duplicates << ", syntax " << syntax
            << "\n";
  EXPECT_GT(modules, 40u);
  EXPECT_GT(peerCount, 2000u);
}

TEST_F(MibCorpus, OnlyModulesSmidumpFindsErrorsInAreRejected) {
  std::map<std::string, std::set<std::string>> imports = importsOf(files);
  // rule: rejected. In the module itself, or in a module it imports,
  // directly or not, that was rejected too.
  std::set<std::string> explained;
  for (bool grew = true; grew;) {
    grew = false;
    for (const std::string& module : rejected) {
      bool flawed = peer.filesWithErrors.count(moduleFile[module]) > 0;
      for (const std::string& imported : imports[module]) flawed |= explained.count(imported) > 0;
      if (flawed) grew |= explained.insert(module).second;
    }
  }
  for (const std::string& module : rejected) {
    EXPECT_TRUE(explained.count(module)) << module << " (" << moduleFile[module]
                                         << ") was rejected, smidump finds no error in it or its imports";
  }
  std::cout << "modules rejected: " << rejected.size() << "\n";
}

TEST_F(MibCorpus, TheLibraryBuildsOneTreeWhateverTheLoadOrder) {
  std::string saved = std::string(std::getenv("ORVANE_RUNTIME_DIR")) + "/corpus-smidb";
  fs::create_directories(saved);
  std::vector<std::string> savedModules;
  std::vector<const KnownModule*> toRegister;
  for (const std::string& module : compiler->compiledModules()) {
    SaveOutcome outcome = saveModule(*compiler, module, saved + "/" + module + ".smidb", 0);
    ASSERT_NE(outcome, SaveOutcome::failed) << module;
    if (outcome != SaveOutcome::saved) continue;
    savedModules.push_back(module);
    toRegister.push_back(compiler->modules().find(module));
  }
  std::string error;
  ASSERT_TRUE(registerSavedModules(toRegister, error)) << error;
  ASSERT_GT(savedModules.size(), 40u);

  auto loadAll = [](const std::vector<std::string>& order) {
    for (const std::string& module : order) EXPECT_TRUE(WsmLoadModule(module.c_str())) << module << " " << WsmGetLastError();
  };
  auto unloadAll = [](const std::vector<std::string>& order) {
    for (const std::string& module : order) EXPECT_TRUE(WsmUnloadModule(module.c_str())) << module;
  };
  loadAll(savedModules);
  std::map<std::string, std::string> inOrder = loadedParents(compiler->tree());
  unloadAll(savedModules);
  std::vector<std::string> reverse(savedModules.rbegin(), savedModules.rend());
  loadAll(reverse);
  std::map<std::string, std::string> reversed = loadedParents(compiler->tree());
  unloadAll(reverse);

  size_t wrong = 0;
  for (const Node* node = compiler->tree().first(); node; node = node->next) {
    if (node->name.empty()) continue;
    std::string oid = oidText(node->oid);
    const Node* parent = namedParent(*node);
    std::string expected = parent ? oidText(parent->oid) : "-";
    if (inOrder[oid] == expected && reversed[oid] == expected) continue;
    if (++wrong <= 20) {
      ADD_FAILURE() << node->name << " " << oid << ": parent " << expected << " in the compiler, "
                    << inOrder[oid] << " loaded in order, " << reversed[oid] << " in reverse";
    }
  }
  EXPECT_EQ(wrong, 0u);
  std::cout << "nodes whose parent the library and the compiler agree on in both orders: "
            << inOrder.size() - wrong << " of " << inOrder.size() << "\n";
}

}  // namespace
