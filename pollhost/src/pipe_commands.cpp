// Reading pipe commands and making their answers.
#include "pipe_commands.h"

#include <cstdio>
#include <vector>

namespace pollhost {
namespace {

constexpr char kAddFailed[] = "Failed. Maximum number of descriptors exceeded.";
constexpr char kBadAddressText[] = "Failed. Invalid agent address.";

bool isBlank(char character) { return character == ' ' || character == '\t'; }

std::vector<std::string> wordsOf(const std::string& text) {
  std::vector<std::string> words;
  size_t at = 0;
  while (at < text.size()) {
    while (at < text.size() && isBlank(text[at])) ++at;
    size_t end = at;
    while (end < text.size() && !isBlank(text[end])) ++end;
    if (end > at) words.push_back(text.substr(at, end - at));
    at = end;
  }
  return words;
}

// A message with its marker, cut to fit the pipe's buffer.
std::string message(std::string text, char marker) {
  if (text.size() > kPipeBufferSize - 1) text.resize(kPipeBufferSize - 1);
  text += marker;
  return text;
}

CommandKind kindOf(const std::string& text) {
  if (text == "va") return CommandKind::listAll;
  if (text == "c") return CommandKind::close;
  if (text.rfind("v1", 0) == 0) return CommandKind::brief;
  switch (text.empty() ? '\0' : text[0]) {
    case 'v': return CommandKind::view;
    case 'a': return CommandKind::add;
    case 'r': return CommandKind::remove;
    default: return CommandKind::unknown;
  }
}

}  // namespace

PipeCommand readCommand(const char* bytes, size_t length) {
  PipeCommand command;
  if (!bytes || length < 2 || length > kPipeBufferSize || bytes[length - 1] != '\0') return command;
  for (size_t i = 0; i + 1 < length; ++i) {
    unsigned char byte = static_cast<unsigned char>(bytes[i]);
    if ((byte < 0x20 && byte != '\t') || byte > 0x7E) return command;
  }
  std::string text(bytes, length - 1);
  command.kind = kindOf(text);
  std::vector<std::string> words = wordsOf(text);
  if (words.size() >= 2) command.word = words[1];
  return command;
}

std::string CommandAnswers::answer(const PipeCommand& command) {
  switch (command.kind) {
    case CommandKind::view: return message(view(command.word), '.');
    case CommandKind::brief: return message(brief(command.word), '.');
    case CommandKind::add: return message(add(command.word), '.');
    case CommandKind::remove: return message(remove(command.word), '.');
    case CommandKind::close: return message("\r\n", '.');
    case CommandKind::listAll:
    case CommandKind::unknown: break;
  }
  return message("", '.');
}

std::string CommandAnswers::listingMessage(int& position, bool& last) {
  platform::CriticalSectionGuard guard(poller_.lock());
  for (; position < kDescriptorCount; ++position) {
    if (const Descriptor* descriptor = poller_.table().inUse(position)) {
      last = false;
      std::string report = descriptorReport(*descriptor, position, poller_.manager());
      ++position;
      return message(report + "\r\n", '>');
    }
  }
  last = true;
  return ".";
}

std::optional<std::string> CommandAnswers::reportFor(const std::string& address) {
  platform::CriticalSectionGuard guard(poller_.lock());
  DescriptorTable& table = poller_.table();
  int index = table.find(address);
  const Descriptor* descriptor = table.inUse(index);
  if (!descriptor) return std::nullopt;
  return descriptorReport(*descriptor, index, poller_.manager());
}

std::string CommandAnswers::view(const std::optional<std::string>& address) {
  if (address) return reportFor(*address).value_or("Unknown descriptor.\r\n");
  std::string text = "Service up time (GMT): " + gmtDateText(serviceStart_) + "\r\n";
  int count = 0;
  platform::CriticalSectionGuard guard(poller_.lock());
  DescriptorTable& table = poller_.table();
  for (int index = 0; index < kDescriptorCount; ++index) {
    if (!table.inUse(index)) continue;
    ++count;
    char line[160];
    std::snprintf(line, sizeof line, "Desc. index %d, agent: %s, last contacted: %s\r\n", index,
                  table.addressText(index).c_str(), lastContactedText(table, index).c_str());
    text += line;
  }
  return text + "\r\nTotal descriptors count " + std::to_string(count) + ".\r\n";
}

std::string CommandAnswers::brief(const std::optional<std::string>& address) {
  if (address) return reportFor(*address).value_or("");
  std::string text;
  platform::CriticalSectionGuard guard(poller_.lock());
  DescriptorTable& table = poller_.table();
  for (int index = 0; index < kDescriptorCount; ++index) {
    if (table.inUse(index)) text += table.addressText(index) + "\r\n";
  }
  return text;
}

std::string CommandAnswers::add(const std::optional<std::string>& address) {
  if (!address) return kAddFailed;
  platform::CriticalSectionGuard guard(poller_.lock());
  int index = poller_.table().add(*address);
  if (index == kBadAddress) return kBadAddressText;
  return index >= 0 ? "OK\r\n" : kAddFailed;
}

std::string CommandAnswers::remove(const std::optional<std::string>& address) {
  if (!address) return "Failed\r\n";
  platform::CriticalSectionGuard guard(poller_.lock());
  DescriptorTable& table = poller_.table();
  return table.remove(table.find(*address)) ? "OK\r\n" : "Failed\r\n";
}

}  // namespace pollhost
