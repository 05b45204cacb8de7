// Where the compiler writes its messages. The console prints them; the
// window shows them in its log view. Each call is one message; line ends
// inside a message are "\r\n".
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace modforge {

class CompileLog {
 public:
  virtual ~CompileLog() = default;
  virtual void message(std::string_view text) = 0;
};

// Drops every message; used where only the parse result matters.
class SilentLog final : public CompileLog {
 public:
  void message(std::string_view) override {}
};

// Keeps every message, for tests and for callers that show them later.
class CollectingLog final : public CompileLog {
 public:
  void message(std::string_view text) override { messages.emplace_back(text); }
  std::vector<std::string> messages;
};

}  // namespace modforge
