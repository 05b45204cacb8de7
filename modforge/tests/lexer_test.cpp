#include "modforge/lexer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace modforge;

namespace {

struct Lexed {
  std::vector<Token> tokens;
  std::vector<std::string> log;
};

// Every token of `text` up to and including the end of file.
Lexed lex(const std::string& text, bool listing = false) {
  SourceReader reader;
  reader.openText(text);
  CollectingLog log;
  Lexer lexer(reader, log, listing);
  Lexed result;
  for (size_t guard = 0; guard <= text.size() + 1; ++guard) {
    result.tokens.push_back(lexer.next());
    if (result.tokens.back().code == kEndOfFile) break;
  }
  result.log = log.messages;
  return result;
}

std::vector<int> codes(const std::string& text) {
  std::vector<int> result;
  for (const Token& token : lex(text).tokens) result.push_back(token.code);
  return result;
}

TEST(ReservedWords, AreMatchedExactlyAndOnlyByTheirOwnLength) {
  EXPECT_EQ(codes("Integer32 Intefer32 UIntefer32 Counter32 BITS"),
            (std::vector<int>{kIdentifier, kIntefer32, kUIntefer32, kIdentifier, kIdentifier, kEndOfFile}));
  EXPECT_EQ(codes("OF NOTIFICATION-GROUP AGENT-CAPABILITIES TEXTUAL-CONVENTION"),
            (std::vector<int>{kOf, kNotificationGroup, kAgentCapabilities, kTextualConvention, kEndOfFile}));
  // Case matters, and a longer word that starts like a reserved one is an identifier.
  EXPECT_EQ(codes("integer INTEGERS read-onlyx"), (std::vector<int>{kIdentifier, kIdentifier, kIdentifier, kEndOfFile}));
  EXPECT_EQ(lookUpReservedWord("X", 1), kIdentifier);
  EXPECT_EQ(lookUpReservedWord("NOTIFICATION-GROUPS", 19), kIdentifier);
}

TEST(Comments, RunToTheEndOfTheirLine) {
  Lexed result = lex("a -- b -- c\nd");
  ASSERT_EQ(result.tokens.size(), 3u);
  EXPECT_EQ(result.tokens[0].text, "a");
  EXPECT_EQ(result.tokens[1].text, "d");
  // A comment may open the file and may follow a token directly.
  EXPECT_EQ(codes("-- header\n}-- trailing\n"), (std::vector<int>{kCloseBrace, kEndOfFile}));
}

TEST(Words, KeepTheirHyphens) {
  Lexed result = lex("read-only foo--bar x-");
  EXPECT_EQ(result.tokens[0].code, kReadOnly);
  EXPECT_EQ(result.tokens[1].text, "foo--bar");
  EXPECT_EQ(result.tokens[1].code, kIdentifier);
  EXPECT_EQ(result.tokens[2].text, "x-");
}

TEST(Numbers, StopBeforeARange) {
  Lexed result = lex("1..10");
  ASSERT_EQ(result.tokens.size(), 4u);
  EXPECT_EQ(result.tokens[0].value, 1);
  EXPECT_EQ(result.tokens[1].code, kRange);
  EXPECT_EQ(result.tokens[2].value, 10);
}

TEST(Numbers, ReportDigitsAndMagnitudeLimits) {
  Lexed digits = lex("123456789012345678901");
  EXPECT_EQ(digits.tokens[0].code, kErrorToken);
  EXPECT_EQ(digits.log, (std::vector<std::string>{"*** ERROR at line(1): Too many digits"}));
  Lexed large = lex("4294967297");
  EXPECT_EQ(large.tokens[0].code, kErrorToken);
  EXPECT_EQ(large.log, (std::vector<std::string>{"*** ERROR at line(1): Integer literal out of range"}));
  Lexed largest = lex("4294967295 12345678901234567890e-3");
  EXPECT_EQ(largest.tokens[0].value, 4294967295);
  EXPECT_EQ(largest.tokens[1].code, kNumber);
  EXPECT_TRUE(largest.log.empty());
  EXPECT_EQ(lex("1.x").log, (std::vector<std::string>{"*** ERROR at line(1): Invalid fraction"}));
  EXPECT_EQ(lex("1e+").log, (std::vector<std::string>{"*** ERROR at line(1): Invalid exponent"}));
  EXPECT_EQ(lex("1e40").log, (std::vector<std::string>{"*** ERROR at line(1): Real literal out of range"}));
}

TEST(Strings, SpanLinesWithCarriageReturnLineFeeds) {
  Lexed result = lex("\"one\ntwo\r\nthree\" x");
  EXPECT_EQ(result.tokens[0].code, kString);
  EXPECT_EQ(result.tokens[0].text, "one\r\ntwo\r\nthree");
  EXPECT_EQ(result.tokens[1].text, "x");
}

TEST(Strings, UnclosedEndsTheSourceWithAnErrorAtTheLineItOpens) {
  Lexed result = lex("a\nb \"never closed\nmore\nand more\n");
  ASSERT_EQ(result.tokens.size(), 3u);
  EXPECT_EQ(result.tokens[2].code, kEndOfFile);
  EXPECT_EQ(result.log, (std::vector<std::string>{"*** ERROR at line(2): Unexpected end of file"}));
}

TEST(Strings, LongerThanTheLineBufferAreCutWithAnError) {
  std::string text = "\"";
  for (int line = 0; line < 100; ++line) text += std::string(1000, 'x') + "\n";
  text += "\" after";
  Lexed result = lex(text);
  EXPECT_EQ(result.tokens[0].code, kString);
  EXPECT_LT(result.tokens[0].text.size(), SourceReader::kLineBufferSize);
  EXPECT_EQ(result.tokens[1].text, "after");
  EXPECT_EQ(result.log,
            (std::vector<std::string>{"*** ERROR at line(82): String too long; the rest of the string is ignored"}));
}

TEST(Specials, ReadDoubleColonAsAssignmentWhateverFollows) {
  EXPECT_EQ(codes("::= ::x :: : .. . <= <> < >= > ^"),
            (std::vector<int>{kAssign, kAssign, kAssign, kColon, kRange, kDot, kLessEqual, kNotEqual, kLess,
                              kGreaterEqual, kGreater, kErrorToken, kEndOfFile}));
}

TEST(Lines, AreCountedAndListed) {
  Lexed result = lex("A\r\nB\n\nC", true);
  EXPECT_EQ(result.log, (std::vector<std::string>{"   1 0: A", "   2 0: B", "   3 0: ", "   4 0: C"}));
  EXPECT_EQ(result.tokens.size(), 4u);  // CRLF endings read like plain line feeds
}

TEST(Lines, LongerThanTheBufferAreReportedAndSkipped) {
  std::string text = "first " + std::string(90000, 'a') + " lost\nsecond\n";
  Lexed result = lex(text);
  EXPECT_EQ(result.log,
            (std::vector<std::string>{"*** ERROR at line(1): Source line too long; the rest of the line is ignored"}));
  ASSERT_GE(result.tokens.size(), 3u);
  EXPECT_EQ(result.tokens[0].text, "first");
  EXPECT_EQ(result.tokens[2].text, "second");
}

TEST(Garbage, EndsAfterTheErrorLimit) {
  std::string text;
  for (int i = 0; i < 5000; ++i) text += static_cast<char>(0x80 + i % 100);
  Lexed result = lex(text);
  EXPECT_EQ(result.tokens.back().code, kEndOfFile);
  EXPECT_EQ(static_cast<int>(result.log.size()), Lexer::kErrorLimit + 1);
  EXPECT_EQ(result.log.back(), "*** ERROR at line(1): Too many syntax errors");
  EXPECT_EQ(result.log.front(), "*** ERROR at line(1): Unrecognizable input");
}

TEST(Garbage, ZeroBytesAreBlank) {
  EXPECT_EQ(codes(std::string("a\0b", 3)), (std::vector<int>{kIdentifier, kIdentifier, kEndOfFile}));
}

}  // namespace

namespace {

TEST(Lines, CountColumnsWithTabStopsOfEight) {
  SourceReader reader;
  reader.openText("\tab\t c");
  SilentLog log;
  Lexer lexer(reader, log, false);
  lexer.next();
  EXPECT_EQ(lexer.column(), 10);  // after "ab", which starts at column 8
  lexer.next();
  EXPECT_EQ(lexer.column(), 18);
}

}  // namespace
