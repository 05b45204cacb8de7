// The Response to an InformRequest.
#include "inform_answer.h"

namespace notifyd {
namespace {

constexpr uint8_t kSequence = 0x30;
constexpr uint8_t kInteger = 0x02;
constexpr uint8_t kOctetString = 0x04;
constexpr uint8_t kInform = 0xA6;
constexpr uint8_t kResponse = 0xA2;

// Walks the elements of a message held in `octets`, checking each header
// against what remains.
class Walker {
 public:
  Walker(const uint8_t* octets, size_t end, size_t at = 0) : octets_(octets), end_(end), at_(at) {}

  // Reads the header at the current place; the contents start at `start`
  // and are `length` long. False when the header or contents run past the
  // end or the tag is not `tag`.
  bool header(uint8_t tag, size_t& start, size_t& length) {
    if (end_ - at_ < 2 || octets_[at_] != tag) return false;
    size_t first = octets_[at_ + 1];
    size_t position = at_ + 2;
    length = first;
    if (first & 0x80) {
      size_t count = first & 0x7F;
      if (count == 0 || count > 2 || end_ - position < count) return false;
      length = 0;
      for (size_t i = 0; i < count; ++i) length = length << 8 | octets_[position++];
    }
    if (length > end_ - position) return false;
    start = position;
    return true;
  }
  // As header, and moves past the element.
  bool skip(uint8_t tag, size_t& start, size_t& length) {
    if (!header(tag, start, length)) return false;
    at_ = start + length;
    return true;
  }
  // Moves into the element's contents.
  bool enter(uint8_t tag) {
    size_t start = 0, length = 0;
    if (!header(tag, start, length) || start + length != end_) return false;
    at_ = start;
    return true;
  }
  size_t at() const { return at_; }

 private:
  const uint8_t* octets_;
  size_t end_;
  size_t at_;
};

}  // namespace

bool answerInform(const uint8_t* message, size_t length, std::vector<uint8_t>& answer) {
  Walker walker(message, length);
  size_t start = 0, size = 0;
  if (!walker.enter(kSequence) || !walker.skip(kInteger, start, size) || size != 1 || message[start] > 1 ||
      !walker.skip(kOctetString, start, size)) {
    return false;
  }
  size_t pdu = walker.at();
  if (!walker.enter(kInform)) return false;
  size_t requestId = 0, errorStatus = 0, statusSize = 0, errorIndex = 0, indexSize = 0;
  if (!walker.skip(kInteger, requestId, size) || !walker.skip(kInteger, errorStatus, statusSize) ||
      !walker.skip(kInteger, errorIndex, indexSize) || !walker.enter(kSequence)) {
    return false;
  }
  answer.assign(message, message + length);
  answer[pdu] = kResponse;
  for (size_t i = 0; i < statusSize; ++i) answer[errorStatus + i] = 0;
  for (size_t i = 0; i < indexSize; ++i) answer[errorIndex + i] = 0;
  return true;
}

}  // namespace notifyd
