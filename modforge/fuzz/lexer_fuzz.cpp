// Feeds arbitrary bytes to the lexer: every input must end in an
// end-of-file token without a crash or an over-read.
#include "modforge/lexer.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  modforge::SourceReader reader;
  reader.openText(std::string_view(reinterpret_cast<const char*>(data), size));
  modforge::SilentLog log;
  modforge::Lexer lexer(reader, log, true);
  // Each token takes at least one character, so size + 1 tokens suffice.
  for (size_t count = 0; count <= size + 1; ++count) {
    if (lexer.next().code == modforge::kEndOfFile) return 0;
  }
  __builtin_trap();
}
