// Line reading with a fixed upper bound on the memory one line can take,
// so that a file of one endless line costs no more than a normal one.
#include "modforge/source_reader.h"

#include <algorithm>
#include <cstring>

namespace modforge {
namespace {

// Small enough that finding a file's module header reads little of it.
constexpr size_t kBlockSize = 1 << 14;
constexpr size_t kLongestLine = SourceReader::kLineBufferSize - 1;

}  // namespace

SourceReader::~SourceReader() {
  if (file_) std::fclose(file_);
}

bool SourceReader::openFile(const std::string& path) {
  file_ = std::fopen(path.c_str(), "rb");
  if (!file_) return false;
  block_ = std::make_unique_for_overwrite<char[]>(kBlockSize);
  return true;
}

void SourceReader::openText(std::string_view text) {
  data_ = text.data();
  size_ = text.size();
  position_ = 0;
}

bool SourceReader::refill() {
  if (position_ < size_) return true;
  if (!file_) return false;
  size_t got = std::fread(block_.get(), 1, kBlockSize, file_);
  data_ = block_.get();
  size_ = got;
  position_ = 0;
  return got > 0;
}

bool SourceReader::takeUntilLineFeed(size_t limit) {
  while (line_.size() < limit && refill()) {
    size_t wanted = std::min(size_ - position_, limit - line_.size());
    const char* start = data_ + position_;
    const void* feed = std::memchr(start, '\n', wanted);
    size_t taken = feed ? static_cast<size_t>(static_cast<const char*>(feed) - start) : wanted;
    line_.append(start, taken);
    position_ += taken;
    if (feed) {
      ++position_;
      return true;
    }
  }
  return false;
}

void SourceReader::skipRestOfLine() {
  while (refill()) {
    const char* start = data_ + position_;
    const void* feed = std::memchr(start, '\n', size_ - position_);
    if (feed) {
      position_ = static_cast<size_t>(static_cast<const char*>(feed) - data_) + 1;
      return;
    }
    position_ = size_;
  }
}

SourceReader::Line SourceReader::readLine() {
  line_.clear();
  if (!refill()) return Line::end;
  ++lineNumber_;
  bool ended = takeUntilLineFeed(kLongestLine);
  // A line of exactly the longest length still ends at its line feed.
  if (!ended && refill() && data_[position_] == '\n') {
    ++position_;
    ended = true;
  }
  if (!line_.empty() && line_.back() == '\r') line_.pop_back();
  if (ended || !refill()) return Line::read;
  skipRestOfLine();
  return Line::tooLong;
}

}  // namespace modforge
