// Read-only mapping of a whole file. Every process that maps the same file
// shares its pages, so a module database loaded by several programs is in
// memory once.
#pragma once

#include "platform/export.h"

#include <cstddef>
#include <cstdint>

namespace platform {

class PLATFORM_API MappedFile {
 public:
  enum class Status { mapped, notFound, cannotOpen, cannotMap };

  MappedFile() = default;
  ~MappedFile() { close(); }
  MappedFile(MappedFile&& other) noexcept;
  MappedFile& operator=(MappedFile&& other) noexcept;
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  // Maps the whole of `path`, replacing what was mapped before. An empty
  // file maps with size 0 and no data. Anything but a regular file is
  // refused (cannotOpen) without being opened, so a FIFO never blocks. On
  // failure nothing stays mapped.
  [[nodiscard]] Status open(const char* path);
  void close();

  const unsigned char* data() const { return data_; }
  uint64_t size() const { return size_; }

 private:
  const unsigned char* data_ = nullptr;
  uint64_t size_ = 0;
};

}  // namespace platform
