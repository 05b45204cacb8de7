#include "command_line_words.h"

namespace platform::detail {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// The program name: up to the closing quote when it opens with one, else
// up to the first blank; backslashes are plain characters in it.
std::string programWord(std::string_view line, size_t& at) {
  std::string word;
  if (at < line.size() && line[at] == '"') {
    size_t end = line.find('"', at + 1);
    if (end == std::string_view::npos) end = line.size();
    word = line.substr(at + 1, end - at - 1);
    at = end < line.size() ? end + 1 : end;
    return word;
  }
  while (at < line.size() && !isBlank(line[at])) word.push_back(line[at++]);
  return word;
}

std::string argumentWord(std::string_view line, size_t& at) {
  std::string word;
  bool quoted = false;
  while (at < line.size() && (quoted || !isBlank(line[at]))) {
    size_t backslashes = 0;
    while (at < line.size() && line[at] == '\\') {
      ++backslashes;
      ++at;
    }
    if (at < line.size() && line[at] == '"') {
      word.append(backslashes / 2, '\\');
      if (backslashes % 2) word.push_back('"');
      else quoted = !quoted;
      ++at;
      continue;
    }
    word.append(backslashes, '\\');
    if (at < line.size() && (quoted || !isBlank(line[at]))) word.push_back(line[at++]);
  }
  return word;
}

void skipBlanks(std::string_view line, size_t& at) {
  while (at < line.size() && isBlank(line[at])) ++at;
}

}  // namespace

std::vector<std::string> splitCommandLine(std::string_view line) {
  std::vector<std::string> words;
  size_t at = 0;
  skipBlanks(line, at);
  if (at == line.size()) return words;
  words.push_back(programWord(line, at));
  for (skipBlanks(line, at); at < line.size(); skipBlanks(line, at)) words.push_back(argumentWord(line, at));
  return words;
}

}  // namespace platform::detail
