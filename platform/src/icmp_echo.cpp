// One ICMP echo request and the wait for its answer: an echo reply with
// our identifier and sequence number, or an ICMP error about the request
// (unreachable, fragmentation needed, time exceeded).
#include "platform/icmp.h"

#include "icmp_socket.h"

#include "platform/errors.h"

#include <ctime>

#include <linux/errqueue.h>
#include <netinet/in.h>
#include <netinet/ip.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <limits>
#include <vector>

namespace platform::icmp {
namespace {

using Clock = std::chrono::steady_clock;

constexpr uint8_t kEchoReply = 0;
constexpr uint8_t kUnreachable = 3;
constexpr uint8_t kSourceQuench = 4;
constexpr uint8_t kEchoRequest = 8;
constexpr uint8_t kTimeExceeded = 11;
constexpr uint8_t kParameterProblem = 12;
constexpr size_t kIcmpHeaderSize = 8;
constexpr int kDefaultTtl = 128;
// Larger than any IPv4 datagram, so that nothing is cut off.
constexpr size_t kReceiveBufferSize = 65536;

uint16_t checksum(const uint8_t* data, size_t size) {
  uint32_t sum = 0;
  for (size_t index = 0; index + 1 < size; index += 2) sum += static_cast<uint32_t>(data[index] << 8 | data[index + 1]);
  if (size % 2) sum += static_cast<uint32_t>(data[size - 1] << 8);
  while (sum >> 16) sum = (sum & 0xFFFF) + (sum >> 16);
  return static_cast<uint16_t>(~sum);
}

uint16_t readWord(const uint8_t* data) { return static_cast<uint16_t>(data[0] << 8 | data[1]); }

// What the network said about one request.
struct Answer {
  ULONG status = IP_SUCCESS;
  IPAddr from = 0;
  int ttl = 0;
  const uint8_t* data = nullptr;
  size_t dataSize = 0;
};

ULONG statusOfIcmpError(uint8_t type, uint8_t code) {
  switch (type) {
    case kUnreachable:
      switch (code) {
        case 0: case 6: case 9: case 11: return IP_DEST_NET_UNREACHABLE;
        case 2: return IP_DEST_PROT_UNREACHABLE;
        case 3: return IP_DEST_PORT_UNREACHABLE;
        case 4: return IP_PACKET_TOO_BIG;
        case 5: return IP_BAD_ROUTE;
        default: return IP_DEST_HOST_UNREACHABLE;
      }
    case kTimeExceeded: return code == 1 ? IP_TTL_EXPIRED_REASSEM : IP_TTL_EXPIRED_TRANSIT;
    case kParameterProblem: return IP_PARAM_PROBLEM;
    case kSourceQuench: return IP_SOURCE_QUENCH;
    default: return IP_GENERAL_FAILURE;
  }
}

ULONG statusOfSendError(int error) {
  switch (error) {
    case EMSGSIZE: return IP_PACKET_TOO_BIG;
    case ENETUNREACH: return IP_DEST_NET_UNREACHABLE;
    case EHOSTUNREACH: return IP_DEST_HOST_UNREACHABLE;
    case ENOBUFS: case ENOMEM: return IP_NO_RESOURCES;
    default: return IP_GENERAL_FAILURE;
  }
}

bool applyOptions(const IcmpSocket& socket, const IP_OPTION_INFORMATION* options) {
  int ttl = options && options->Ttl ? options->Ttl : kDefaultTtl;
  int tos = options ? options->Tos : 0;
  int discovery = options && (options->Flags & IP_FLAG_DF) ? IP_PMTUDISC_DO : IP_PMTUDISC_DONT;
  return setsockopt(socket.descriptor, IPPROTO_IP, IP_TTL, &ttl, sizeof ttl) == 0 &&
         setsockopt(socket.descriptor, IPPROTO_IP, IP_TOS, &tos, sizeof tos) == 0 &&
         setsockopt(socket.descriptor, IPPROTO_IP, IP_MTU_DISCOVER, &discovery, sizeof discovery) == 0;
}

std::vector<uint8_t> echoRequest(const IcmpSocket& socket, const void* data, WORD size) {
  std::vector<uint8_t> packet(kIcmpHeaderSize + size);
  packet[0] = kEchoRequest;
  packet[4] = static_cast<uint8_t>(socket.identifier >> 8);
  packet[5] = static_cast<uint8_t>(socket.identifier);
  packet[6] = static_cast<uint8_t>(socket.sequence >> 8);
  packet[7] = static_cast<uint8_t>(socket.sequence);
  if (size) std::memcpy(packet.data() + kIcmpHeaderSize, data, size);
  uint16_t sum = checksum(packet.data(), packet.size());
  packet[2] = static_cast<uint8_t>(sum >> 8);
  packet[3] = static_cast<uint8_t>(sum);
  return packet;
}

// Whether an ICMP header (of a reply, or quoted in an error) belongs to the
// request in flight. A datagram socket's identifier is the system's.
bool isOurs(const IcmpSocket& socket, const uint8_t* icmp, uint8_t type) {
  return icmp[0] == type && (socket.datagram || readWord(icmp + 4) == socket.identifier) &&
         readWord(icmp + 6) == socket.sequence;
}

// A datagram seen by a raw socket: IP header, then ICMP. True when it
// answers our request.
bool takeRawDatagram(const IcmpSocket& socket, const uint8_t* bytes, size_t size, Answer& answer) {
  if (size < sizeof(iphdr)) return false;
  const auto* ip = reinterpret_cast<const iphdr*>(bytes);
  size_t headerSize = static_cast<size_t>(ip->ihl) * 4;
  if (headerSize < sizeof(iphdr) || size < headerSize + kIcmpHeaderSize) return false;
  const uint8_t* icmp = bytes + headerSize;
  size_t icmpSize = size - headerSize;
  answer.from = ip->saddr;
  answer.ttl = ip->ttl;
  if (isOurs(socket, icmp, kEchoReply)) {
    answer.data = icmp + kIcmpHeaderSize;
    answer.dataSize = icmpSize - kIcmpHeaderSize;
    return true;
  }
  if (icmp[0] != kUnreachable && icmp[0] != kTimeExceeded && icmp[0] != kParameterProblem &&
      icmp[0] != kSourceQuench) {
    return false;
  }
  // An error quotes the IP header and the first 8 bytes of our request.
  const uint8_t* quoted = icmp + kIcmpHeaderSize;
  size_t quotedSize = icmpSize - kIcmpHeaderSize;
  if (quotedSize < sizeof(iphdr)) return false;
  size_t quotedHeader = static_cast<size_t>(reinterpret_cast<const iphdr*>(quoted)->ihl) * 4;
  if (quotedHeader < sizeof(iphdr) || quotedSize < quotedHeader + kIcmpHeaderSize) return false;
  if (!isOurs(socket, quoted + quotedHeader, kEchoRequest)) return false;
  answer.status = statusOfIcmpError(icmp[0], icmp[1]);
  return true;
}

// A datagram socket's reply: the ICMP part only, the TTL as ancillary data.
bool takeDatagramReply(const IcmpSocket& socket, const uint8_t* bytes, size_t size, msghdr& message,
                       Answer& answer) {
  if (size < kIcmpHeaderSize || !isOurs(socket, bytes, kEchoReply)) return false;
  for (cmsghdr* control = CMSG_FIRSTHDR(&message); control; control = CMSG_NXTHDR(&message, control)) {
    if (control->cmsg_level == IPPROTO_IP && control->cmsg_type == IP_TTL) {
      std::memcpy(&answer.ttl, CMSG_DATA(control), sizeof answer.ttl);
    }
  }
  answer.from = reinterpret_cast<const sockaddr_in*>(message.msg_name)->sin_addr.s_addr;
  answer.data = bytes + kIcmpHeaderSize;
  answer.dataSize = size - kIcmpHeaderSize;
  return true;
}

// An error from a datagram socket's error queue; it quotes our request.
bool takeQueuedError(const IcmpSocket& socket, const uint8_t* bytes, size_t size, msghdr& message,
                     Answer& answer) {
  if (size < kIcmpHeaderSize || !isOurs(socket, bytes, kEchoRequest)) return false;
  for (cmsghdr* control = CMSG_FIRSTHDR(&message); control; control = CMSG_NXTHDR(&message, control)) {
    if (control->cmsg_level != IPPROTO_IP || control->cmsg_type != IP_RECVERR) continue;
    sock_extended_err error{};
    std::memcpy(&error, CMSG_DATA(control), sizeof error);
    if (error.ee_origin == SO_EE_ORIGIN_ICMP) answer.status = statusOfIcmpError(error.ee_type, error.ee_code);
    else answer.status = statusOfSendError(static_cast<int>(error.ee_errno));
    const auto* offender = reinterpret_cast<const sockaddr_in*>(SO_EE_OFFENDER(
        reinterpret_cast<sock_extended_err*>(CMSG_DATA(control))));
    answer.from = offender->sin_family == AF_INET ? offender->sin_addr.s_addr : 0;
    return true;
  }
  return false;
}

// Reads one datagram (or one queued error); true when it answers us.
bool receiveOne(const IcmpSocket& socket, bool fromErrorQueue, std::vector<uint8_t>& buffer, Answer& answer) {
  sockaddr_in from{};
  alignas(cmsghdr) uint8_t control[512];
  iovec part{buffer.data(), buffer.size()};
  msghdr message{};
  message.msg_name = &from;
  message.msg_namelen = sizeof from;
  message.msg_iov = &part;
  message.msg_iovlen = 1;
  message.msg_control = control;
  message.msg_controllen = sizeof control;
  ssize_t size = recvmsg(socket.descriptor, &message, MSG_DONTWAIT | (fromErrorQueue ? MSG_ERRQUEUE : 0));
  if (size < 0) return false;
  auto length = static_cast<size_t>(size);
  if (fromErrorQueue) return takeQueuedError(socket, buffer.data(), length, message, answer);
  if (socket.datagram) return takeDatagramReply(socket, buffer.data(), length, message, answer);
  return takeRawDatagram(socket, buffer.data(), length, answer);
}

// Waits until `deadline` for the answer; false when none came in time.
// The answer's data lies in `buffer`.
bool awaitAnswer(const IcmpSocket& socket, Clock::time_point deadline, std::vector<uint8_t>& buffer, Answer& answer) {
  for (;;) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return false;
    pollfd watched{socket.descriptor, POLLIN, 0};
    int ready = poll(&watched, 1, static_cast<int>(std::min<long long>(left, std::numeric_limits<int>::max())));
    if (ready < 0 && errno != EINTR) return false;
    if (ready <= 0) continue;
    if ((watched.revents & POLLERR) && receiveOne(socket, true, buffer, answer)) return true;
    if ((watched.revents & POLLIN) && receiveOne(socket, false, buffer, answer)) return true;
  }
}

DWORD fail(ULONG status, ICMP_ECHO_REPLY* reply) {
  if (reply) reply->Status = status;
  SetLastError(status);
  return 0;
}

}  // namespace
}  // namespace platform::icmp

