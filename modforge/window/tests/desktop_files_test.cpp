// The desktop files cmake --install puts in place, as the desktop's own
// tools read them.
#include "background_process.h"
#include "required_peer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

bool onPath(const char* program) {
  return runProgram({"/bin/sh", "-c", std::string("command -v ") + program}, 30s).exitCode == 0;
}

TEST(DesktopFiles, TheDesktopEntryIsValid) {
  if (!onPath("desktop-file-validate")) ORVANE_MISSING_PEER() << "desktop-file-validate is not installed";
  ProgramRun run = runProgram({"desktop-file-validate", MODFORGE_DESKTOP_FOLDER "/modforge.desktop"}, 30s);
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(run.output, "") << "no hints either";
}

TEST(DesktopFiles, EveryMibExtensionGetsTheMibType) {
  if (!onPath("update-mime-database")) ORVANE_MISSING_PEER() << "update-mime-database is not installed";
  fs::path mime = fs::path(std::getenv("ORVANE_RUNTIME_DIR")) / "mime";
  fs::create_directories(mime / "packages");
  fs::copy_file(MODFORGE_DESKTOP_FOLDER "/orvane-mib.xml", mime / "packages" / "orvane-mib.xml");
  ProgramRun run = runProgram({"update-mime-database", mime.string()}, 60s);
  ASSERT_EQ(run.exitCode, 0) << run.output;
  std::stringstream globs;
  globs << std::ifstream(mime / "globs").rdbuf();
  for (const char* extension : {"mib", "smi", "mi2", "sm2"})
    EXPECT_NE(globs.str().find(std::string("text/x-mib:*.") + extension + "\n"), std::string::npos) << globs.str();
}

}  // namespace
