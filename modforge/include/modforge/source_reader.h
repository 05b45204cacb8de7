// Reads a MIB source, from a file or from memory, one line at a time into
// a bounded line buffer. A line ending "\r\n" reads as one ending "\n",
// as a text stream would give it.
#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace modforge {

class SourceReader {
 public:
  // A line is read up to its line feed or this many characters less one.
  static constexpr size_t kLineBufferSize = 81920;

  enum class Line { read, tooLong, end };

  SourceReader() = default;
  SourceReader(const SourceReader&) = delete;
  SourceReader& operator=(const SourceReader&) = delete;
  ~SourceReader();

  // Opens a file for reading; false when it cannot be opened.
  [[nodiscard]] bool openFile(const std::string& path);
  // Reads from `text`, which must outlive the reader.
  void openText(std::string_view text);

  // Reads the next line without its line feed. A line longer than the
  // buffer gives `tooLong`: its first part is read and the rest skipped.
  Line readLine();
  std::string_view line() const { return line_; }
  int lineNumber() const { return lineNumber_; }

 private:
  bool refill();
  // Appends characters up to a line feed; true when one was found.
  bool takeUntilLineFeed(size_t limit);
  void skipRestOfLine();

  std::FILE* file_ = nullptr;
  std::unique_ptr<char[]> block_;
  const char* data_ = nullptr;
  size_t size_ = 0;
  size_t position_ = 0;
  std::string line_;
  int lineNumber_ = 0;
};

}  // namespace modforge
