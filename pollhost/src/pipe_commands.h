// The commands a client sends over the control pipe and the answers the
// service gives. Every answer message ends with a marker: ">" when
// another message follows, "." at the end of the answer.
#pragma once

#include "poller.h"

#include <cstddef>
#include <ctime>
#include <optional>
#include <string>

namespace pollhost {

// The pipe's message size, both ways.
constexpr size_t kPipeBufferSize = 20000;

enum class CommandKind { listAll, brief, view, add, remove, close, unknown };

struct PipeCommand {
  CommandKind kind = CommandKind::unknown;
  std::optional<std::string> word;  // the second word, if any
};

// Reads one command message: printable text whose terminating zero is
// its last byte and its only zero. Anything else (no terminator, binary
// bytes, nothing) is an unknown command.
PipeCommand readCommand(const char* bytes, size_t length);

class CommandAnswers {
 public:
  // `serviceStart`: calendar time the service started.
  CommandAnswers(Poller& poller, time_t serviceStart) : poller_(poller), serviceStart_(serviceStart) {}

  // The answer message to any command but "va", marker included, at most
  // kPipeBufferSize bytes. Each table operation holds the poller's lock.
  std::string answer(const PipeCommand& command);
  // The next message of a "va" listing: the report of the first in-use
  // descriptor from `position` on (which then moves past it) with ">"; or
  // the final "." when there is none, with `last` set.
  std::string listingMessage(int& position, bool& last);

 private:
  std::string view(const std::optional<std::string>& address);
  std::string brief(const std::optional<std::string>& address);
  std::string add(const std::optional<std::string>& address);
  std::string remove(const std::optional<std::string>& address);
  // The report of the descriptor for the address, or nothing.
  std::optional<std::string> reportFor(const std::string& address);

  Poller& poller_;
  time_t serviceStart_;
};

}  // namespace pollhost
