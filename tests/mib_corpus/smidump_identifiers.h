// libsmi's view of a set of MIB files: the named nodes of each module
// (smidump -k -f identifiers) and the files it found errors in.
#pragma once

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

using NameAndOid = std::pair<std::string, std::string>;

struct PeerIdentifiers {
  bool ran = false;
  // Module name to the (name, dotted OID) of every node it defines.
  std::map<std::string, std::set<NameAndOid>> nodesOfModule;
  // The files smidump says contain errors.
  std::set<std::string> filesWithErrors;
};

// Runs smidump once over `files`, finding imports in `searchPath` (a
// colon-separated folder list).
PeerIdentifiers smidumpIdentifiers(const std::vector<std::string>& files, const std::string& searchPath);

// The lines of `file` where smilint reports a syntax error.
std::set<int> smilintSyntaxErrorLines(const std::string& file, const std::string& searchPath);
