// Loadable modules on POSIX: dlopen of a path found from /proc/self/exe.
#include "platform/loadable_module.h"

#include <dlfcn.h>

#include <filesystem>

namespace platform {

LoadableModule::~LoadableModule() {
  if (handle_) dlclose(handle_);
}

bool LoadableModule::openBesideProgram(const std::string& relativePath) {
  std::error_code failure;
  std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", failure);
  if (failure) {
    error_ = "the program's own file cannot be found: " + failure.message();
    return false;
  }
  std::string path = (program.parent_path() / relativePath).lexically_normal().string();
  // Never unloaded: the libraries it brings may not survive an unload.
  handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
  if (!handle_) {
    const char* reason = dlerror();
    error_ = reason ? reason : path + " cannot be loaded";
    return false;
  }
  return true;
}

void* LoadableModule::function(const char* name) {
  if (!handle_) return nullptr;
  void* address = dlsym(handle_, name);
  if (!address) {
    const char* reason = dlerror();
    error_ = reason ? reason : std::string(name) + " is not in the module";
  }
  return address;
}

}  // namespace platform
