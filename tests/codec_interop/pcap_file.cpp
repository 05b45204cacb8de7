#include "pcap_file.h"

#include <cstdio>

namespace {

constexpr uint32_t kLinkTypeRaw = 101;

void putLittle32(std::vector<uint8_t>& out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}
void putLittle16(std::vector<uint8_t>& out, uint16_t value) {
  out.push_back(static_cast<uint8_t>(value));
  out.push_back(static_cast<uint8_t>(value >> 8));
}
void putBig16(std::vector<uint8_t>& out, uint16_t value) {
  out.push_back(static_cast<uint8_t>(value >> 8));
  out.push_back(static_cast<uint8_t>(value));
}

uint16_t ipChecksum(const uint8_t* header, size_t length) {
  uint32_t sum = 0;
  for (size_t i = 0; i + 1 < length; i += 2) sum += uint32_t{header[i]} << 8 | header[i + 1];
  while (sum >> 16) sum = (sum & 0xFFFF) + (sum >> 16);
  return static_cast<uint16_t>(~sum);
}

// IPv4 and UDP headers (UDP checksum 0: none) followed by the payload.
std::vector<uint8_t> packetOf(const CapturedDatagram& datagram) {
  std::vector<uint8_t> packet;
  auto total = static_cast<uint16_t>(20 + 8 + datagram.payload.size());
  packet.insert(packet.end(), {0x45, 0x00});
  putBig16(packet, total);
  packet.insert(packet.end(), {0x00, 0x01, 0x40, 0x00, 64, 17, 0x00, 0x00, 127, 0, 0, 1, 127, 0, 0, 1});
  uint16_t checksum = ipChecksum(packet.data(), 20);
  packet[10] = static_cast<uint8_t>(checksum >> 8);
  packet[11] = static_cast<uint8_t>(checksum);
  putBig16(packet, datagram.sourcePort);
  putBig16(packet, datagram.destinationPort);
  putBig16(packet, static_cast<uint16_t>(8 + datagram.payload.size()));
  putBig16(packet, 0);
  packet.insert(packet.end(), datagram.payload.begin(), datagram.payload.end());
  return packet;
}

}  // namespace

bool writePcap(const std::string& path, const std::vector<CapturedDatagram>& datagrams) {
  std::vector<uint8_t> file;
  putLittle32(file, 0xA1B2C3D4);
  putLittle16(file, 2);
  putLittle16(file, 4);
  putLittle32(file, 0);
  putLittle32(file, 0);
  putLittle32(file, 65535);
  putLittle32(file, kLinkTypeRaw);
  uint32_t second = 1;
  for (const CapturedDatagram& datagram : datagrams) {
    std::vector<uint8_t> packet = packetOf(datagram);
    putLittle32(file, second++);
    putLittle32(file, 0);
    putLittle32(file, static_cast<uint32_t>(packet.size()));
    putLittle32(file, static_cast<uint32_t>(packet.size()));
    file.insert(file.end(), packet.begin(), packet.end());
  }
  FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) return false;
  bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
  return std::fclose(out) == 0 && written;
}
