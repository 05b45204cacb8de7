#include "platform/registry.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr const char* kKey = "SOFTWARE\\Orvane\\Test";

// Each test starts from an empty registry folder.
class Registry : public testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::remove_all(platform::registryRoot());
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
  }
  void TearDown() override { RegCloseKey(key); }

  LONG setText(HKEY target, const char* name, const std::string& text, DWORD type = REG_SZ) {
    return RegSetValueExA(target, name, 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>(text.size() + 1));
  }
  std::string text(HKEY target, const char* name) {
    char buffer[512] = {};
    DWORD size = sizeof buffer, type = 0;
    if (RegQueryValueExA(target, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) !=
        ERROR_SUCCESS) {
      return "<missing>";
    }
    return buffer;
  }
  std::vector<std::string> valueNames(HKEY target) {
    std::vector<std::string> names;
    for (DWORD index = 0; index < 10000; ++index) {
      char name[256];
      DWORD chars = sizeof name;
      if (RegEnumValueA(target, index, name, &chars, nullptr, nullptr, nullptr, nullptr) !=
          ERROR_SUCCESS) {
        break;
      }
      names.emplace_back(name);
    }
    return names;
  }
  std::string hiveText() {
    std::ifstream file(platform::registryHiveFile(HKEY_LOCAL_MACHINE));
    std::stringstream contents;
    contents << file.rdbuf();
    return contents.str();
  }
  HKEY numberedKey() {
    HKEY numbered = nullptr;
    EXPECT_EQ(RegCreateKeyExA(key, "Numbered", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &numbered,
                              nullptr),
              ERROR_SUCCESS);
    return numbered;
  }
  void writeHive(const std::string& contents) {
    std::ofstream(platform::registryHiveFile(HKEY_LOCAL_MACHINE)) << contents;
  }

  HKEY key = nullptr;
};

TEST_F(Registry, ValuesOfEveryTypeReadBackByteForByte) {
  const BYTE binary[] = {0, 1, 0xfe, 0xff, '"', '\\'};
  const char multi[] = "one\0two\0";
  DWORD number = 0x12345678;
  ASSERT_EQ(setText(key, "Text", "C:\\path with \"quotes\""), ERROR_SUCCESS);
  ASSERT_EQ(setText(key, "Expand", "%HOME%/x", REG_EXPAND_SZ), ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExA(key, "Multi", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(multi),
                           sizeof multi),
            ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExA(key, "Number", 0, REG_DWORD, reinterpret_cast<BYTE*>(&number), 4),
            ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExA(key, "Bytes", 0, REG_BINARY, binary, sizeof binary), ERROR_SUCCESS);
  // A string stored without its zero and a short dword still read back exactly.
  ASSERT_EQ(RegSetValueExA(key, "Unterminated", 0, REG_SZ, reinterpret_cast<const BYTE*>("ab"), 2),
            ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExA(key, "ShortNumber", 0, REG_DWORD, binary, 3), ERROR_SUCCESS);

  struct Expected {
    const char* name;
    DWORD type;
    std::vector<BYTE> data;
  };
  std::string textData = "C:\\path with \"quotes\"";
  std::vector<Expected> expected = {
      {"text", REG_SZ, std::vector<BYTE>(textData.begin(), textData.end() + 1)},
      {"EXPAND", REG_EXPAND_SZ, {'%', 'H', 'O', 'M', 'E', '%', '/', 'x', 0}},
      {"Multi", REG_MULTI_SZ, std::vector<BYTE>(multi, multi + sizeof multi)},
      {"Number", REG_DWORD, {0x78, 0x56, 0x34, 0x12}},
      {"Bytes", REG_BINARY, std::vector<BYTE>(binary, binary + sizeof binary)},
      {"Unterminated", REG_SZ, {'a', 'b'}},
      {"ShortNumber", REG_DWORD, {0, 1, 0xfe}},
  };
  HKEY reopened = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "software\\ORVANE\\test", 0, KEY_READ, &reopened),
            ERROR_SUCCESS);
  for (const Expected& value : expected) {
    BYTE buffer[64];
    DWORD type = 0, size = sizeof buffer;
    ASSERT_EQ(RegQueryValueExA(reopened, value.name, nullptr, &type, buffer, &size), ERROR_SUCCESS)
        << value.name;
    EXPECT_EQ(type, value.type) << value.name;
    EXPECT_EQ(std::vector<BYTE>(buffer, buffer + size), value.data) << value.name;
  }
  RegCloseKey(reopened);
}

