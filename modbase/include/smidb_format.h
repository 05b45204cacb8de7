// SMIDB: the compiled form of one MIB module, written by the compiler and
// read by modbase, and the module registry that announces such files.
//
// A file is a chain of records starting at offset 0. Every record begins
// with a 16-byte header whose `next` field holds the absolute offset of the
// following record (0 in the last one). Numbers are unsigned 32-bit
// little-endian unless said otherwise; records are not aligned (one can
// start at any byte), so fields are read with load32/load64 below. Strings
// are single-byte text ending in one zero byte, and every length field of
// a string counts that zero. Offsets inside a record body count from the
// first byte of the record's header. OIDs are arrays of 32-bit
// sub-identifiers with a separate count.
//
// Record order as the compiler writes it: one module header, the name
// records in index order, the node and object-type records (first the
// ancestors of the module's first node from the root down, then the
// module's own nodes), one end record.
#ifndef MODBASE_SMIDB_FORMAT_H
#define MODBASE_SMIDB_FORMAT_H

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace smidb {

inline constexpr uint32_t kMagic = 0x20566F20;  // the bytes ' ', 'o', 'V', ' '
inline constexpr uint8_t kRecordVersion = 1;
inline constexpr uint32_t kDatabaseFormatVersion = 2;
inline constexpr uint32_t kNoNameIndex = 0xFFFFFFFFu;
// Files of this size or smaller cannot hold a module and are refused.
inline constexpr uint64_t kSmallestFile = 10;

enum RecordKind : uint8_t {
  kModuleHeaderRecord = 1,
  kEndRecord = 2,
  kNodeRecord = 3,
  kObjectTypeRecord = 4,
  kNameRecord = 5,
};

// Field offsets of each record kind, from the start of the record.
namespace record_header {
inline constexpr size_t kMagicField = 0;
inline constexpr size_t kKind = 4;     // one byte
inline constexpr size_t kVersion = 5;  // one byte, kRecordVersion
inline constexpr size_t kReserved = 6;  // two bytes, 0
inline constexpr size_t kNext = 8;     // 64-bit
inline constexpr size_t kSize = 16;
}  // namespace record_header

namespace module_header {
inline constexpr size_t kFormatVersion = 16;  // kDatabaseFormatVersion
inline constexpr size_t kReserved = 20;
inline constexpr size_t kDescriptionOffset = 24;
inline constexpr size_t kDescriptionLength = 28;
inline constexpr size_t kNameOffset = 32;
inline constexpr size_t kNameLength = 36;
inline constexpr size_t kFixedSize = 40;  // then the description, then the module name
}  // namespace module_header

namespace name_record {
inline constexpr size_t kIndex = 16;  // written in order; readers ignore it
inline constexpr size_t kNameOffset = 20;
inline constexpr size_t kNameLength = 24;
inline constexpr size_t kReserved = 28;
inline constexpr size_t kFixedSize = 32;
}  // namespace name_record

// The fields node and object-type records share.
namespace definition_record {
inline constexpr size_t kNameOffset = 16;
inline constexpr size_t kNameLength = 20;
inline constexpr size_t kOidOffset = 24;
inline constexpr size_t kOidBytes = 28;  // 4 x count
inline constexpr size_t kOidCount = 32;
inline constexpr size_t kDescriptionOffset = 36;  // 0 when there is none
inline constexpr size_t kDescriptionLength = 40;  // 0 when there is none
}  // namespace definition_record

// Every node that is not an OBJECT-TYPE.
namespace node_record {
inline constexpr size_t kModuleIndex = 44;  // name-table index of the defining module
inline constexpr size_t kFixedSize = 48;    // then name, OID array, description
}  // namespace node_record

namespace object_type_record {
inline constexpr size_t kSyntax = 44;
inline constexpr size_t kAccess = 52;
inline constexpr size_t kStatus = 60;
inline constexpr size_t kModuleIndex = 68;
// Name-table indexes of two syntax names (kNoNameIndex when absent): the
// base syntax name and the composed syntax name that modbase reports.
inline constexpr size_t kBaseSyntaxNameIndex = 72;
inline constexpr size_t kComposedSyntaxNameIndex = 76;
inline constexpr size_t kFixedSize = 80;  // then name, OID array, description
}  // namespace object_type_record

// Access and status codes of object-type records; 0 when missing or unknown.
enum AccessCode : uint32_t {
  kReadOnly = 1,
  kReadWrite = 2,
  kWriteOnly = 3,
  kNotAccessible = 4,
  kReadCreate = 5,
};
enum StatusCode : uint32_t {
  kMandatory = 1,
  kOptional = 2,
  kObsolete = 3,
  kDeprecated = 4,
  kCurrent = 5,
};

struct KeywordCode {
  std::string_view keyword;
  uint32_t code;
};

inline constexpr KeywordCode kAccessKeywords[] = {
    {"read-only", kReadOnly},           {"read-write", kReadWrite}, {"write-only", kWriteOnly},
    {"not-accessible", kNotAccessible}, {"read-create", kReadCreate},
};
inline constexpr KeywordCode kStatusKeywords[] = {
    {"mandatory", kMandatory},   {"optional", kOptional}, {"obsolete", kObsolete},
    {"deprecated", kDeprecated}, {"current", kCurrent},
};

// The syntax code is the BER tag of the base type (the SNMP_SYNTAX_ values).
// These are the codes of the syntax keywords; a plain identifier that does
// not resolve to a base type has code 0, any other keyword code 5.
inline constexpr uint32_t kSyntaxOfUnresolvedIdentifier = 0;
inline constexpr uint32_t kSyntaxOfOtherKeyword = 5;
inline constexpr KeywordCode kSyntaxKeywords[] = {
    {"INTEGER", 2},        {"UIntefer32", 2},      {"BIT", 3},        {"OCTET", 4},
    {"DisplayString", 4},  {"OBJECT", 6},          {"SEQUENCE", 48},  {"IpAddress", 64},
    {"NetworkAddress", 64}, {"Counter", 65},       {"Gauge", 66},     {"TimeTicks", 67},
    {"Opaque", 68},        {"NsapAddress", 69},    {"Counter64", 70}, {"Intefer32", 71},
};

// The code of `keyword` in `table`, or `otherwise`.
template <size_t N>
constexpr uint32_t codeOf(const KeywordCode (&table)[N], std::string_view keyword,
                          uint32_t otherwise = 0) {
  for (const KeywordCode& entry : table) {
    if (entry.keyword == keyword) return entry.code;
  }
  return otherwise;
}

// Little-endian fields at any alignment.
inline uint32_t load32(const unsigned char* at) {
  return uint32_t(at[0]) | uint32_t(at[1]) << 8 | uint32_t(at[2]) << 16 | uint32_t(at[3]) << 24;
}
inline uint64_t load64(const unsigned char* at) { return load32(at) | uint64_t(load32(at + 4)) << 32; }
inline void store32(unsigned char* at, uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<unsigned char>(value >> (8 * i));
}
inline void store64(unsigned char* at, uint64_t value) {
  store32(at, static_cast<uint32_t>(value));
  store32(at + 4, static_cast<uint32_t>(value >> 32));
}

// The module header's description: "%s Module '%s'. Version %d. Created %s."
// with this banner, the module name, kDatabaseFormatVersion and the local
// creation time as asctime renders it (ending in a line feed).
inline constexpr char kDescriptionBanner[] =
    "SMI module database created with Orvane MIB Compiler Verison Preview Release 2.";
inline constexpr char kFileExtension[] = ".smidb";

// The module registry, under HKEY_LOCAL_MACHINE.
//
//   SOFTWARE\Orvane\SMI Modules\Modules          the Modules key
//     "1", "2", ...  REG_SZ  "SOFTWARE\Orvane\SMI Modules\Modules\<module>"
//     <module>\                                  one subkey per module
//       "Module Identity"  REG_SZ  the module name (the key modbase loads by)
//       "Root OID"         REG_SZ  dotted OID of the module's first node
//       "Database Path"    REG_SZ  full path of the SMIDB file
//       "Source Path"      REG_SZ  full path of the MIB source
//
// Registration values are numbered densely from 1 in registration order;
// each subkey value is written only when its text is non-empty.
inline constexpr char kMakerKey[] = "SOFTWARE\\Orvane";
inline constexpr char kModulesKey[] = "SOFTWARE\\Orvane\\SMI Modules\\Modules";
inline constexpr char kModuleIdentityValue[] = "Module Identity";
inline constexpr char kRootOidValue[] = "Root OID";
inline constexpr char kDatabasePathValue[] = "Database Path";
inline constexpr char kSourcePathValue[] = "Source Path";

}  // namespace smidb

#endif
