// ICMP echo: one echo request to an IPv4 host and its reply, the way the
// Windows ICMP interface offers it. A handle keeps one ICMP socket; one
// thread at a time may send on it.
#pragma once

#include "platform/export.h"
#include "platform/win32_types.h"

#if !defined(_WIN32)
typedef uint32_t IPAddr;  // network byte order

// The echo's IP header options. Flags: IP_FLAG_DF asks that the datagram
// is not fragmented.
struct IP_OPTION_INFORMATION {
  BYTE Ttl;
  BYTE Tos;
  BYTE Flags;
  BYTE OptionsSize;
  BYTE* OptionsData;
};
typedef IP_OPTION_INFORMATION* PIP_OPTION_INFORMATION;

// One reply, as it lies at the start of the reply buffer; its data follows
// it in the same buffer.
struct ICMP_ECHO_REPLY {
  IPAddr Address;  // the replying host, network byte order
  ULONG Status;    // IP_SUCCESS or one of the IP_ codes below
  ULONG RoundTripTime;  // milliseconds
  USHORT DataSize;
  USHORT Reserved;
  LPVOID Data;
  IP_OPTION_INFORMATION Options;  // the reply's TTL among them
};
typedef ICMP_ECHO_REPLY* PICMP_ECHO_REPLY;

#  define IP_FLAG_DF 0x2
#  define IP_SUCCESS 0
#  define IP_BUF_TOO_SMALL 11001
#  define IP_DEST_NET_UNREACHABLE 11002
#  define IP_DEST_HOST_UNREACHABLE 11003
#  define IP_DEST_PROT_UNREACHABLE 11004
#  define IP_DEST_PORT_UNREACHABLE 11005
#  define IP_NO_RESOURCES 11006
#  define IP_HW_ERROR 11008
#  define IP_PACKET_TOO_BIG 11009
#  define IP_REQ_TIMED_OUT 11010
#  define IP_BAD_REQ 11011
#  define IP_BAD_ROUTE 11012
#  define IP_TTL_EXPIRED_TRANSIT 11013
#  define IP_TTL_EXPIRED_REASSEM 11014
#  define IP_PARAM_PROBLEM 11015
#  define IP_SOURCE_QUENCH 11016
#  define IP_GENERAL_FAILURE 11050

#  ifndef INVALID_HANDLE_VALUE
#    define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-1)))
#  endif

// Opens an ICMP socket: an ICMP datagram socket where this user may open
// one, a raw socket otherwise. INVALID_HANDLE_VALUE when neither opens; the
// last error then says why (ERROR_ACCESS_DENIED when the system allows this
// user neither kind).
PLATFORM_API HANDLE IcmpCreateFile();
// Closes the handle's socket. FALSE (ERROR_INVALID_HANDLE) for a handle
// that IcmpCreateFile did not give or that is already closed.
PLATFORM_API BOOL IcmpCloseHandle(HANDLE icmpHandle);
// Sends one echo request with `requestSize` bytes of `requestData` and
// waits up to `timeout` milliseconds for its reply, which it writes to
// `replyBuffer` (an ICMP_ECHO_REPLY, then the reply's data). Returns 1
// when a reply came; otherwise 0, with the reason as the last error
// (IP_REQ_TIMED_OUT, IP_PACKET_TOO_BIG, an unreachable code,
// IP_BUF_TOO_SMALL, ERROR_INVALID_HANDLE, ERROR_INVALID_PARAMETER) and, when
// the buffer holds a reply, in its Status too.
PLATFORM_API DWORD IcmpSendEcho(HANDLE icmpHandle, IPAddr destinationAddress, LPVOID requestData, WORD requestSize,
                                PIP_OPTION_INFORMATION requestOptions, LPVOID replyBuffer, DWORD replySize,
                                DWORD timeout);
#endif
