// Writing and reading the text form of a hive (format in registry_text.h).
#include "registry_text.h"

#include "platform/registry.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace platform::registry {
namespace {

constexpr std::string_view kFirstLine = "Orvane registry hive, format 1";
constexpr size_t kLongestKeyName = 255;

// ----- writing -----

void appendQuoted(std::string& out, std::string_view bytes) {
  out += '"';
  for (unsigned char c : bytes) {
    if (c == '\\' || c == '"') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || c == 0x7f) {
      char escape[5];
      std::snprintf(escape, sizeof escape, "\\x%02x", c);
      out += escape;
    } else {
      out += static_cast<char>(c);
    }
  }
  out += '"';
}

void appendHex(std::string& out, const std::vector<BYTE>& data) {
  out += "hex";
  for (BYTE byte : data) {
    char pair[4];
    std::snprintf(pair, sizeof pair, " %02x", byte);
    out += pair;
  }
}

std::string_view asText(const std::vector<BYTE>& data, size_t from, size_t to) {
  return {reinterpret_cast<const char*>(data.data()) + from, to - from};
}

// A string and its zero, with no other zero.
bool isPlainText(const std::vector<BYTE>& data) {
  if (data.empty() || data.back() != 0) return false;
  return asText(data, 0, data.size() - 1).find('\0') == std::string_view::npos;
}

// Non-empty strings, each with its zero, then one more zero.
bool splitStrings(const std::vector<BYTE>& data, std::vector<std::string_view>& strings) {
  if (data.empty() || data.back() != 0) return false;
  size_t start = 0;
  const size_t end = data.size() - 1;
  while (start < end) {
    size_t zero = asText(data, 0, end).find('\0', start);
    if (zero == std::string_view::npos || zero == start) return false;
    strings.push_back(asText(data, start, zero));
    start = zero + 1;
  }
  return true;
}

void appendTypeWord(std::string& out, DWORD type) {
  switch (type) {
    case REG_SZ: out += "sz"; break;
    case REG_EXPAND_SZ: out += "expand_sz"; break;
    case REG_MULTI_SZ: out += "multi_sz"; break;
    case REG_DWORD: out += "dword"; break;
    case REG_BINARY: out += "binary"; break;
    default: out += "type:" + std::to_string(type);
  }
}

void appendData(std::string& out, const Value& value) {
  std::vector<std::string_view> strings;
  if ((value.type == REG_SZ || value.type == REG_EXPAND_SZ) && isPlainText(value.data)) {
    out += ' ';
    appendQuoted(out, asText(value.data, 0, value.data.size() - 1));
  } else if (value.type == REG_MULTI_SZ && splitStrings(value.data, strings)) {
    for (std::string_view text : strings) {
      out += ' ';
      appendQuoted(out, text);
    }
  } else if (value.type == REG_DWORD && value.data.size() == 4) {
    DWORD number = value.data[0] | value.data[1] << 8 | value.data[2] << 16 |
                   static_cast<DWORD>(value.data[3]) << 24;
    char text[12];
    std::snprintf(text, sizeof text, " 0x%08x", number);
    out += text;
  } else {
    out += ' ';
    appendHex(out, value.data);
  }
}

void appendValues(std::string& out, const Key& key) {
  for (const Value& value : key.values) {
    if (value.name.empty()) out += '@';
    else appendQuoted(out, value.name);
    out += " = ";
    appendTypeWord(out, value.type);
    appendData(out, value);
    out += '\n';
  }
}

void appendKey(std::string& out, const Key& key, const std::string& path) {
  out += "\n[" + path + "]\n";
  appendValues(out, key);
  for (const auto& child : key.subkeys) appendKey(out, *child, path + '\\' + child->name);
}

// ----- reading -----

struct Fault {
  std::string problem;
};

// A cursor over one line; every read either succeeds or throws a Fault.
class LineReader {
 public:
  explicit LineReader(std::string_view line) : rest_(line) {}

  bool atEnd() {
    skipSpaces();
    return rest_.empty();
  }
  bool startsWith(std::string_view text) {
    skipSpaces();
    return rest_.substr(0, text.size()) == text;
  }
  void expect(std::string_view text) {
    if (!startsWith(text)) throw Fault{"expected '" + std::string(text) + "'"};
    rest_.remove_prefix(text.size());
  }
  std::string_view word() {
    skipSpaces();
    size_t end = rest_.find_first_of(" \t");
    std::string_view result = rest_.substr(0, end);
    rest_.remove_prefix(result.size());
    return result;
  }
  std::string quoted() {
    expect("\"");
    std::string text;
    for (;;) {
      if (rest_.empty()) throw Fault{"unterminated text"};
      char c = take();
      if (c == '"') return text;
      if (c != '\\') {
        text += c;
        continue;
      }
      if (rest_.empty()) throw Fault{"unterminated text"};
      char escaped = take();
      if (escaped == '\\' || escaped == '"') text += escaped;
      else if (escaped == 'x') text += static_cast<char>(hexByte(takeN(2)));
      else throw Fault{"unknown escape"};
    }
  }

