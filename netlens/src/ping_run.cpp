// The echo requests of one Ping run.
#include "ping_run.h"

#include "platform/errors.h"

#include <arpa/inet.h>

#include <chrono>
#include <cstring>
#include <vector>

namespace netlens {
namespace {

constexpr BYTE kEchoTtl = 32;
constexpr DWORD kReplyBufferSize = 1500;
constexpr auto kPauseBetweenRequests = std::chrono::milliseconds(1000);
constexpr char kDataText[] = "Orvane";

std::vector<char> echoData(int bytes) {
  std::vector<char> data(static_cast<size_t>(bytes), '\0');
  std::memcpy(data.data(), kDataText, std::min(data.size(), sizeof kDataText - 1));
  return data;
}

}  // namespace

std::string replyLine(DWORD replies, const ICMP_ECHO_REPLY& reply, DWORD error) {
  if (replies == 0) {
    if (error == IP_PACKET_TOO_BIG) return "Packet needs to be fragmented but DF set.";
    if (error == IP_REQ_TIMED_OUT) return "Request timed out.";
    return "Error: " + std::to_string(error);
  }
  in_addr from{};
  from.s_addr = reply.Address;
  char text[INET_ADDRSTRLEN] = {};
  inet_ntop(AF_INET, &from, text, sizeof text);
  std::string time = reply.RoundTripTime == 0 ? "<10" : "=" + std::to_string(reply.RoundTripTime);
  return std::string("Reply from ") + text + ": bytes=" + std::to_string(reply.DataSize) + ", time" + time + "ms" +
         ", TTL=" + std::to_string(reply.Options.Ttl);
}

PingRun::PingRun(const PingSettings& settings, std::function<void(const std::string&)> writeLine,
                 std::function<void()> finished)
    : settings_(settings), writeLine_(std::move(writeLine)), finished_(std::move(finished)) {
  thread_ = std::thread([this] { run(); });
}

PingRun::~PingRun() {
  {
    std::lock_guard<std::mutex> hold(lock_);
    stopping_ = true;
  }
  stopSignal_.notify_all();
  thread_.join();
}

bool PingRun::pause() {
  std::unique_lock<std::mutex> hold(lock_);
  return !stopSignal_.wait_for(hold, kPauseBetweenRequests, [this] { return stopping_; });
}

void PingRun::run() {
  std::vector<char> data = echoData(settings_.bytes);
  IP_OPTION_INFORMATION options{kEchoTtl, 0, static_cast<BYTE>(settings_.dontFragment ? IP_FLAG_DF : 0), 0, nullptr};
  alignas(ICMP_ECHO_REPLY) unsigned char replyBuffer[kReplyBufferSize];
  bool timedOut = false;
  for (int request = 1; request <= settings_.requests; ++request) {
    // A request that timed out has waited long enough already.
    if (request > 1 && !timedOut && !pause()) return;
    {
      std::lock_guard<std::mutex> hold(lock_);
      if (stopping_) return;
    }
    DWORD replies = IcmpSendEcho(settings_.icmp, settings_.address, data.data(), static_cast<WORD>(data.size()),
                                 &options, replyBuffer, sizeof replyBuffer, settings_.timeout);
    DWORD error = replies ? ERROR_SUCCESS : GetLastError();
    timedOut = error == IP_REQ_TIMED_OUT;
    writeLine_(replyLine(replies, *reinterpret_cast<const ICMP_ECHO_REPLY*>(replyBuffer), error));
  }
  writeLine_("");
  writeLine_("OK.");
  writeLine_("");
  if (finished_) finished_();
}

}  // namespace netlens
