#include "platform/filemap.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

std::string scratchFile(const char* name, const std::string& contents) {
  std::string path = std::string(std::getenv("ORVANE_RUNTIME_DIR")) + "/" + name;
  std::ofstream(path, std::ios::binary) << contents;
  return path;
}

TEST(MappedFile, MapsTheWholeFileReadOnly) {
  std::string contents(100000, 'x');
  contents[0] = '\0';
  contents.back() = 'z';
  platform::MappedFile file;
  ASSERT_EQ(file.open(scratchFile("whole", contents).c_str()), platform::MappedFile::Status::mapped);
  ASSERT_EQ(file.size(), contents.size());
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(file.data()), file.size()), contents);

  // Two mappings of one file see the same bytes; moving keeps the mapping.
  platform::MappedFile second;
  ASSERT_EQ(second.open(scratchFile("whole", contents).c_str()), platform::MappedFile::Status::mapped);
  platform::MappedFile moved = std::move(second);
  EXPECT_EQ(second.data(), nullptr);
  EXPECT_EQ(moved.data()[99999], 'z');
}

TEST(MappedFile, ReportsWhatCouldNotBeMapped) {
  platform::MappedFile file;
  EXPECT_EQ(file.open("/nonexistent/file"), platform::MappedFile::Status::notFound);
  EXPECT_EQ(file.open(std::getenv("ORVANE_RUNTIME_DIR")), platform::MappedFile::Status::cannotOpen);
  EXPECT_EQ(file.data(), nullptr);
  ASSERT_EQ(file.open(scratchFile("empty", "").c_str()), platform::MappedFile::Status::mapped);
  EXPECT_EQ(file.size(), 0u);
}

}  // namespace
