// UDP serving with delayed and redirected answers.
#include "server.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <queue>
#include <sys/socket.h>
#include <unistd.h>

namespace simagent {
namespace {

using Clock = std::chrono::steady_clock;

struct PendingAnswer {
  Clock::time_point due;
  std::string octets;
  sockaddr_in destination;
  int socket;
  bool operator>(const PendingAnswer& other) const { return due > other.due; }
};

// A UDP socket bound to address:port (port 0: any free one), or -1.
int bindSocket(const std::string& address, uint16_t port, std::string& error) {
  sockaddr_in local{};
  local.sin_family = AF_INET;
  local.sin_port = htons(port);
  if (inet_pton(AF_INET, address.c_str(), &local.sin_addr) != 1) {
    error = "not an IPv4 address: " + address;
    return -1;
  }
  int handle = socket(AF_INET, SOCK_DGRAM, 0);
  if (handle < 0 || bind(handle, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
    error = "cannot listen on " + address + ":" + std::to_string(port) + ": " + std::strerror(errno);
    if (handle >= 0) close(handle);
    return -1;
  }
  return handle;
}

uint16_t boundPort(int handle) {
  sockaddr_in local{};
  socklen_t size = sizeof local;
  getsockname(handle, reinterpret_cast<sockaddr*>(&local), &size);
  return ntohs(local.sin_port);
}

void sendNow(const PendingAnswer& answer) {
  sendto(answer.socket, answer.octets.data(), answer.octets.size(), 0,
         reinterpret_cast<const sockaddr*>(&answer.destination), sizeof answer.destination);
}

int millisecondsUntil(Clock::time_point due) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(due - Clock::now()).count();
  return left < 0 ? 0 : static_cast<int>(left);
}

// Counts the datagrams already waiting at the stop, so that what the
// agent reports received does not depend on how quickly its loop ran.
void countWaitingDatagrams(int listener, Agent& agent) {
  unsigned char datagram[1];
  while (recv(listener, datagram, sizeof datagram, MSG_DONTWAIT | MSG_TRUNC) >= 0) agent.countUnanswered();
}

}  // namespace

int serve(Agent& agent, const Options& options, const std::atomic<bool>& stop) {
  std::string error;
  int listener = bindSocket(options.address, options.port, error);
  int other = listener >= 0 && options.faults.replyFromOtherPort ? bindSocket(options.address, 0, error) : -1;
  if (listener < 0 || (options.faults.replyFromOtherPort && other < 0)) {
    std::fprintf(stderr, "simagent: %s\n", error.c_str());
    return 1;
  }
  std::printf("simagent: ready on %s:%u, %zu objects\n", options.address.c_str(), boundPort(listener),
              agent.objectCount());
  std::fflush(stdout);

  std::priority_queue<PendingAnswer, std::vector<PendingAnswer>, std::greater<>> pending;
  unsigned char datagram[65536];
  while (!stop.load()) {
    // Short waits keep the loop responsive to the stop signal.
    int wait = pending.empty() ? 200 : std::min(200, millisecondsUntil(pending.top().due));
    pollfd watched{listener, POLLIN, 0};
    int ready = poll(&watched, 1, wait);
    while (!pending.empty() && pending.top().due <= Clock::now()) {
      sendNow(pending.top());
      pending.pop();
    }
    if (ready <= 0) continue;
    sockaddr_in sender{};
    socklen_t senderSize = sizeof sender;
    ssize_t length = recvfrom(listener, datagram, sizeof datagram, 0, reinterpret_cast<sockaddr*>(&sender),
                              &senderSize);
    if (length < 0) continue;
    std::string logLine;
    for (const Answer& answer : agent.receive(datagram, static_cast<size_t>(length), logLine)) {
      PendingAnswer outgoing{Clock::now() + std::chrono::milliseconds(answer.delayMilliseconds), answer.octets,
                             sender, answer.fromOtherPort ? other : listener};
      if (answer.delayMilliseconds == 0) sendNow(outgoing);
      else pending.push(outgoing);
    }
    if (options.verbose) {
      char from[INET_ADDRSTRLEN] = {};
      inet_ntop(AF_INET, &sender.sin_addr, from, sizeof from);
      std::printf("simagent: %s:%u %s\n", from, ntohs(sender.sin_port), logLine.c_str());
      std::fflush(stdout);
    }
  }
  countWaitingDatagrams(listener, agent);
  close(listener);
  if (other >= 0) close(other);
  return 0;
}

}  // namespace simagent
