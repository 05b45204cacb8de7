// The modules met in one program run: compiled, imported or found in the
// module registry. The save and the registration read their paths here.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace modforge {

struct KnownModule {
  std::string name;
  std::string sourcePath;
  // Dotted OID of the module's first attached node; "None" until then.
  std::string rootOid = "None";
  std::string databasePath;
};

class KnownModules {
 public:
  // The entry for `name`, added when missing.
  KnownModule& entry(std::string_view name);
  [[nodiscard]] const KnownModule* find(std::string_view name) const;
  [[nodiscard]] const std::vector<KnownModule>& all() const { return modules_; }
  void clear() { modules_.clear(); }

 private:
  std::vector<KnownModule> modules_;
};

}  // namespace modforge
