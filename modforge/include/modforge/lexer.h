// The SMI lexer: turns one MIB source into tokens for the parser, keeps
// the line number for messages and owns the error printer every compiler
// stage reports through. It never stops on bad input: it reports the
// error and yields an error token. After kErrorLimit errors in one source
// it reports "Too many syntax errors" and yields only end of file, so that
// a file of garbage ends quickly.
#pragma once

#include "modforge/compile_log.h"
#include "modforge/source_reader.h"
#include "modforge/token.h"

namespace modforge {

class Lexer {
 public:
  static constexpr int kErrorLimit = 1000;

  // Reads the first line of `reader`, which must be open. With `listing`
  // on, every line read is echoed to the log as "%4d %d: %s".
  Lexer(SourceReader& reader, CompileLog& log, bool listing);

  // Produces the next token and returns it.
  const Token& next();
  const Token& current() const { return token_; }
  int code() const { return token_.code; }

  // Logs "*** ERROR at line(N): text" for the current line and counts it.
  void reportError(int index);
  // The same for another line of this source, naming what it is about.
  void reportErrorAt(int lineNumber, int index, std::string_view subject = {});

  int lineNumber() const { return reader_.lineNumber(); }
  // Column of the current character: a tab moves to the next multiple of 8.
  int column() const;
  int syntaxErrors() const { return syntaxErrors_; }
  bool gaveUp() const { return gaveUp_; }

 private:
  void advance();
  void startLine();
  int peek() const;
  void skipBlanksAndComments();
  void readWord();
  void readNumber();
  void readString();
  void readSpecial();
  void makeError(int index);
  void produce(int code, const char* text);

  SourceReader& reader_;
  CompileLog& log_;
  bool listing_;
  std::string_view line_;
  size_t position_ = 0;
  int character_ = 0;
  Token token_;
  int syntaxErrors_ = 0;
  bool gaveUp_ = false;
};

}  // namespace modforge