  static unsigned hexNumber(std::string_view digits, size_t most) {
    unsigned number = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number, 16);
    if (digits.empty() || digits.size() > most || error != std::errc() ||
        end != digits.data() + digits.size()) {
      throw Fault{"bad hexadecimal number"};
    }
    return number;
  }
  static BYTE hexByte(std::string_view digits) {
    if (digits.size() != 2) throw Fault{"bad hexadecimal byte"};
    return static_cast<BYTE>(hexNumber(digits, 2));
  }

 private:
  void skipSpaces() {
    while (!rest_.empty() && (rest_.front() == ' ' || rest_.front() == '\t')) rest_.remove_prefix(1);
  }
  char take() {
    char c = rest_.front();
    rest_.remove_prefix(1);
    return c;
  }
  std::string_view takeN(size_t count) {
    std::string_view part = rest_.substr(0, count);
    rest_.remove_prefix(part.size());
    return part;
  }

  std::string_view rest_;
};

DWORD readType(LineReader& reader) {
  std::string_view word = reader.word();
  if (word == "sz") return REG_SZ;
  if (word == "expand_sz") return REG_EXPAND_SZ;
  if (word == "multi_sz") return REG_MULTI_SZ;
  if (word == "dword") return REG_DWORD;
  if (word == "binary") return REG_BINARY;
  if (word.substr(0, 5) == "type:") {
    std::string_view digits = word.substr(5);
    DWORD type = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), type);
    if (!digits.empty() && error == std::errc() && end == digits.data() + digits.size()) return type;
  }
  throw Fault{"unknown value type '" + std::string(word) + "'"};
}

void appendText(std::vector<BYTE>& data, const std::string& text) {
  data.insert(data.end(), text.begin(), text.end());
  data.push_back(0);
}

std::vector<BYTE> readData(LineReader& reader, DWORD type) {
  std::vector<BYTE> data;
  if (reader.startsWith("hex")) {
    reader.expect("hex");
    while (!reader.atEnd()) data.push_back(LineReader::hexByte(reader.word()));
  } else if ((type == REG_SZ || type == REG_EXPAND_SZ) && reader.startsWith("\"")) {
    appendText(data, reader.quoted());
  } else if (type == REG_MULTI_SZ) {
    while (!reader.atEnd()) appendText(data, reader.quoted());
    data.push_back(0);
  } else if (type == REG_DWORD && reader.startsWith("0x")) {
    reader.expect("0x");
    unsigned number = LineReader::hexNumber(reader.word(), 8);
    for (int shift = 0; shift < 32; shift += 8) data.push_back(static_cast<BYTE>(number >> shift));
  } else {
    throw Fault{"data does not suit its type"};
  }
  if (!reader.atEnd()) throw Fault{"unexpected text after the data"};
  return data;
}

void readValue(std::string_view line, Key& key) {
  LineReader reader(line);
  Value value;
  if (reader.startsWith("@")) reader.expect("@");
  else value.name = reader.quoted();
  reader.expect("=");
  value.type = readType(reader);
  value.data = readData(reader, value.type);
  if (key.findValue(value.name)) throw Fault{"value named twice in one key"};
  key.values.push_back(std::move(value));
}

Key& readKeyLine(std::string_view line, Key& root) {
  if (line.back() != ']') throw Fault{"key line without ']'"};
  std::string_view path = line.substr(1, line.size() - 2);
  Key* key = &root;
  while (!path.empty()) {
    std::string_view part = path.substr(0, path.find('\\'));
    if (part.empty() || part.size() > kLongestKeyName) throw Fault{"bad key name"};
    for (unsigned char c : part) {
      if (c < 0x20 || c == 0x7f) throw Fault{"control character in a key name"};
    }
    key = &key->subkey(part);
    path.remove_prefix(std::min(path.size(), part.size() + 1));
  }
  return *key;
}

std::string_view trimmed(std::string_view line) {
  while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) {
    line.remove_suffix(1);
  }
  while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
  return line;
}

}  // namespace

std::string formatHive(const Key& root) {
  std::string out(kFirstLine);
  out += '\n';
  appendValues(out, root);
  for (const auto& child : root.subkeys) appendKey(out, *child, child->name);
  return out;
}

ParseResult parseHive(std::string_view text, Key& root) {
  ParseResult result;
  size_t lineNumber = 0;
  Key* current = &root;
  while (!text.empty()) {
    size_t end = text.find('\n');
    std::string_view line = trimmed(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    ++lineNumber;
    if (lineNumber == 1) {
      if (line != kFirstLine) return {ParseResult::Status::foreign, 1, "not a registry hive"};
      continue;
    }
    if (line.empty() || line.front() == '#') continue;
    try {
      if (line.front() == '[') current = &readKeyLine(line, root);
      else readValue(line, *current);
    } catch (const Fault& fault) {
      return {ParseResult::Status::corrupt, lineNumber, fault.problem};
    }
  }
  if (lineNumber == 0) return {ParseResult::Status::foreign, 1, "empty file"};
  return result;
}

}  // namespace platform::registry
