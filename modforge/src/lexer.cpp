// Character classes, tokens and the error printer of the SMI lexer. Each
// line is presented followed by one line-feed character; past the last
// line the current character is kEndMark, which no line can contain.
#include "modforge/lexer.h"

#include "modforge/messages.h"

#include <array>
#include <cmath>
#include <cstring>
#include <cstdio>

namespace modforge {
namespace {

constexpr int kEndMark = -1;
constexpr int kLineEnd = '\n';
constexpr size_t kLongestText = SourceReader::kLineBufferSize - 1;
constexpr int kMostDigits = 20;
constexpr double kLargestInteger = 4294967296.0;

enum class CharacterClass : unsigned char { error, letter, digit, special, quote, blank, endOfFile };

constexpr std::array<CharacterClass, 256> makeClassTable() {
  std::array<CharacterClass, 256> table{};
  for (int c = 'A'; c <= 'Z'; ++c) table[c] = CharacterClass::letter;
  for (int c = 'a'; c <= 'z'; ++c) table[c] = CharacterClass::letter;
  table['_'] = CharacterClass::letter;
  for (int c = '0'; c <= '9'; ++c) table[c] = CharacterClass::digit;
  for (unsigned char c : {' ', '\t', '\n', '\0'}) table[c] = CharacterClass::blank;
  table['"'] = CharacterClass::quote;
  for (unsigned char c : {'*', '(', ')', '+', '=', '{', '-', '}', ':', ';', '<', '>', ',', '\'', '.', '/', '|', '[', ']',
                          '^'}) {
    table[c] = CharacterClass::special;
  }
  return table;  // codes 128..255 and the other controls stay errors
}

constexpr std::array<CharacterClass, 256> kClasses = makeClassTable();

CharacterClass classOf(int character) {
  return character == kEndMark ? CharacterClass::endOfFile : kClasses[static_cast<unsigned char>(character)];
}

bool isDigit(int character) { return character >= '0' && character <= '9'; }

bool continuesWord(int character) {
  CharacterClass kind = classOf(character);
  return kind == CharacterClass::letter || kind == CharacterClass::digit || character == '-';
}

}  // namespace

Lexer::Lexer(SourceReader& reader, CompileLog& log, bool listing)
    : reader_(reader), log_(log), listing_(listing) {
  startLine();
}

void Lexer::startLine() {
  SourceReader::Line outcome = reader_.readLine();
  position_ = 0;
  if (outcome == SourceReader::Line::end) {
    line_ = {};
    character_ = kEndMark;
    return;
  }
  line_ = reader_.line();
  if (listing_) {
    char prefix[32];
    std::snprintf(prefix, sizeof prefix, "%4d %d: ", reader_.lineNumber(), 0);
    log_.message(std::string(prefix) + std::string(line_));
  }
  if (outcome == SourceReader::Line::tooLong) reportError(kSourceLineTooLong);
  character_ = line_.empty() ? kLineEnd : static_cast<unsigned char>(line_[0]);
}

// Moves to the next character: the rest of the line, then its line end,
// then the next line.
void Lexer::advance() {
  if (character_ == kEndMark) return;
  if (position_ < line_.size()) ++position_;
  else {
    startLine();
    return;
  }
  character_ = position_ < line_.size() ? static_cast<unsigned char>(line_[position_]) : kLineEnd;
}

int Lexer::column() const {
  int column = 0;
  for (size_t i = 0; i < position_ && i < line_.size(); ++i) column = line_[i] == '\t' ? (column / 8 + 1) * 8 : column + 1;
  return column;
}

int Lexer::peek() const {
  if (character_ == kEndMark || position_ >= line_.size()) return kEndMark;
  return position_ + 1 < line_.size() ? static_cast<unsigned char>(line_[position_ + 1]) : kLineEnd;
}

// "--" starts a comment that runs to the end of its line, wherever it
// stands between tokens.
void Lexer::skipBlanksAndComments() {
  for (;;) {
    if (classOf(character_) == CharacterClass::blank) {
      advance();
    } else if (character_ == '-' && peek() == '-') {
      position_ = line_.size();
      character_ = kLineEnd;
    } else {
      return;
    }
  }
}

const Token& Lexer::next() {
  token_.text.clear();
  token_.value = 0;
  if (gaveUp_) {
    token_.code = kEndOfFile;
    return token_;
  }
  skipBlanksAndComments();
  switch (classOf(character_)) {
    case CharacterClass::letter:
      readWord();
      break;
    case CharacterClass::digit:
      readNumber();
      break;
    case CharacterClass::quote:
      readString();
      break;
    case CharacterClass::special:
      readSpecial();
      break;
    case CharacterClass::endOfFile:
      token_.code = kEndOfFile;
      break;
    default:
      advance();
      makeError(kUnrecognizableInput);
      break;
  }
  if (gaveUp_) token_.code = kEndOfFile;
  return token_;
}

// A word never spans lines, so it is taken from the line in one piece.
void Lexer::readWord() {
  size_t start = position_;
  while (position_ < line_.size() && continuesWord(static_cast<unsigned char>(line_[position_]))) ++position_;
  token_.text.assign(line_.data() + start, position_ - start);
  character_ = position_ < line_.size() ? static_cast<unsigned char>(line_[position_]) : kLineEnd;
  token_.code = lookUpReservedWord(token_.text.data(), token_.text.size());
}

void Lexer::readNumber() {
  double value = 0;
  int digits = 0;
  while (isDigit(character_)) {
    token_.text.push_back(static_cast<char>(character_));
    value = value * 10 + (character_ - '0');
    ++digits;
    advance();
  }
  bool real = false;
  int fractionDigits = 0;
  if (character_ == '.' && peek() != '.') {
    real = true;
    token_.text.push_back('.');
    advance();
    if (!isDigit(character_)) return makeError(kInvalidFraction);
    while (isDigit(character_)) {
      token_.text.push_back(static_cast<char>(character_));
      ++fractionDigits;
      advance();
    }
  }
  int exponent = 0;
  if (character_ == 'E' || character_ == 'e') {
    real = true;
    token_.text.push_back(static_cast<char>(character_));
    advance();
    int sign = 1;
    if (character_ == '+' || character_ == '-') {
      sign = character_ == '-' ? -1 : 1;
      token_.text.push_back(static_cast<char>(character_));
      advance();
    }
    if (!isDigit(character_)) return makeError(kInvalidExponent);
    while (isDigit(character_)) {
      token_.text.push_back(static_cast<char>(character_));
      if (exponent < 100000) exponent = exponent * 10 + (character_ - '0');
      advance();
    }
    exponent *= sign;
  }
  int magnitude = digits + exponent - fractionDigits;
  if (digits > kMostDigits) return makeError(kTooManyDigits);
  if (magnitude < -37 || magnitude > 37) return makeError(kRealOutOfRange);
  if (!real && value > kLargestInteger) return makeError(kIntegerOutOfRange);
  token_.code = kNumber;
  token_.value = std::fabs(value) <= kLargestInteger ? static_cast<int64_t>(value) : 0;
}

// A string runs to the next double quote across line ends, each stored
// as "\r\n". An unclosed string is reported at the line it opens on and
// ends the source. The text is taken a line piece at a time.
void Lexer::readString() {
  int openingLine = reader_.lineNumber();
  advance();
  bool truncated = false;
  auto keep = [&](const char* text, size_t length) {
    if (truncated) return;
    if (token_.text.size() + length + 1 > kLongestText) {
      truncated = true;
      reportError(kStringTooLong);
      return;
    }
    token_.text.append(text, length);
  };
  for (;;) {
    if (character_ == kEndMark) {
      reportErrorAt(openingLine, kUnexpectedEndOfFile);
      token_.code = kEndOfFile;
      return;
    }
    if (position_ >= line_.size()) {
      keep("\r\n", 2);
      startLine();
      continue;
    }
    const char* start = line_.data() + position_;
    size_t left = line_.size() - position_;
    const void* quote = std::memchr(start, '"', left);
    size_t length = quote ? static_cast<size_t>(static_cast<const char*>(quote) - start) : left;
    keep(start, length);
    position_ += length;
    if (quote) break;
    character_ = kLineEnd;
  }
  character_ = '"';
  advance();
  token_.code = kString;
}

void Lexer::produce(int code, const char* text) {
  token_.code = code;
  token_.text = text;
}

void Lexer::readSpecial() {
  int first = character_;
  int second = peek();
  advance();
  switch (first) {
    case ':':
      if (second != ':') return produce(kColon, ":");
      advance();
      advance();  // whatever follows "::" belongs to the "::=".
      return produce(kAssign, "::=");
    case '<':
      if (second == '=' || second == '>') {
        advance();
        return produce(second == '=' ? kLessEqual : kNotEqual, second == '=' ? "<=" : "<>");
      }
      return produce(kLess, "<");
    case '>':
      if (second == '=') {
        advance();
        return produce(kGreaterEqual, ">=");
      }
      return produce(kGreater, ">");
    case '.':
      if (second == '.') {
        advance();
        return produce(kRange, "..");
      }
      return produce(kDot, ".");
    case '*': return produce(kStar, "*");
    case '(': return produce(kOpenParen, "(");
    case ')': return produce(kCloseParen, ")");
    case '+': return produce(kPlus, "+");
    case '=': return produce(kEquals, "=");
    case '{': return produce(kOpenBrace, "{");
    case '-': return produce(kMinus, "-");
    case '}': return produce(kCloseBrace, "}");
    case ';': return produce(kSemicolon, ";");
    case ',': return produce(kComma, ",");
    case '\'': return produce(kApostrophe, "'");
    case '/': return produce(kSlash, "/");
    case '|': return produce(kBar, "|");
    case '[': return produce(kOpenBracket, "[");
    case ']': return produce(kCloseBracket, "]");
    default:
      token_.text = static_cast<char>(first);
      return makeError(kUnrecognizableInput);
  }
}

void Lexer::makeError(int index) {
  token_.code = kErrorToken;
  reportError(index);
}

void Lexer::reportError(int index) { reportErrorAt(reader_.lineNumber(), index); }

void Lexer::reportErrorAt(int lineNumber, int index, std::string_view subject) {
  if (gaveUp_) return;
  log_.message(errorLine(lineNumber, index, subject));
  if (++syntaxErrors_ < kErrorLimit) return;
  log_.message(errorLine(reader_.lineNumber(), kTooManySyntaxErrors));
  gaveUp_ = true;
}

}  // namespace modforge
