// The agent's data: object instances in OID order, each with a value and
// whether a read-write community may change it.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace simagent {

using Oid = std::vector<uint32_t>;

// A value as it travels in a varbind. Numbers of every numeric syntax
// (signed, unsigned 32-bit and Counter64) live in `number`.
struct Value {
  uint8_t syntax = 0x05;  // the BER tag: NULL unless set
  int64_t number = 0;
  uint64_t counter64 = 0;
  std::string octets;
  Oid oid;

  bool operator==(const Value&) const = default;
};

struct VarBind {
  Oid name;
  Value value;
};

std::string oidToText(const Oid& oid);
// Dotted decimal with or without a leading dot; nullopt when malformed.
std::optional<Oid> oidFromText(const std::string& text);

class MibView {
 public:
  void put(const Oid& name, const Value& value, bool writable);
  // The instance itself, if present.
  const Value* get(const Oid& name) const;
  // The first instance after `name` in OID order, if any.
  const VarBind* next(const Oid& name) const;
  enum class SetOutcome { changed, noSuchName, notWritable, wrongType };
  // What set() would do, without doing it.
  SetOutcome check(const Oid& name, const Value& value) const;
  SetOutcome set(const Oid& name, const Value& value);
  size_t size() const { return entries_.size(); }

 private:
  struct Entry {
    VarBind binding;
    bool writable;
  };
  std::map<Oid, Entry> entries_;
};

}  // namespace simagent
