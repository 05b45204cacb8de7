// setURL against a registry and a search path that hold only what each
// test puts there: fake browsers record their arguments, so no real
// browser ever starts and nothing reaches the network.
#include "weblaunch.h"

#include "platform/message_box.h"
#include "platform/registry.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Words = std::vector<std::string>;

struct Box {
  std::string text;
  std::string caption;
  unsigned type = 0;
};
std::vector<Box> boxes;

int recordBox(HWND, const char* text, const char* caption, unsigned type) {
  boxes.push_back({text, caption, type});
  return IDOK;
}

void setDefaultValue(const std::string& key, DWORD type, const std::string& text) {
  HKEY handle = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(handle, nullptr, 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                 static_cast<DWORD>(text.size() + 1));
  RegCloseKey(handle);
}

class SetUrl : public testing::Test {
 protected:
  void SetUp() override {
    folder = fs::path(std::getenv("ORVANE_RUNTIME_DIR")) / testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::create_directories(folder);
    savedPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", folder.c_str(), 1);
    boxes.clear();
    platform::setMessageBoxHook(recordBox);
  }
  void TearDown() override {
    platform::setMessageBoxHook(nullptr);
    setenv("PATH", savedPath.c_str(), 1);
    RegDeleteKeyA(HKEY_CLASSES_ROOT, ".html");
  }

  // A program at `path` that writes its arguments, one a line, to
  // `path`.args once it has them all.
  static void fakeBrowser(const fs::path& path) {
    std::ofstream(path) << "#!/bin/sh\n"
                           "for word in \"$@\"; do printf '%s\\n' \"$word\"; done > '"
                        << path.string() << ".part'\n/bin/mv '" << path.string() << ".part' '" << path.string()
                        << ".args'\n";
    fs::permissions(path, fs::perms::owner_all);
  }
  static Words argumentsOf(const fs::path& program) {
    fs::path record = program.string() + ".args";
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!fs::exists(record) && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::ifstream lines(record);
    Words words;
    for (std::string word; std::getline(lines, word);) words.push_back(word);
    return words;
  }
  static void associate(const std::string& command, DWORD type = REG_SZ) {
    setDefaultValue(".html", REG_SZ, "OrvaneTest.html");
    setDefaultValue("OrvaneTest.html\\shell\\open\\command", type, command);
  }

  fs::path folder;
  std::string savedPath;
};

TEST_F(SetUrl, AQuotedExeProgramGetsOnlyTheAddress) {
  fs::path program = folder / "Web Browser.EXE";
  fakeBrowser(program);
  associate("\"" + program.string() + "\" -osint -url \"%1\"");
  EXPECT_TRUE(setURL(WEBLAUNCH_MIB_COMPILER_PAGE));
  EXPECT_EQ(argumentsOf(program), Words{"https://www.orvane.example/mib-compiler.html"});
  EXPECT_TRUE(boxes.empty());
}

TEST_F(SetUrl, ACommandWithoutExeIsUsedWholeWithItsEnvironmentExpanded) {
  fs::path program = folder / "open-page";
  fakeBrowser(program);
  setenv("ORVANE_TEST_BROWSERS", folder.c_str(), 1);
  associate("%ORVANE_TEST_BROWSERS%/open-page --tab", REG_EXPAND_SZ);
  EXPECT_TRUE(setURL(17));
  EXPECT_EQ(argumentsOf(program), (Words{"--tab", "https://www.orvane.example/index.html"}));
}

TEST_F(SetUrl, WithoutAUsableAssociationTheDesktopBrowserOpensThePage) {
  fs::path opener = folder / "xdg-open";
  fakeBrowser(opener);
  associate("42", REG_DWORD);  // a command of the wrong type
  EXPECT_TRUE(setURL(WEBLAUNCH_SUPPORT_PAGE));
  EXPECT_EQ(argumentsOf(opener), Words{"https://www.orvane.example/support.html"});
  EXPECT_TRUE(boxes.empty());
}

TEST_F(SetUrl, WhenNoBrowserStartsAWarningNamesTheWholeAddress) {
  associate("\"" + (folder / "uninstalled.exe").string() + "\" %1");
  EXPECT_FALSE(setURL(0));
  RegDeleteKeyA(HKEY_CLASSES_ROOT, ".html");
  EXPECT_FALSE(setURL(3));
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text, "Windows can't locate the default WEB browser!\n"
                           "Please visit the URL https://www.orvane.example/index.html");
  EXPECT_EQ(boxes[0].caption, "Warning from weblaunch.dll");
  EXPECT_EQ(boxes[0].type & MB_ICONMASK, MB_ICONWARNING);
  EXPECT_NE(boxes[1].text.find("https://www.orvane.example/mib-browser.html"), std::string::npos);
}

}  // namespace
