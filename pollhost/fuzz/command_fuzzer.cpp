// Arbitrary messages from a pipe client go through the command reader and,
// when they read as a command, get their answer from a table that lives
// across inputs (so it also fills up and empties). Every answer must fit
// the pipe's buffer and end with its marker, and a listing must end.
#include "pipe_commands.h"

#include <cstdlib>

namespace {

void require(bool condition) {
  if (!condition) std::abort();
}

pollhost::Poller& poller() {
  static pollhost::Poller* instance = new pollhost::Poller(pollhost::Timing{});
  return *instance;
}

void requireWellFramed(const std::string& message, char marker) {
  require(!message.empty() && message.size() <= pollhost::kPipeBufferSize && message.back() == marker);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static pollhost::CommandAnswers answers(poller(), 0);
  pollhost::PipeCommand command = pollhost::readCommand(reinterpret_cast<const char*>(data), size);
  if (command.kind == pollhost::CommandKind::unknown) return 0;
  if (command.kind != pollhost::CommandKind::listAll) {
    requireWellFramed(answers.answer(command), '.');
    return 0;
  }
  int position = 0;
  bool last = false;
  for (int messages = 0; !last; ++messages) {
    require(messages <= pollhost::kDescriptorCount);
    std::string message = answers.listingMessage(position, last);
    requireWellFramed(message, last ? '.' : '>');
  }
  return 0;
}
