// Atomic file replacement on POSIX: write, fsync, rename, fsync the folder.
#include "platform/atomic_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <filesystem>

namespace platform {
namespace {

std::atomic<unsigned> temporaryCounter{0};

bool writeAll(int descriptor, const char* data, size_t size) {
  while (size > 0) {
    ssize_t put = ::write(descriptor, data, size);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    data += put;
    size -= static_cast<size_t>(put);
  }
  return true;
}

// Makes a rename in `folder` durable.
void flushFolder(const std::string& path) {
  std::string folder = std::filesystem::path(path).parent_path().string();
  int descriptor = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor >= 0) {
    ::fsync(descriptor);
    ::close(descriptor);
  }
}

}  // namespace

bool replaceFileAtomically(const std::string& path, std::string_view contents, int& error,
                           void (*halfway)()) {
  std::string temporary = path + ".tmp-" + std::to_string(::getpid()) + "-" +
                          std::to_string(temporaryCounter.fetch_add(1));
  int descriptor = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (descriptor < 0) {
    error = errno;
    return false;
  }
  size_t half = contents.size() / 2;
  bool written = writeAll(descriptor, contents.data(), half);
  if (written && halfway) halfway();
  written = written && writeAll(descriptor, contents.data() + half, contents.size() - half) &&
            ::fsync(descriptor) == 0;
  error = errno;
  ::close(descriptor);
  if (written && ::rename(temporary.c_str(), path.c_str()) == 0) {
    flushFolder(path);
    error = 0;
    return true;
  }
  if (written) error = errno;
  ::unlink(temporary.c_str());
  return false;
}

}  // namespace platform
