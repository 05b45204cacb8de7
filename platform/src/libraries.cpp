// Run-time loading through the dynamic linker.
#include "platform/libraries.h"

#include "platform/module_file.h"

#include <cstring>
#include <dlfcn.h>
#include <string>

namespace {

// The folder this library was loaded from: where the suite's libraries are.
std::string ownFolder() {
  char path[4096];
  if (!platform::moduleFileName(reinterpret_cast<const void*>(&LoadLibraryExA), path, sizeof path)) return "";
  std::string file(path);
  size_t slash = file.rfind('/');
  return slash == std::string::npos ? "" : file.substr(0, slash + 1);
}

}  // namespace

HMODULE LoadLibraryExA(LPCSTR name, HANDLE, DWORD) {
  if (!name || !*name) return nullptr;
  if (!std::strchr(name, '/')) {
    try {
      std::string folder = ownFolder();
      if (!folder.empty()) {
        if (void* library = dlopen((folder + name).c_str(), RTLD_NOW | RTLD_LOCAL)) return library;
      }
    } catch (...) {
      return nullptr;
    }
  }
  return dlopen(name, RTLD_NOW | RTLD_LOCAL);
}

FARPROC GetProcAddress(HMODULE library, LPCSTR name) {
  if (!library || !name) return nullptr;
  return reinterpret_cast<FARPROC>(dlsym(library, name));
}

BOOL FreeLibrary(HMODULE library) { return library && dlclose(library) == 0 ? TRUE : FALSE; }
