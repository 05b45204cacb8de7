// A responder in front of a real agent that sends crafted datagrams before
// each real answer (crafted_responder.py): answers with another request
// id, of another PDU type or from another port, and datagrams that are no
// SNMPv1 message at all.
#pragma once

#include "background_process.h"

#include <cstdint>
#include <string>

class CraftedResponder {
 public:
  struct Plan {
    std::string decoys;      // comma-separated: wrong-id, not-response, other-port, garbage, truncated, v2c
    bool answer = true;      // send the agent's answer after the decoys
    bool endOfMibView = false;  // turn the agent's noSuchName into endOfMibView
  };
  // Whether python3, which runs the responder, is installed.
  static bool available();
  // Starts the responder on a free port of 127.0.0.1 in front of the agent
  // at 127.0.0.1:`agentPort`; false when it did not report ready.
  bool start(uint16_t agentPort, const Plan& plan);
  uint16_t port() const { return port_; }

 private:
  BackgroundProcess process_;
  uint16_t port_ = 0;
};
