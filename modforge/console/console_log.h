// The console's view of the compiler log: each message on its own line of
// standard output, with the log's "\r\n" line ends printed as "\n".
#pragma once

#include "modforge/compile_log.h"

#include <cstdio>
#include <string>

namespace modforge {

class ConsoleLog final : public CompileLog {
 public:
  void message(std::string_view text) override {
    std::string line;
    line.reserve(text.size() + 1);
    for (size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
      line.push_back(text[i]);
    }
    line.push_back('\n');
    std::fwrite(line.data(), 1, line.size(), stdout);
  }
};

}  // namespace modforge
