// The window module's entry points, plain C functions found by name.
#include "window_module.h"

#include "windowed_compiler.h"

#include <string>
#include <vector>

extern "C" {

__attribute__((visibility("default"))) bool modforgeDisplayAvailable() { return modforge::displayAvailable(); }

__attribute__((visibility("default"))) int modforgeRunWindow(int argc, char** argv, const char* const* files,
                                                              int fileCount) {
  return modforge::runWindowedCompiler(argc, argv, std::vector<std::string>(files, files + fileCount));
}

}  // extern "C"