DWORD IcmpSendEcho(HANDLE icmpHandle, IPAddr destinationAddress, LPVOID requestData, WORD requestSize,
                   PIP_OPTION_INFORMATION requestOptions, LPVOID replyBuffer, DWORD replySize, DWORD timeout) {
  using namespace platform::icmp;
  IcmpSocket* socket = socketOf(icmpHandle);
  if (!socket) return fail(ERROR_INVALID_HANDLE, nullptr);
  if (!replyBuffer || (requestSize && !requestData)) return fail(ERROR_INVALID_PARAMETER, nullptr);
  // Room for the reply, its data and an ICMP header, as the interface asks.
  if (replySize < sizeof(ICMP_ECHO_REPLY) + requestSize + kIcmpHeaderSize) return fail(IP_BUF_TOO_SMALL, nullptr);
  auto* reply = static_cast<ICMP_ECHO_REPLY*>(replyBuffer);
  std::memset(reply, 0, sizeof *reply);
  if (!applyOptions(*socket, requestOptions)) return fail(IP_BAD_REQ, reply);

  ++socket->sequence;
  std::vector<uint8_t> packet = echoRequest(*socket, requestData, requestSize);
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_addr.s_addr = destinationAddress;
  Clock::time_point started = Clock::now();
  if (sendto(socket->descriptor, packet.data(), packet.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to) < 0) {
    return fail(statusOfSendError(errno), reply);
  }
  Answer answer;
  std::vector<uint8_t> received(kReceiveBufferSize);
  if (!awaitAnswer(*socket, started + std::chrono::milliseconds(timeout), received, answer)) {
    return fail(IP_REQ_TIMED_OUT, reply);
  }
  reply->Address = answer.from;
  if (answer.status != IP_SUCCESS) return fail(answer.status, reply);
  auto* data = static_cast<uint8_t*>(replyBuffer) + sizeof(ICMP_ECHO_REPLY);
  size_t room = replySize - sizeof(ICMP_ECHO_REPLY);
  size_t kept = answer.dataSize < room ? answer.dataSize : room;
  std::memcpy(data, answer.data, kept);
  reply->Status = IP_SUCCESS;
  reply->RoundTripTime = static_cast<ULONG>(
      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started).count());
  reply->DataSize = static_cast<USHORT>(kept);
  reply->Data = data;
  reply->Options.Ttl = static_cast<BYTE>(answer.ttl);
  SetLastError(ERROR_SUCCESS);
  return 1;
}