TEST_F(Registry, TheHiveFileIsReadableText) {
  ASSERT_EQ(setText(key, "1", "SOFTWARE\\Orvane\\SMI Modules\\Modules\\RFC1213-MIB"), ERROR_SUCCESS);
  DWORD number = 16;
  ASSERT_EQ(RegSetValueExA(key, nullptr, 0, REG_DWORD, reinterpret_cast<BYTE*>(&number), 4),
            ERROR_SUCCESS);
  std::string contents = hiveText();
  EXPECT_EQ(contents.rfind("Orvane registry hive, format 1\n", 0), 0u) << contents;
  EXPECT_NE(contents.find("[SOFTWARE\\Orvane\\Test]\n"), std::string::npos) << contents;
  EXPECT_NE(contents.find("\"1\" = sz \"SOFTWARE\\\\Orvane\\\\SMI Modules\\\\Modules\\\\RFC1213-MIB\""),
            std::string::npos)
      << contents;
  EXPECT_NE(contents.find("@ = dword 0x00000010"), std::string::npos) << contents;
}

TEST_F(Registry, HandEditedTextIsRead) {
  writeHive(
      "Orvane registry hive, format 1\n"
      "# a comment\n"
      "[SOFTWARE\\Orvane\\Test]\n"
      "\"Name\" = sz \"tab\\x09end\"\n"
      "\"List\" = multi_sz \"a\" \"b c\"\n"
      "\"Raw\" = type:11 hex 01 02\r\n");
  HKEY reopened = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ, &reopened), ERROR_SUCCESS);
  EXPECT_EQ(text(reopened, "name"), "tab\tend");
  BYTE buffer[16];
  DWORD type = 0, size = sizeof buffer;
  ASSERT_EQ(RegQueryValueExA(reopened, "List", nullptr, &type, buffer, &size), ERROR_SUCCESS);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), size), std::string("a\0b c\0\0", 7));
  size = sizeof buffer;
  ASSERT_EQ(RegQueryValueExA(reopened, "Raw", nullptr, &type, buffer, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, 11u);
  EXPECT_EQ(size, 2u);
  RegCloseKey(reopened);
}

