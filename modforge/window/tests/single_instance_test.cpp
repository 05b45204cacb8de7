// A second start of the compiler hands its file to the running one: here
// the test is the running instance and the real program the second start.
#include "single_instance.h"

#include "background_process.h"
#include "gui_application.h"

#include <gtest/gtest.h>

#include <QDir>

#include <atomic>
#include <filesystem>
#include <thread>
#include <fstream>

namespace modforge {
namespace {

using namespace std::chrono_literals;

class SecondStart : public testing::Test {
 protected:
  void SetUp() override {
    guiApplication();
    ASSERT_TRUE(instance.becomeTheInstance([this](const QString& path) { received.push_back(path.toStdString()); }));
    folder = std::filesystem::path(std::getenv("ORVANE_RUNTIME_DIR")) / "sources";
    std::filesystem::create_directories(folder);
  }

  // Runs `command` in a shell as a second start would run, handling this
  // instance's events until the program has ended.
  ProgramRun secondStart(const std::string& command) {
    ProgramRun run;
    std::atomic<bool> ended{false};
    std::thread starter([&] {
      run = runProgram({"/bin/sh", "-c", command}, 60s, {"QT_QPA_PLATFORM=offscreen"});
      ended = true;
    });
    processEventsUntil([&] { return ended.load(); }, 90s);
    starter.join();
    return run;
  }

  SingleInstance instance;
  std::vector<std::string> received;
  std::filesystem::path folder;
};

TEST_F(SecondStart, HandsItsFileToTheRunningInstanceAndEnds) {
  std::string source = (folder / "HANDED-MIB.mib").string();
  std::ofstream(source) << "HANDED-MIB DEFINITIONS ::= BEGIN\nEND\n";
  ProgramRun run = secondStart("cd '" + folder.string() + "' && exec " MODFORGE_PROGRAM " HANDED-MIB.mib");
  EXPECT_EQ(run.exitCode, 0) << run.output;
  ASSERT_TRUE(processEventsUntil([&] { return !received.empty(); }));
  EXPECT_EQ(received, std::vector<std::string>{source}) << "the path arrives whole, from any working folder";
}

TEST_F(SecondStart, WithoutAFileItOnlyWakesTheRunningInstance) {
  ProgramRun run = secondStart("exec " MODFORGE_PROGRAM);
  EXPECT_EQ(run.exitCode, 0) << run.output;
  ASSERT_TRUE(processEventsUntil([&] { return !received.empty(); }));
  EXPECT_EQ(received, std::vector<std::string>{""});
}

TEST(SingleInstance, OnlyOneInstanceAtATime) {
  guiApplication();
  SingleInstance first, second;
  ASSERT_TRUE(first.becomeTheInstance([](const QString&) {}));
  EXPECT_FALSE(second.becomeTheInstance([](const QString&) {}));
  EXPECT_EQ(QFile::permissions(runtimeFolder()) & (QFile::ReadOther | QFile::WriteOther | QFile::ReadGroup), 0);
}

TEST(SingleInstance, TheHiddenWindowRefusesCopyDataThatIsNotAPath) {
  guiApplication();
  SingleInstance instance;
  std::vector<QString> received;
  ASSERT_TRUE(instance.becomeTheInstance([&](const QString& path) { received.push_back(path); }));
  char unterminated[] = {'a', 'b'};
  COPYDATASTRUCT copy{0, sizeof unterminated, unterminated};
  EXPECT_EQ(SendMessage(instance.window(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy)), 0);
  char path[] = "/tmp/x.mib";
  copy = COPYDATASTRUCT{7, sizeof path, path};
  EXPECT_EQ(SendMessage(instance.window(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy)), 0);
  copy.dwData = 0;
  EXPECT_EQ(SendMessage(instance.window(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy)), 1);
  ASSERT_TRUE(processEventsUntil([&] { return !received.empty(); }));
  EXPECT_EQ(received.front(), "/tmp/x.mib");
}

}  // namespace
}  // namespace modforge
