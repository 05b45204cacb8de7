// The registry: three hives of keys holding named, typed values, shared by
// every process of the user. Key and value names compare without regard to
// case (ASCII); values and subkeys enumerate in the order they were created.
//
// On POSIX each hive is one human-readable text file in the registry root
// ($ORVANE_REGISTRY, else $XDG_CONFIG_HOME/orvane/registry, else
// ~/.config/orvane/registry). A change rewrites the whole file into a
// temporary one and renames it over the old under an exclusive file lock,
// so readers always see a complete file and writers never lose each
// other's changes. A file that is not a hive, or a damaged one, makes every
// call on that hive fail with ERROR_BADDB or ERROR_REGISTRY_CORRUPT (and one
// line on stderr naming the file); it is never overwritten.
#pragma once

#include "platform/errors.h"
#include "platform/export.h"
#include "platform/win32_types.h"

#include <string>

#if !defined(_WIN32)

struct HKEY__;
typedef HKEY__* HKEY;
typedef HKEY* PHKEY;
typedef DWORD REGSAM;
typedef DWORD* LPDWORD;
typedef BYTE* LPBYTE;
typedef const BYTE* LPCBYTE;

#  define HKEY_CLASSES_ROOT (reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000000u)))
#  define HKEY_CURRENT_USER (reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000001u)))
#  define HKEY_LOCAL_MACHINE (reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000002u)))

// Value types.
#  define REG_NONE 0u
#  define REG_SZ 1u
#  define REG_EXPAND_SZ 2u
#  define REG_BINARY 3u
#  define REG_DWORD 4u
#  define REG_MULTI_SZ 7u

// Access rights of an open key. A handle may only do what it was opened for.
#  define KEY_QUERY_VALUE 0x0001u
#  define KEY_SET_VALUE 0x0002u
#  define KEY_CREATE_SUB_KEY 0x0004u
#  define KEY_ENUMERATE_SUB_KEYS 0x0008u
#  define KEY_NOTIFY 0x0010u
#  define KEY_CREATE_LINK 0x0020u
#  define KEY_READ 0x20019u
#  define KEY_WRITE 0x20006u
#  define KEY_ALL_ACCESS 0xF003Fu

#  define REG_OPTION_NON_VOLATILE 0u
#  define REG_CREATED_NEW_KEY 1u
#  define REG_OPENED_EXISTING_KEY 2u

// The return codes registry callers test, besides those of errors.h.
#  ifndef ERROR_NO_MORE_ITEMS
#    define ERROR_NO_MORE_ITEMS 259
#  endif
#  ifndef ERROR_BADDB
#    define ERROR_BADDB 1009
#  endif
#  ifndef ERROR_CANTREAD
#    define ERROR_CANTREAD 1012
#  endif
#  ifndef ERROR_CANTWRITE
#    define ERROR_CANTWRITE 1013
#  endif
#  ifndef ERROR_REGISTRY_CORRUPT
#    define ERROR_REGISTRY_CORRUPT 1015
#  endif
#  ifndef ERROR_KEY_DELETED
#    define ERROR_KEY_DELETED 1018
#  endif

// Opens (creating when absent, with every missing key on the way) the key
// `subKey` below `key`. `disposition`, when given, tells which happened.
// Creating needs KEY_CREATE_SUB_KEY on `key`. Nothing is created on failure.
PLATFORM_API LONG RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR keyClass,
                                  DWORD options, REGSAM access, LPVOID security, PHKEY result,
                                  LPDWORD disposition);
// Opens an existing key; ERROR_FILE_NOT_FOUND when it does not exist.
// A null or empty `subKey` opens `key` itself again.
PLATFORM_API LONG RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM access,
                                PHKEY result);
PLATFORM_API LONG RegCloseKey(HKEY key);
// Deletes the key `subKey` below `key` with its values. A key that still has
// subkeys is refused with ERROR_ACCESS_DENIED, as is a read-only handle.
PLATFORM_API LONG RegDeleteKeyA(HKEY key, LPCSTR subKey);

// Stores a value (`name` null or empty: the key's default value). The data
// is kept byte for byte: a REG_SZ caller includes the terminating zero. An
// existing value keeps its place in the enumeration order.
PLATFORM_API LONG RegSetValueExA(HKEY key, LPCSTR name, DWORD reserved, DWORD type,
                                 const BYTE* data, DWORD bytes);
// Reads a value. With `data` null only the type and size are returned; a
// buffer too small gives ERROR_MORE_DATA and the size needed.
PLATFORM_API LONG RegQueryValueExA(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type,
                                   LPBYTE data, LPDWORD bytes);
