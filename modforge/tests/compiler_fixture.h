// A compiler with a collecting log and a private folder of MIB sources
// that imports are searched in.
#pragma once

#include "modforge/compiler.h"
#include "modforge/search_path.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

class CompilerTest : public testing::Test {
 protected:
  void SetUp() override {
    const char* runtime = std::getenv("ORVANE_RUNTIME_DIR");
    std::string pattern = std::string(runtime ? runtime : "/tmp") + "/sources-XXXXXX";
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder = pattern;
    searchPath = std::make_unique<modforge::SearchPath>(std::vector<std::string>{folder});
    compiler = std::make_unique<modforge::Compiler>(log, *searchPath);
  }

  // Writes a source file into the import folder and returns its path.
  std::string writeSource(const std::string& fileName, const std::string& text) {
    std::string path = folder + "/" + fileName;
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }

  bool compile(const std::string& text) { return compiler->compileText(text, "test.mib"); }

  // Wraps definitions into a module named TEST-MIB.
  bool compileModule(const std::string& body) {
    return compile("TEST-MIB DEFINITIONS ::= BEGIN\n" + body + "\nEND\n");
  }

  modforge::Node* node(const std::string& name) { return compiler->tree().findByName(name); }

  std::string oidOf(const std::string& name) {
    modforge::Node* found = node(name);
    return found ? modforge::oidText(found->oid) : "(none)";
  }

  bool logged(const std::string& text) const {
    return std::find(log.messages.begin(), log.messages.end(), text) != log.messages.end();
  }

  int count(const std::string& prefix) const {
    return static_cast<int>(std::count_if(log.messages.begin(), log.messages.end(),
                                          [&](const std::string& line) { return line.rfind(prefix, 0) == 0; }));
  }

  std::string folder;
  modforge::CollectingLog log;
  std::unique_ptr<modforge::SearchPath> searchPath;
  std::unique_ptr<modforge::Compiler> compiler;
};
