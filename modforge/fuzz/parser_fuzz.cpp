// Compiles arbitrary bytes as a MIB source, with no module to import: the
// compile must end, whatever the input, without a crash or an over-read.
#include "modforge/compiler.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

class NoSources final : public modforge::ModuleLocator {
 public:
  std::string locate(const std::string&, modforge::CompileLog&) override { return {}; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  modforge::SilentLog log;
  NoSources sources;
  modforge::Compiler compiler(log, sources);
  compiler.settings.warningLevel = 9;
  (void)compiler.compileText(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.mib");
  return 0;
}
