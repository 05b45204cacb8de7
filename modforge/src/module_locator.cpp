#include "modforge/module_locator.h"

#include "modforge/lexer.h"

namespace modforge {

std::string firstModuleName(const std::string& path) {
  SourceReader reader;
  if (!reader.openFile(path)) return {};
  SilentLog quiet;
  Lexer lexer(reader, quiet, false);
  std::string previous;
  for (;;) {
    const Token& token = lexer.next();
    if (token.code == kDefinitions) return previous;
    if (token.code == kEndOfFile) return {};
    previous = token.text;
  }
}

}  // namespace modforge
