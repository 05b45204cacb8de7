#include "smidump_identifiers.h"

#include "background_process.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

// Keeps the node lines: "MODULE name kind oid"; types have no OID.
void readIdentifiers(const std::string& text, PeerIdentifiers& peer) {
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string module, name, kind, oid;
    if (!(fields >> module >> name >> kind >> oid) || module[0] == '#') continue;
    if (oid.find_first_not_of("0123456789.") != std::string::npos) continue;
    peer.nodesOfModule[module].insert({name, oid});
  }
}

// "smidump: module `FILE' contains errors, expect flawed output"
void readErrors(const std::string& text, PeerIdentifiers& peer) {
  std::istringstream lines(text);
  std::string line;
  const std::string opening = "smidump: module `";
  while (std::getline(lines, line)) {
    if (line.rfind(opening, 0) != 0 || line.find("contains errors") == std::string::npos) continue;
    size_t end = line.find('\'', opening.size());
    if (end != std::string::npos) peer.filesWithErrors.insert(line.substr(opening.size(), end - opening.size()));
  }
}

std::string quoted(const std::string& text) {
  std::string result = "'";
  for (char c : text) result += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return result + "'";
}

std::string wholeFile(const std::string& path) {
  std::ifstream file(path);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

}  // namespace

PeerIdentifiers smidumpIdentifiers(const std::vector<std::string>& files, const std::string& searchPath) {
  PeerIdentifiers peer;
  const char* runtime = std::getenv("ORVANE_RUNTIME_DIR");
  std::string errors = std::string(runtime ? runtime : "/tmp") + "/smidump-errors.txt";
  // The errors go to a file of their own so that they cannot split a line
  // of the listing.
  std::string command = "smidump -k -f identifiers";
  for (const std::string& file : files) command += " " + quoted(file);
  command += " 2>" + quoted(errors);
  ProgramRun run = runProgram({"sh", "-c", command}, std::chrono::seconds(120), {"SMIPATH=" + searchPath});
  peer.ran = run.exitCode == 0;
  readIdentifiers(run.output, peer);
  readErrors(wholeFile(errors), peer);
  return peer;
}

std::set<int> smilintSyntaxErrorLines(const std::string& file, const std::string& searchPath) {
  std::set<int> lines;
  // "FILE:LINE: [1] syntax error, unexpected ..."
  ProgramRun run = runProgram({"smilint", "-s", "-l", "1", file}, std::chrono::seconds(60), {"SMIPATH=" + searchPath});
  std::istringstream output(run.output);
  std::string line;
  const std::string prefix = file + ":";
  while (std::getline(output, line)) {
    if (line.rfind(prefix, 0) != 0 || line.find("syntax error") == std::string::npos) continue;
    lines.insert(std::atoi(line.c_str() + prefix.size()));
  }
  return lines;
}
