// The main of every test program: each run gets fresh registry and runtime
// folders, so no test touches a user's files, and they are removed after.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

std::string makeTemporaryFolder(const char* role) {
  std::string pattern = (std::filesystem::temp_directory_path() / "orvane-test-").string() + role + "-XXXXXX";
  if (!mkdtemp(pattern.data())) {
    std::perror("mkdtemp");
    std::exit(2);
  }
  return pattern;
}

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  std::string registry = makeTemporaryFolder("registry");
  std::string runtime = makeTemporaryFolder("runtime");
  setenv("ORVANE_REGISTRY", registry.c_str(), 1);
  setenv("ORVANE_RUNTIME_DIR", runtime.c_str(), 1);
  int result = RUN_ALL_TESTS();
  std::error_code ignored;
  std::filesystem::remove_all(registry, ignored);
  std::filesystem::remove_all(runtime, ignored);
  return result;
}