PLATFORM_API LONG RegDeleteValueA(HKEY key, LPCSTR name);

// The value at `index` in creation order; ERROR_NO_MORE_ITEMS past the end.
// `nameChars` holds the name buffer's size in characters (with the zero) and
// receives the name's length without it; ERROR_MORE_DATA when the name or
// the data does not fit.
PLATFORM_API LONG RegEnumValueA(HKEY key, DWORD index, LPSTR name, LPDWORD nameChars,
                                LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD bytes);
// The subkey at `index` in creation order, sized as for RegEnumValueA. The
// class and last-write time are not kept: the class comes back empty and
// `lastWriteTime` is left alone.
PLATFORM_API LONG RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, LPDWORD nameChars,
                                LPDWORD reserved, LPSTR keyClass, LPDWORD classChars,
                                LPVOID lastWriteTime);
// Counts and the longest names and data of a key; every output may be null.
PLATFORM_API LONG RegQueryInfoKeyA(HKEY key, LPSTR keyClass, LPDWORD classChars,
                                   LPDWORD reserved, LPDWORD subKeys, LPDWORD longestSubKey,
                                   LPDWORD longestClass, LPDWORD values,
                                   LPDWORD longestValueName, LPDWORD longestValueData,
                                   LPDWORD securityDescriptorBytes, LPVOID lastWriteTime);

#  define RegCreateKeyEx RegCreateKeyExA
#  define RegOpenKeyEx RegOpenKeyExA
#  define RegDeleteKey RegDeleteKeyA
#  define RegSetValueEx RegSetValueExA
#  define RegQueryValueEx RegQueryValueExA
#  define RegDeleteValue RegDeleteValueA
#  define RegEnumValue RegEnumValueA
#  define RegEnumKeyEx RegEnumKeyExA
#  define RegQueryInfoKey RegQueryInfoKeyA
#endif

namespace platform {

// An open key that is closed when the object goes.
class RegistryKey {
 public:
  RegistryKey() = default;
  ~RegistryKey() { close(); }
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;

  HKEY get() const { return key_; }
  // For the calls that open a key: closes the one held and lends its slot.
  PHKEY receive() {
    close();
    return &key_;
  }
  void close() {
    if (key_) RegCloseKey(key_);
    key_ = nullptr;
  }

 private:
  HKEY key_ = nullptr;
};

// Holds a hive's file lock so that several calls of this thread act as one
// change: other threads and processes that change the hive wait until the
// guard ends (a reader never waits). Needed where a caller reads, decides
// and writes, such as numbering a new value after the existing ones.
class PLATFORM_API RegistryHiveLock {
 public:
  explicit RegistryHiveLock(HKEY hive);
  ~RegistryHiveLock();
  RegistryHiveLock(const RegistryHiveLock&) = delete;
  RegistryHiveLock& operator=(const RegistryHiveLock&) = delete;

  // False when the lock could not be taken (the calls still work, alone).
  bool held() const { return held_; }

 private:
  int hive_;
  bool held_;
};

// Makes many changes of this thread to a hive one change of the hive file:
// while the object lives, the registry calls of this thread on that hive
// work on a private copy of it (and read what they changed), under the
// hive's lock, which it holds from the start; commit() then writes the copy
// once, replacing the file atomically. Changes not committed, or whose
// commit fails, are dropped: the file stays as it was. Other threads and
// processes keep reading the file as it was until the commit. A change
// begun while another one of the same hive is open on this thread joins
// it: its commit does nothing, the outer one writes everything.
class PLATFORM_API RegistryHiveChange {
 public:
  explicit RegistryHiveChange(HKEY hive);
  ~RegistryHiveChange();
  RegistryHiveChange(const RegistryHiveChange&) = delete;
  RegistryHiveChange& operator=(const RegistryHiveChange&) = delete;

  // ERROR_SUCCESS when the copy could be taken; otherwise the registry's
  // code, and the calls then act on the hive one by one, as without it.
  LONG status() const { return status_; }
  // Writes what changed; ERROR_SUCCESS, or the code of the failed write.
  LONG commit();

 private:
  int hive_;
  LONG status_;
  bool committed_ = false;
};

// The folder the hive files live in, and the file of one hive (empty for a
// handle that is not a hive). For diagnostics and tests.
PLATFORM_API std::string registryRoot();
PLATFORM_API std::string registryHiveFile(HKEY hive);

// Test support: called once while a change is half written to its
// temporary file, before the file is complete and renamed (null: none).
using RegistryWriteInterruption = void (*)();
PLATFORM_API void setRegistryWriteInterruption(RegistryWriteInterruption hook);

}  // namespace platform
