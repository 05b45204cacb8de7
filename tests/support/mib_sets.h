// The MIB source sets the MIB tests and benchmarks compile: where
// scripts/setup keeps them, their files, and what the files say about
// imports and traps, read with the compiler's own lexer.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

// net-snmp's own MIBs.
inline constexpr const char* kNetSnmpMibFolder = "/usr/share/snmp/mibs";

// The standard IETF set ($ORVANE_MIB_CACHE, else ~/.cache/orvane/mibs) and
// the real-world corpus ($ORVANE_MIB_CORPUS, else ~/.cache/orvane/mib-corpus).
std::string standardMibFolder();
std::string mibCorpusFolder();

// The regular files of a folder whose names do not start with a dot, in
// name order.
std::vector<std::string> mibSourcesOf(const std::string& folder);

// The modules each module of `files` imports from, by the names after FROM.
std::map<std::string, std::set<std::string>> importsOf(const std::vector<std::string>& files);

// The names TRAP-TYPE definitions give, by module.
std::map<std::string, std::set<std::string>> trapNamesOf(const std::vector<std::string>& files);