TEST_F(Registry, ValuesAndKeysEnumerateInCreationOrder) {
  for (const char* name : {"zeta", "alpha", "Mid", "beta"}) ASSERT_EQ(setText(key, name, name), ERROR_SUCCESS);
  // Overwriting keeps the place; a name differing only in case is the same value.
  ASSERT_EQ(setText(key, "ALPHA", "again"), ERROR_SUCCESS);
  ASSERT_EQ(RegDeleteValueA(key, "mid"), ERROR_SUCCESS);
  ASSERT_EQ(setText(key, "gamma", "new"), ERROR_SUCCESS);
  EXPECT_EQ(valueNames(key), (std::vector<std::string>{"zeta", "alpha", "beta", "gamma"}));
  EXPECT_EQ(text(key, "alpha"), "again");

  for (const char* name : {"Z", "A", "M"}) {
    HKEY child = nullptr;
    ASSERT_EQ(RegCreateKeyExA(key, name, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &child, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(child);
  }
  std::vector<std::string> keys;
  char name[8];
  DWORD chars = sizeof name;
  for (DWORD index = 0; RegEnumKeyExA(key, index, name, &chars, nullptr, nullptr, nullptr, nullptr) ==
                        ERROR_SUCCESS;
       ++index, chars = sizeof name) {
    keys.emplace_back(name);
  }
  EXPECT_EQ(keys, (std::vector<std::string>{"Z", "A", "M"}));
  DWORD subkeys = 0, values = 0;
  ASSERT_EQ(RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                             nullptr, nullptr, nullptr, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(subkeys, 3u);
  EXPECT_EQ(values, 4u);
}

TEST_F(Registry, CallersGetTheCodesTheyTest) {
  ASSERT_EQ(setText(key, "Long", "0123456789"), ERROR_SUCCESS);
  HKEY missing = nullptr;
  EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Nobody", 0, KEY_READ, &missing),
            ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(missing, nullptr);
  EXPECT_EQ(RegQueryValueExA(key, "absent", nullptr, nullptr, nullptr, nullptr), ERROR_FILE_NOT_FOUND);

  char small[4];
  DWORD size = sizeof small;
  EXPECT_EQ(RegQueryValueExA(key, "Long", nullptr, nullptr, reinterpret_cast<BYTE*>(small), &size),
            ERROR_MORE_DATA);
  EXPECT_EQ(size, 11u);
  size = 0;
  EXPECT_EQ(RegQueryValueExA(key, "Long", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, 11u);
  char name[3];
  DWORD chars = sizeof name;
  EXPECT_EQ(RegEnumValueA(key, 0, name, &chars, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
  chars = sizeof name;
  EXPECT_EQ(RegEnumValueA(key, 1, name, &chars, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);

  HKEY readOnly = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ, &readOnly), ERROR_SUCCESS);
  EXPECT_EQ(setText(readOnly, "Long", "x"), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegDeleteKeyA(readOnly, "Child"), ERROR_ACCESS_DENIED);
  EXPECT_EQ(text(key, "Long"), "0123456789");

  HKEY child = nullptr;
  ASSERT_EQ(RegCreateKeyExA(key, "Child\\Grandchild", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &child,
                            nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteKeyA(key, "Child"), ERROR_ACCESS_DENIED);  // it still has a subkey
  EXPECT_EQ(RegDeleteKeyA(key, "Child\\Grandchild"), ERROR_SUCCESS);
  EXPECT_EQ(setText(child, "x", "y"), ERROR_KEY_DELETED);
  EXPECT_EQ(RegCloseKey(child), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(child), ERROR_INVALID_HANDLE);
  EXPECT_EQ(RegCloseKey(readOnly), ERROR_SUCCESS);
}

TEST_F(Registry, CreateReportsWhetherTheKeyWasNew) {
  HKEY child = nullptr;
  DWORD disposition = 0;
  ASSERT_EQ(RegCreateKeyExA(key, "New", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &child, &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
  RegCloseKey(child);
  ASSERT_EQ(RegCreateKeyExA(key, "new", 0, nullptr, 0, KEY_READ, nullptr, &child, &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
  HKEY grandchild = nullptr;
  // A read-only handle may open existing keys but not create new ones.
  EXPECT_EQ(RegCreateKeyExA(child, "Deeper", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &grandchild,
                            nullptr),
            ERROR_ACCESS_DENIED);
  RegCloseKey(child);
}

TEST_F(Registry, DamagedOrForeignFilesAreNeverOverwritten) {
  ASSERT_EQ(setText(key, "Kept", "yes"), ERROR_SUCCESS);
  std::string good = hiveText();
  const std::pair<std::string, LONG> cases[] = {
      {good + "\"Broken\" = sz \"no end\n", ERROR_REGISTRY_CORRUPT},
      {good + "\"Kept\" = sz \"twice\"\n", ERROR_REGISTRY_CORRUPT},
      {good + "\"Odd\" = dword 0xZZ\n", ERROR_REGISTRY_CORRUPT},
      {"[Settings]\nname=value\n", ERROR_BADDB},
      {"", ERROR_BADDB},
  };
  for (const auto& [contents, code] : cases) {
    writeHive(contents);
    HKEY opened = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ, &opened), code) << contents;
    EXPECT_EQ(setText(key, "New", "value"), code) << contents;
    EXPECT_EQ(hiveText(), contents);
  }
  writeHive(good);
  EXPECT_EQ(text(key, "Kept"), "yes");
}

void dieWhileWriting() { std::raise(SIGKILL); }

TEST_F(Registry, AWriterKilledMidWriteLeavesThePreviousFile) {
  ASSERT_EQ(setText(key, "Before", std::string(4000, 'b')), ERROR_SUCCESS);
  std::string before = hiveText();
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    platform::setRegistryWriteInterruption(dieWhileWriting);
    setText(key, "After", std::string(4000, 'a'));
    _exit(0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(hiveText(), before);
  EXPECT_EQ(text(key, "After"), "<missing>");
  // The lock died with the writer; the next change goes through and clears
  // the half-written temporary file.
  ASSERT_EQ(setText(key, "After", "a"), ERROR_SUCCESS);
  EXPECT_EQ(text(key, "After"), "a");
  for (const auto& entry : std::filesystem::directory_iterator(platform::registryRoot())) {
    EXPECT_EQ(entry.path().filename().string().find(".tmp-"), std::string::npos) << entry.path();
  }
}

// Numbers a new value after the key's existing ones, as module
// registration does; the hive lock makes the count and the write one step.
void appendNumbered(HKEY target, const std::string& data) {
  platform::RegistryHiveLock lock(HKEY_LOCAL_MACHINE);
  DWORD values = 0;
  RegQueryInfoKeyA(target, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                   nullptr, nullptr, nullptr);
  std::string name = std::to_string(values + 1);
  RegSetValueExA(target, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                 static_cast<DWORD>(data.size() + 1));
}

// Writes `rounds` numbered values (into `numbered`) and plain values (into
// `target`), reading all the while.
void writeAndRead(HKEY target, HKEY numbered, const std::string& writer, int rounds) {
  for (int round = 0; round < rounds; ++round) {
    std::string mark = writer + "-" + std::to_string(round);
    appendNumbered(numbered, mark);
    RegSetValueExA(target, ("plain " + mark).c_str(), 0, REG_SZ,
                   reinterpret_cast<const BYTE*>(mark.c_str()), static_cast<DWORD>(mark.size() + 1));
    DWORD values = 0;
    RegQueryInfoKeyA(target, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                     nullptr, nullptr, nullptr);
  }
}

// Names and data of every value of `target`, in order.
std::vector<std::pair<std::string, std::string>> allValues(HKEY target) {
  std::vector<std::pair<std::string, std::string>> values;
  for (DWORD index = 0; index < 100000; ++index) {
    char name[64], data[64];
    DWORD chars = sizeof name, size = sizeof data;
    if (RegEnumValueA(target, index, name, &chars, nullptr, nullptr, reinterpret_cast<BYTE*>(data),
                      &size) != ERROR_SUCCESS) {
      break;
    }
    values.emplace_back(name, data);
  }
  return values;
}

void expectEveryWriteKept(HKEY target, HKEY numbered, int writers, int rounds) {
  const auto total = static_cast<size_t>(writers * rounds);
  std::set<std::string> plainData, numberedData;
  for (const auto& [name, data] : allValues(target)) plainData.insert(data);
  EXPECT_EQ(plainData.size(), total);
  auto numberedValues = allValues(numbered);
  ASSERT_EQ(numberedValues.size(), total);
  for (size_t index = 0; index < total; ++index) {
    EXPECT_EQ(numberedValues[index].first, std::to_string(index + 1));
    numberedData.insert(numberedValues[index].second);
  }
  EXPECT_EQ(numberedData.size(), total);
}

TEST_F(Registry, TwoProcessesWritingAtOnceLoseNothing) {
  constexpr int kRounds = 60;
  HKEY numbered = numberedKey();
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    writeAndRead(key, numbered, "child", kRounds);
    _exit(0);
  }
  writeAndRead(key, numbered, "parent", kRounds);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  expectEveryWriteKept(key, numbered, 2, kRounds);
  RegCloseKey(numbered);
}

TEST_F(Registry, TwoThreadsWritingAtOnceLoseNothing) {
  constexpr int kRounds = 40;
  HKEY numbered = numberedKey();
  std::thread other([&] { writeAndRead(key, numbered, "other", kRounds); });
  writeAndRead(key, numbered, "main", kRounds);
  other.join();
  expectEveryWriteKept(key, numbered, 2, kRounds);
  RegCloseKey(numbered);
}

// Counts the hive files written, through the hook every write calls once.
std::atomic<int> filesWritten{0};
void countWrite() { ++filesWritten; }

TEST_F(Registry, AHiveChangeWritesManyChangesAsOneFile) {
  ASSERT_EQ(setText(key, "Old", "o"), ERROR_SUCCESS);
  std::string before = hiveText();
  filesWritten = 0;
  platform::setRegistryWriteInterruption(countWrite);
  {
    platform::RegistryHiveChange change(HKEY_LOCAL_MACHINE);
    ASSERT_EQ(change.status(), ERROR_SUCCESS);
    for (int i = 0; i < 50; ++i) ASSERT_EQ(setText(key, std::to_string(i).c_str(), "v" + std::to_string(i)), ERROR_SUCCESS);
    HKEY sub = nullptr;
    ASSERT_EQ(RegCreateKeyExA(key, "Sub", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub, nullptr), ERROR_SUCCESS);
    ASSERT_EQ(setText(sub, "Inner", "i"), ERROR_SUCCESS);
    RegCloseKey(sub);
    ASSERT_EQ(RegDeleteValueA(key, "Old"), ERROR_SUCCESS);
    // This thread reads what it changed; the file and other threads do not
    // see it yet.
    EXPECT_EQ(text(key, "49"), "v49");
    EXPECT_EQ(hiveText(), before);
    std::string seenElsewhere;
    std::thread([&] { seenElsewhere = text(key, "Old"); }).join();
    EXPECT_EQ(seenElsewhere, "o");
    // A change begun inside joins the outer one.
    {
      platform::RegistryHiveChange inner(HKEY_LOCAL_MACHINE);
      ASSERT_EQ(setText(key, "Joined", "j"), ERROR_SUCCESS);
      EXPECT_EQ(inner.commit(), ERROR_SUCCESS);
    }
    EXPECT_EQ(filesWritten, 0);
    EXPECT_EQ(change.commit(), ERROR_SUCCESS);
  }
  platform::setRegistryWriteInterruption(nullptr);
  EXPECT_EQ(filesWritten, 1);
  EXPECT_EQ(valueNames(key).size(), 51u);
  EXPECT_EQ(text(key, "Old"), "<missing>");
  EXPECT_EQ(text(key, "Joined"), "j");
  std::string inner;
  std::thread([&] { inner = text(key, "0"); }).join();
  EXPECT_EQ(inner, "v0");
}

TEST_F(Registry, AHiveChangeWithoutCommitLeavesTheFileAsItWas) {
  ASSERT_EQ(setText(key, "Kept", "k"), ERROR_SUCCESS);
  std::string before = hiveText();
  {
    platform::RegistryHiveChange change(HKEY_LOCAL_MACHINE);
    ASSERT_EQ(setText(key, "Dropped", "d"), ERROR_SUCCESS);
    ASSERT_EQ(RegDeleteValueA(key, "Kept"), ERROR_SUCCESS);
  }
  EXPECT_EQ(hiveText(), before);
  EXPECT_EQ(text(key, "Kept"), "k");
  EXPECT_EQ(text(key, "Dropped"), "<missing>");
  // The lock is free again: a change of another thread goes through.
  std::thread([&] { EXPECT_EQ(setText(key, "Later", "l"), ERROR_SUCCESS); }).join();
  EXPECT_EQ(text(key, "Later"), "l");
}

// A writer that comes while a hive change is open waits for it and then
// sees what it wrote, so numbering after the existing values stays right.
TEST_F(Registry, AnotherWriterWaitsForAHiveChange) {
  HKEY numbered = numberedKey();
  std::thread other;
  {
    platform::RegistryHiveChange change(HKEY_LOCAL_MACHINE);
    appendNumbered(numbered, "first");
    other = std::thread([&] { appendNumbered(numbered, "second"); });
    appendNumbered(numbered, "also first");
    ASSERT_EQ(change.commit(), ERROR_SUCCESS);
  }
  other.join();
  EXPECT_EQ(allValues(numbered), (std::vector<std::pair<std::string, std::string>>{
                                     {"1", "first"}, {"2", "also first"}, {"3", "second"}}));
  RegCloseKey(numbered);
}

}  // namespace
