#!/usr/bin/env python3
"""A responder that sends crafted datagrams before the real answer.

It passes each request it receives to a real agent and sends the client,
in this order, the decoys asked for and then the agent's answer (unless
--no-answer). The decoys are made from the agent's answer:

  wrong-id      the answer with another request id
  not-response  the answer as a GetRequest PDU
  other-port    the answer itself, sent from another UDP port
  garbage       octets that are no SNMP message at all
  truncated     the answer without its last octets
  v2c           the answer with the SNMPv2c version number

With --end-of-mib-view, an answer in which the agent says noSuchName is
replaced by the request's binding with the value endOfMibView, as an SNMPv2
agent ends its MIB.

It prints "crafted responder: ready on 127.0.0.1:PORT" when it listens and
runs until it is stopped.
"""
import argparse
import socket

DECOYS = ("wrong-id", "not-response", "other-port", "garbage", "truncated", "v2c")


def read_length(octets, at):
    """The BER length at `at`: (length, offset of the contents)."""
    first = octets[at]
    if first < 0x80:
        return first, at + 1
    count = first & 0x7F
    return int.from_bytes(octets[at + 1:at + 1 + count], "big"), at + 1 + count


def fields(answer):
    """Offsets of the version octet, the PDU tag, the request id's contents and its length."""
    _, at = read_length(answer, 1)             # message SEQUENCE
    version = at + 2                           # 02 01 vv
    length, at = read_length(answer, at + 4)   # community OCTET STRING
    pdu = at + length
    _, at = read_length(answer, pdu + 1)       # PDU
    id_length, id_at = read_length(answer, at + 1)  # request-id INTEGER
    return version, pdu, id_at, id_length


def error_status(answer):
    _, _, id_at, id_length = fields(answer)
    return answer[id_at + id_length + 2]


def end_of_mib_view(request):
    """The request as a response whose only binding's NULL value is endOfMibView."""
    _, pdu, _, _ = fields(request)
    crafted = bytearray(request)
    crafted[pdu] = 0xA2
    crafted[-2:] = b"\x82\x00"
    return bytes(crafted)


def decoy(kind, answer):
    version, pdu, id_at, id_length = fields(answer)
    crafted = bytearray(answer)
    if kind == "wrong-id":
        crafted[id_at + id_length - 1] ^= 0x40  # same length, another number
    elif kind == "not-response":
        crafted[pdu] = 0xA0
    elif kind == "garbage":
        return b"\x00\x01 these octets are not an SNMP message"
    elif kind == "truncated":
        return bytes(answer[:-3])
    elif kind == "v2c":
        crafted[version] = 1
    return bytes(crafted)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--agent-port", type=int, required=True, help="the real agent on 127.0.0.1")
    parser.add_argument("--decoys", default="", help="comma-separated decoys, sent in this order")
    parser.add_argument("--no-answer", action="store_true", help="send the decoys only")
    parser.add_argument("--end-of-mib-view", action="store_true", help="end the MIB with endOfMibView")
    options = parser.parse_args()
    kinds = [kind for kind in options.decoys.split(",") if kind]
    for kind in kinds:
        if kind not in DECOYS:
            parser.error("unknown decoy " + kind)

    listener = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    listener.bind(("127.0.0.1", 0))
    other = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    other.bind(("127.0.0.1", 0))
    upstream = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    upstream.settimeout(5)
    print("crafted responder: ready on 127.0.0.1:%d" % listener.getsockname()[1], flush=True)

    while True:
        request, client = listener.recvfrom(65535)
        upstream.sendto(request, ("127.0.0.1", options.agent_port))
        try:
            answer = upstream.recv(65535)
        except socket.timeout:
            continue
        if options.end_of_mib_view and error_status(answer) == 2:
            answer = end_of_mib_view(request)
        for kind in kinds:
            (other if kind == "other-port" else listener).sendto(decoy(kind, answer), client)
        if not options.no_answer:
            listener.sendto(answer, client)


if __name__ == "__main__":
    main()
