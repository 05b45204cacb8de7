// The console's import search: folders searched in order for a file whose
// first module header names the wanted module, whatever the file is
// called. The module-name index is built once, on the first search.
#pragma once

#include "modforge/module_locator.h"

#include <map>
#include <string>
#include <vector>

namespace modforge {

class SearchPath final : public ModuleLocator {
 public:
  explicit SearchPath(std::vector<std::string> folders) : folders_(std::move(folders)) {}

  // Folders named on the command line, then those of `variable` (a
  // colon-separated list such as ORVANE_MIBPATH), then the system MIB
  // folders that exist: /usr/share/snmp/mibs and each folder under
  // /usr/share/mibs.
  static std::vector<std::string> standardFolders(const std::vector<std::string>& given, const char* variable);

  std::string locate(const std::string& module, CompileLog& log) override;
  const std::vector<std::string>& folders() const { return folders_; }

 private:
  void buildIndex();

  std::vector<std::string> folders_;
  bool indexed_ = false;
  std::map<std::string, std::string, std::less<>> index_;
};

}  // namespace modforge
