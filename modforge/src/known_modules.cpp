#include "modforge/known_modules.h"

namespace modforge {

KnownModule& KnownModules::entry(std::string_view name) {
  for (KnownModule& module : modules_) {
    if (module.name == name) return module;
  }
  KnownModule& added = modules_.emplace_back();
  added.name = name;
  return added;
}

const KnownModule* KnownModules::find(std::string_view name) const {
  for (const KnownModule& module : modules_) {
    if (module.name == name) return &module;
  }
  return nullptr;
}

}  // namespace modforge
