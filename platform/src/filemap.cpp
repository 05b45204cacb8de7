// File mapping on POSIX: mmap of the whole file, shared and read-only. The
// descriptor is closed once the mapping exists; the mapping keeps the file.
#include "platform/filemap.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace platform {

MappedFile::MappedFile(MappedFile&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)) {}

MappedFile& MappedFile::operator=(MappedFile&& other) noexcept {
  if (this != &other) {
    close();
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
  }
  return *this;
}

MappedFile::Status MappedFile::open(const char* path) {
  close();
  struct stat named {};
  if (::stat(path, &named) != 0) return errno == ENOENT || errno == ENOTDIR ? Status::notFound : Status::cannotOpen;
  if (!S_ISREG(named.st_mode)) return Status::cannotOpen;
  // Without blocking: what is there may have been replaced by a FIFO since.
  int descriptor = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (descriptor < 0) return errno == ENOENT || errno == ENOTDIR ? Status::notFound : Status::cannotOpen;
  struct stat facts {};
  Status status = Status::mapped;
  if (::fstat(descriptor, &facts) != 0 || !S_ISREG(facts.st_mode)) {
    status = Status::cannotOpen;
  } else if (facts.st_size > 0) {
    void* mapping = ::mmap(nullptr, static_cast<size_t>(facts.st_size), PROT_READ, MAP_SHARED,
                           descriptor, 0);
    if (mapping == MAP_FAILED) {
      status = Status::cannotMap;
    } else {
      data_ = static_cast<const unsigned char*>(mapping);
      size_ = static_cast<uint64_t>(facts.st_size);
    }
  }
  ::close(descriptor);
  return status;
}

void MappedFile::close() {
  if (data_) ::munmap(const_cast<unsigned char*>(data_), static_cast<size_t>(size_));
  data_ = nullptr;
  size_ = 0;
}

}  // namespace platform
