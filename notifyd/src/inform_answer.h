// Informs are acknowledged by whoever receives them on the trap port, and
// that is the trap server: its clients hear of the inform through their
// records but cannot answer from the port it came to.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace notifyd {

// When `message` is an InformRequest (in either community-based message
// format), its Response: the same message with the PDU type Response and
// error status and index 0, as the standard asks. False for anything else,
// including octets that are no well-formed message.
bool answerInform(const uint8_t* message, size_t length, std::vector<uint8_t>& answer);

}  // namespace notifyd
