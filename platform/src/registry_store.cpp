// Hive files on POSIX. Readers open the file and take whatever complete
// version the last rename left there, so they need no lock. Writers take
// an exclusive flock on a separate lock file (the hive file itself is
// replaced on every change, so it cannot carry the lock), read, change,
// write a temporary file, flush it and rename it over the hive.
#include "registry_store.h"

#include "registry_text.h"

#include "platform/atomic_file.h"
#include "platform/registry.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>

namespace platform::registry {
namespace {

constexpr std::array<const char*, kHiveCount> kHiveNames = {
    "HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE"};

std::atomic<RegistryWriteInterruption> writeInterruption{nullptr};

// What was last read from each hive file, so that an unchanged file is not
// parsed again.
struct CachedHive {
  std::mutex lock;
  std::string path;
  bool exists = false;
  std::string text;
  Snapshot snapshot;
  std::string lastReport;
};
std::array<CachedHive, kHiveCount> cache;

// The lock file descriptor this thread holds per hive, and how often.
thread_local std::array<int, kHiveCount> heldLockFile = {-1, -1, -1};
thread_local std::array<int, kHiveCount> heldLockDepth = {0, 0, 0};

// This thread's collected change of each hive: the copy the calls work on,
// whether they changed it, and how many changes are open.
struct CollectedChange {
  std::shared_ptr<Key> copy;
  bool changed = false;
  int depth = 0;
};
thread_local std::array<CollectedChange, kHiveCount> collected;

LONG errorOfWrite(int error) {
  return error == EACCES || error == EPERM || error == EROFS ? ERROR_ACCESS_DENIED : ERROR_CANTWRITE;
}

std::string homeFolder() {
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir) return entry->pw_dir;
  return ".";
}

// Creates the folder and its parents, owner-only.
bool makeFolders(const std::string& path) {
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) return true;
  std::filesystem::path partial;
  for (const auto& part : std::filesystem::path(path)) {
    partial /= part;
    if (::mkdir(partial.c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  return std::filesystem::is_directory(path, error);
}

// The whole file; false with errno set when it cannot be read.
bool readWholeFile(int descriptor, std::string& text) {
  char buffer[16384];
  for (;;) {
    ssize_t got = ::read(descriptor, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return false;
    if (got == 0) return true;
    text.append(buffer, static_cast<size_t>(got));
  }
}

void reportOnce(CachedHive& hive, const std::string& path, const ParseResult& result) {
  std::string report = path + " line " + std::to_string(result.line) + ": " + result.problem;
  if (report == hive.lastReport) return;
  hive.lastReport = report;
  std::fprintf(stderr, "registry: %s; the file is left as it is\n", report.c_str());
}

// Parses `text` into the cache of `hive`; called with the cache locked.
LONG parseIntoCache(CachedHive& hive, const std::string& path, std::string&& text) {
  auto root = std::make_shared<Key>();
  ParseResult result = parseHive(text, *root);
  if (result.status != ParseResult::Status::ok) {
    reportOnce(hive, path, result);
    return result.status == ParseResult::Status::foreign ? ERROR_BADDB : ERROR_REGISTRY_CORRUPT;
  }
  hive.path = path;
  hive.exists = true;
  hive.text = std::move(text);
  hive.snapshot = std::move(root);
  return ERROR_SUCCESS;
}

// Removes temporary files left by a writer that died before its rename.
// Only called while holding the hive's lock, when no live writer has one.
void removeStaleTemporaries(const std::string& path) {
  std::filesystem::path file(path);
  std::string prefix = file.filename().string() + ".tmp-";
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(file.parent_path(), error)) {
    if (entry.path().filename().string().rfind(prefix, 0) == 0) {
      std::filesystem::remove(entry.path(), error);
    }
  }
}

// Writes the new hive file; the old one stays when that fails.
LONG replaceFile(const std::string& path, const std::string& text) {
  int error = 0;
  if (replaceFileAtomically(path, text, error, writeInterruption.load())) return ERROR_SUCCESS;
  return errorOfWrite(error);
}

// Opens the hive's lock file and waits for its exclusive lock; -1 on failure.
int takeLockFile(int hive) {
  std::string root = rootFolder();
  if (!makeFolders(root)) return -1;
  std::string lockPath = root + "/" + kHiveNames[static_cast<size_t>(hive)] + ".lock";
  int descriptor = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (descriptor < 0) return -1;
  int outcome;
  do {
    outcome = ::flock(descriptor, LOCK_EX);
  } while (outcome != 0 && errno == EINTR);
  if (outcome != 0) {
    ::close(descriptor);
    return -1;
  }
  return descriptor;
}

// The hive's lock for one change: this thread's held lock when it has one.
class ChangeLock {
 public:
  explicit ChangeLock(int hive) : hive_(hive), held_(holdHiveLock(hive)) {}
  ~ChangeLock() {
    if (held_) releaseHiveLock(hive_);
  }
  ChangeLock(const ChangeLock&) = delete;
  ChangeLock& operator=(const ChangeLock&) = delete;
  bool held() const { return held_; }

 private:
  int hive_;
  bool held_;
};

}  // namespace

int hiveIndex(const void* handle) {
  auto value = reinterpret_cast<uintptr_t>(handle);
  return value >= 0x80000000u && value <= 0x80000002u ? static_cast<int>(value - 0x80000000u) : -1;
}

std::string rootFolder() {
  if (const char* root = std::getenv("ORVANE_REGISTRY"); root && *root) return root;
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config) {
    return std::string(config) + "/orvane/registry";
  }
  return homeFolder() + "/.config/orvane/registry";
}

std::string hiveFilePath(int hive) {
  return rootFolder() + "/" + kHiveNames[static_cast<size_t>(hive)] + ".txt";
}

LONG readHive(int hive, Snapshot& snapshot) {
  if (const auto& copy = collected[static_cast<size_t>(hive)].copy) {
    snapshot = copy;
    return ERROR_SUCCESS;
  }
  std::string path = hiveFilePath(hive);
  std::string text;
  int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  bool exists = descriptor >= 0;
  if (!exists && errno != ENOENT && errno != ENOTDIR) {
    return errno == EACCES ? ERROR_ACCESS_DENIED : ERROR_CANTREAD;
  }
  if (exists) {
    bool read = readWholeFile(descriptor, text);
    ::close(descriptor);
    if (!read) return ERROR_CANTREAD;
  }
  CachedHive& cached = cache[static_cast<size_t>(hive)];
  std::lock_guard guard(cached.lock);
  if (!cached.snapshot || cached.path != path || cached.exists != exists || cached.text != text) {
    if (exists) {
      if (LONG error = parseIntoCache(cached, path, std::move(text)); error != ERROR_SUCCESS) return error;
    } else {
      cached.path = path;
      cached.exists = false;
      cached.text.clear();
      cached.snapshot = std::make_shared<Key>();
    }
  }
  snapshot = cached.snapshot;
  return ERROR_SUCCESS;
}

namespace {

// Writes `copy` as the hive's file and keeps it as what was last read.
// Called with the hive's lock held.
LONG writeHive(int hive, std::shared_ptr<Key> copy) {
  std::string path = hiveFilePath(hive);
  std::string text = formatHive(*copy);
  if (LONG error = replaceFile(path, text); error != ERROR_SUCCESS) return error;
  CachedHive& cached = cache[static_cast<size_t>(hive)];
  std::lock_guard guard(cached.lock);
  cached.path = path;
  cached.exists = true;
  cached.text = std::move(text);
  cached.snapshot = std::move(copy);
  return ERROR_SUCCESS;
}

// A fresh copy of the hive as its file holds it, for changing. Called with
// the hive's lock held.
LONG copyHive(int hive, std::shared_ptr<Key>& copy) {
  removeStaleTemporaries(hiveFilePath(hive));
  Snapshot current;
  if (LONG error = readHive(hive, current); error != ERROR_SUCCESS) return error;
  copy = current->clone();
  return ERROR_SUCCESS;
}

}  // namespace

LONG changeHive(int hive, const Change& change) {
  CollectedChange& open = collected[static_cast<size_t>(hive)];
  if (open.copy) {
    // Each change leaves the copy alone unless it succeeds.
    bool changed = false;
    LONG outcome = change(*open.copy, changed);
    open.changed |= changed;
    return outcome;
  }
  ChangeLock lock(hive);
  if (!lock.held()) return errorOfWrite(errno);
  std::shared_ptr<Key> copy;
  if (LONG error = copyHive(hive, copy); error != ERROR_SUCCESS) return error;
  bool changed = false;
  if (LONG outcome = change(*copy, changed); outcome != ERROR_SUCCESS || !changed) return outcome;
  return writeHive(hive, std::move(copy));
}

LONG beginCollectedChange(int hive) {
  CollectedChange& open = collected[static_cast<size_t>(hive)];
  if (open.depth > 0) {
    ++open.depth;
    return ERROR_SUCCESS;
  }
  if (!holdHiveLock(hive)) return errorOfWrite(errno);
  if (LONG error = copyHive(hive, open.copy); error != ERROR_SUCCESS) {
    releaseHiveLock(hive);
    return error;
  }
  open.changed = false;
  open.depth = 1;
  return ERROR_SUCCESS;
}

LONG writeCollectedChange(int hive) {
  CollectedChange& open = collected[static_cast<size_t>(hive)];
  if (open.depth != 1 || !open.changed) return ERROR_SUCCESS;
  std::shared_ptr<Key> copy = open.copy;
  // The file now holds a copy the calls must not change further.
  open.copy = copy->clone();
  open.changed = false;
  return writeHive(hive, std::move(copy));
}

void endCollectedChange(int hive) {
  CollectedChange& open = collected[static_cast<size_t>(hive)];
  if (open.depth == 0 || --open.depth > 0) return;
  open.copy.reset();
  open.changed = false;
  releaseHiveLock(hive);
}

bool holdHiveLock(int hive) {
  auto index = static_cast<size_t>(hive);
  if (heldLockDepth[index] == 0) {
    heldLockFile[index] = takeLockFile(hive);
    if (heldLockFile[index] < 0) return false;
  }
  ++heldLockDepth[index];
  return true;
}

void releaseHiveLock(int hive) {
  auto index = static_cast<size_t>(hive);
  if (heldLockDepth[index] == 0 || --heldLockDepth[index] > 0) return;
  ::close(heldLockFile[index]);  // closing the only descriptor drops the flock
  heldLockFile[index] = -1;
}

}  // namespace platform::registry

