// Adding, finding and removing descriptors.
#include "descriptor_table.h"

#include "agent_address.h"

namespace pollhost {
namespace {

constexpr smiINT32 kFirstWindow = 2000;
constexpr smiINT32 kWindowSize = 100;

}  // namespace

std::optional<std::string> canonicalAddress(const std::string& text) {
  std::string host;
  uint16_t port = 161;
  if (!consoleformat::parseAgentAddress(text, host, port)) return std::nullopt;
  return port == 161 ? host : host + ":" + std::to_string(port);
}

DescriptorTable::DescriptorTable(HSNMP_SESSION session, uint32_t pollingInterval)
    : session_(session), pollingInterval_(pollingInterval) {}

DescriptorTable::~DescriptorTable() { removeAll(); }

int DescriptorTable::add(const std::string& address) {
  std::string host;
  uint16_t port = 161;
  if (!consoleformat::parseAgentAddress(address, host, port)) return kBadAddress;
  for (int index = 0; index < kDescriptorCount; ++index) {
    Descriptor& slot = slots_[static_cast<size_t>(index)];
    if (slot.inUse) continue;
    slot = Descriptor{};
    slot.inUse = true;
    slot.minRequestId = kFirstWindow + kWindowSize * index;
    slot.maxRequestId = slot.minRequestId + kWindowSize - 1;
    slot.nextRequestId = slot.minRequestId;
    slot.address = *canonicalAddress(address);
    slot.host = host;
    slot.port = port;
    slot.community = kDefaultCommunity;
    slot.pollingInterval = pollingInterval_;
    if (session_) {
      slot.entity = SnmpStrToEntity(session_, host.c_str());
      smiOCTETS community{static_cast<smiUINT32>(slot.community.size()),
                          reinterpret_cast<smiLPBYTE>(slot.community.data())};
      slot.context = SnmpStrToContext(session_, &community);
    }
    if (slot.entity) {
      SnmpSetPort(slot.entity, port);
      SnmpSetRetry(slot.entity, slot.retries);
      SnmpSetTimeout(slot.entity, slot.timeout);
    }
    SnmpSetRetransmitMode(slot.retransmit ? SNMPAPI_ON : SNMPAPI_OFF);
    return index;
  }
  return kTableFull;
}

void DescriptorTable::release(Descriptor& descriptor) {
  if (descriptor.entity) SnmpFreeEntity(descriptor.entity);
  if (descriptor.context) SnmpFreeContext(descriptor.context);
  descriptor = Descriptor{};
}

bool DescriptorTable::remove(int index) {
  Descriptor* descriptor = inUse(index);
  if (!descriptor) return false;
  release(*descriptor);
  return true;
}

void DescriptorTable::removeAll() {
  for (Descriptor& slot : slots_) {
    if (slot.inUse) release(slot);
  }
}

int DescriptorTable::find(const std::string& address) const {
  std::optional<std::string> wanted = canonicalAddress(address);
  if (!wanted) return kNoDescriptor;
  for (int index = 0; index < kDescriptorCount; ++index) {
    const Descriptor& slot = slots_[static_cast<size_t>(index)];
    if (slot.inUse && slot.address == *wanted) return index;
  }
  return kNoDescriptor;
}

Descriptor* DescriptorTable::inUse(int index) {
  if (index < 0 || index >= kDescriptorCount) return nullptr;
  Descriptor& slot = slots_[static_cast<size_t>(index)];
  return slot.inUse ? &slot : nullptr;
}

const Descriptor* DescriptorTable::inUse(int index) const {
  return const_cast<DescriptorTable*>(this)->inUse(index);
}

Descriptor* DescriptorTable::ownerOf(smiINT32 requestId) {
  for (Descriptor& slot : slots_) {
    if (slot.inUse && requestId >= slot.minRequestId && requestId <= slot.maxRequestId) return &slot;
  }
  return nullptr;
}

std::string DescriptorTable::addressText(int index) const {
  const Descriptor* descriptor = inUse(index);
  return descriptor ? descriptor->address : "Unknown";
}

}  // namespace pollhost
