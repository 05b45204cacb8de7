// One run of the Ping tab: n echo requests to one host, one line of text
// per request, on a thread of its own so that the window keeps painting.
// The lines come to `writeLine` on that thread, in order.
#pragma once

#include "platform/icmp.h"

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace netlens {

struct PingSettings {
  HANDLE icmp = nullptr;
  IPAddr address = 0;   // network byte order
  std::string host;     // as typed, for the lines
  int bytes = 32;       // 1 .. 1400
  int requests = 4;     // 1 or more
  DWORD timeout = 1000; // milliseconds
  bool dontFragment = true;
};

// The line for one answer of IcmpSendEcho: the reply, or what its error
// code means.
std::string replyLine(DWORD replies, const ICMP_ECHO_REPLY& reply, DWORD error);

class PingRun {
 public:
  // Starts the run at once. `finished` follows the last line.
  PingRun(const PingSettings& settings, std::function<void(const std::string&)> writeLine,
          std::function<void()> finished);
  // Cuts a pause short and waits for the request in flight (at most its
  // timeout) before the run goes.
  ~PingRun();
  PingRun(const PingRun&) = delete;
  PingRun& operator=(const PingRun&) = delete;

 private:
  void run();
  // Waits between requests; false when the run is being stopped.
  bool pause();

  PingSettings settings_;
  std::function<void(const std::string&)> writeLine_;
  std::function<void()> finished_;
  std::mutex lock_;
  std::condition_variable stopSignal_;
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace netlens