namespace platform {

RegistryHiveLock::RegistryHiveLock(HKEY hive) : hive_(registry::hiveIndex(hive)), held_(false) {
  if (hive_ >= 0) held_ = registry::holdHiveLock(hive_);
}

RegistryHiveLock::~RegistryHiveLock() {
  if (held_) registry::releaseHiveLock(hive_);
}

RegistryHiveChange::RegistryHiveChange(HKEY hive) : hive_(registry::hiveIndex(hive)), status_(ERROR_INVALID_HANDLE) {
  if (hive_ >= 0) status_ = registry::beginCollectedChange(hive_);
}

RegistryHiveChange::~RegistryHiveChange() {
  if (status_ == ERROR_SUCCESS) registry::endCollectedChange(hive_);
}

LONG RegistryHiveChange::commit() {
  if (status_ != ERROR_SUCCESS) return status_;
  if (committed_) return ERROR_SUCCESS;
  committed_ = true;
  return registry::writeCollectedChange(hive_);
}

std::string registryRoot() { return registry::rootFolder(); }

std::string registryHiveFile(HKEY hive) {
  int index = registry::hiveIndex(hive);
  return index < 0 ? std::string() : registry::hiveFilePath(index);
}

void setRegistryWriteInterruption(RegistryWriteInterruption hook) {
  registry::writeInterruption.store(hook);
}

}  // namespace platform
