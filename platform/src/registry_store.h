// The hive files: reading the current contents of a hive (cached while the
// file stays the same) and changing it under the hive's exclusive lock by
// writing a new file and renaming it over the old one.
#pragma once

#include "registry_hive.h"

#include "platform/win32_types.h"

#include <functional>
#include <memory>
#include <string>

namespace platform::registry {

constexpr int kHiveCount = 3;

// 0..2 for the three hive handles, -1 for anything else.
int hiveIndex(const void* handle);
std::string hiveFilePath(int hive);
std::string rootFolder();

using Snapshot = std::shared_ptr<const Key>;

// The hive as it is now (an empty hive when its file does not exist yet).
// Fails with ERROR_BADDB, ERROR_REGISTRY_CORRUPT, ERROR_CANTREAD or
// ERROR_ACCESS_DENIED.
[[nodiscard]] LONG readHive(int hive, Snapshot& snapshot);

// Runs `change` on a private copy of the hive while holding its lock, and
// writes the copy when `change` succeeds and says it changed something.
// Nothing is written when the hive cannot be read.
using Change = std::function<LONG(Key& root, bool& changed)>;
[[nodiscard]] LONG changeHive(int hive, const Change& change);

// The calling thread's hold on a hive's lock, counted so that guards nest.
bool holdHiveLock(int hive);
void releaseHiveLock(int hive);

// The calling thread's private copy of a hive that changes collect in
// until they are written at once (see RegistryHiveChange), counted so that
// changes nest.
[[nodiscard]] LONG beginCollectedChange(int hive);
[[nodiscard]] LONG writeCollectedChange(int hive);
void endCollectedChange(int hive);

}  // namespace platform::registry
