// Loading registered modules through the library: what a loaded file
// answers, and how registry and file faults fail the load.
#include "modbase_fixture.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <future>

namespace {

using namespace testing_modules;

// iso .. internet from RFC1155-SMI, then the module's own nodes.
Bytes testModule() {
  smidb::Writer writer("TEST-MIB", "Test module.");
  uint32_t own = writer.addName("TEST-MIB");
  uint32_t smi = writer.addName("RFC1155-SMI");
  uint32_t display = writer.addName("DisplayString");
  uint32_t octets = writer.addName("OCTET STRING");
  writer.addNode("iso", Oid{1}, smi);
  writer.addNode("org", Oid{1, 3}, smi);
  writer.addNode("dod", Oid{1, 3, 6}, smi);
  writer.addNode("internet", Oid{1, 3, 6, 1}, smi);
  writer.addNode("testMIB", Oid{1, 3, 6, 1, 4, 1, 27182, 1}, own, "a node description");
  smidb::ObjectTypeCodes codes{4, smidb::kReadWrite, smidb::kCurrent, octets, display};
  writer.addObjectType("testDescr", Oid{1, 3, 6, 1, 4, 1, 27182, 1, 1}, own, codes, "Describes.");
  smidb::ObjectTypeCodes bare{0, 0, 9};
  writer.addObjectType("testBare", Oid{1, 3, 6, 1, 4, 1, 27182, 1, 2}, 99, bare);
  writer.addNode("unnamed", Oid{1, 3, 6, 1, 4, 1, 27182, 1, 3}, own);
  writer.addNode("testNoOid", Oid{}, own);  // no OID: not in the tree
  Bytes file = writer.bytes();
  size_t unnamed = recordOffsets(file)[12];
  smidb::store32(file.data() + unnamed + smidb::definition_record::kNameLength, 0);  // no name: not either
  return file;
}

class Loading : public ModuleLibrary {};

// Sets up a registration of `name` and then lets `spoil` change its key.
template <class Spoil>
void registerSpoiled(const char* name, Spoil spoil, const Bytes& file) {
  registerBytes(name, file);
  HKEY key = nullptr;
  std::string path = std::string(smidb::kModulesKey) + "\\" + name;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
  spoil(key);
  RegCloseKey(key);
}

template <class Spoil>
void registerSpoiled(const char* name, Spoil spoil) {
  registerSpoiled(name, spoil, moduleWithNodes(name, {{"x", {1, 3}}}));
}


TEST_F(Loading, AWrittenFileAnswersEveryAttribute) {
  registerBytes("TEST-MIB", testModule(), "1.3.6.1.4.1.27182.1");
  ASSERT_TRUE(WsmLoadModule("TEST-MIB")) << WsmGetLastError();

  HWSM_NODE descr = WsmMapStrToNode("testDescr");
  ASSERT_NE(descr, 0u);
  EXPECT_EQ(oidOf(descr), (std::vector<smiUINT32>{1, 3, 6, 1, 4, 1, 27182, 1, 1}));
  EXPECT_EQ(code(descr, WSM_NODE_KIND), 3u);
  EXPECT_EQ(code(descr, WSM_NODE_SYNTAX), 4u);
  EXPECT_EQ(code(descr, WSM_NODE_ACCESS), 2u);
  EXPECT_EQ(code(descr, WSM_NODE_STATUS), 5u);
  EXPECT_EQ(text(descr, WSM_NODE_DESCRIPTION), "Describes.");
  EXPECT_EQ(text(descr, WSM_NODE_MODULE), "TEST-MIB");
  EXPECT_EQ(text(descr, WSM_NODE_SYNTAX_NAME), "DisplayString");
  EXPECT_EQ(text(descr, WSM_NODE_BASE_SYNTAX_NAME), "OCTET STRING");

  HWSM_NODE internet = byOid({1, 3, 6, 1});
  EXPECT_EQ(name(internet), "internet");
  EXPECT_EQ(code(internet, WSM_NODE_KIND), 8u);
  EXPECT_EQ(text(internet, WSM_NODE_MODULE), "RFC1155-SMI");
  EXPECT_EQ(text(internet, WSM_NODE_DESCRIPTION), "<error 203>");
  EXPECT_EQ(code(internet, WSM_NODE_SYNTAX), 1201u);  // node definitions have no syntax
  EXPECT_EQ(code(internet, WSM_NODE_STATUS), 1201u);
  EXPECT_EQ(text(internet, WSM_NODE_SYNTAX_NAME), "<error 201>");
  EXPECT_EQ(text(WsmMapStrToNode("testMIB"), WSM_NODE_DESCRIPTION), "a node description");

  // Missing codes and names read as not applicable or not present; a
  // module index beyond the name table names the module itself.
  HWSM_NODE bare = WsmMapStrToNode("testBare");
  EXPECT_EQ(code(bare, WSM_NODE_SYNTAX), 1201u);
  EXPECT_EQ(code(bare, WSM_NODE_ACCESS), 1201u);
  EXPECT_EQ(code(bare, WSM_NODE_STATUS), 1201u);  // 9 is outside 1..5
  EXPECT_EQ(code(bare, 12), 1203u);
  EXPECT_EQ(text(bare, WSM_NODE_SYNTAX_NAME), "<error 203>");
  EXPECT_EQ(text(bare, WSM_NODE_MODULE), "TEST-MIB");
  EXPECT_EQ(text(bare, 99), "<error 203>");
  smiOID copy{};
  EXPECT_FALSE(WsmGetNodeOid(bare, 4, &copy));
  EXPECT_EQ(WsmGetLastError(), 203u);

  WSM_MODULE_INFO info{};
  info.dwSize = WSM_MODULE_INFO_SIZE;
  ASSERT_TRUE(WsmGetModuleInfo("TEST-MIB", &info));
  EXPECT_EQ(info.dwNodeCount, 7u);  // the nameless and OID-less records stay out
  EXPECT_STREQ(info.szModuleName, "TEST-MIB");
  EXPECT_STREQ(info.szRootOid, "1.3.6.1.4.1.27182.1");
  EXPECT_STREQ(info.szDescription, "Test module.");
  EXPECT_EQ(info.dwFormatVersion, 2u);
  EXPECT_EQ(info.dwFileSizeLow, testModule().size());
  EXPECT_STREQ(info.szRegistryPath, "\\SMI Modules\\Modules\\TEST-MIB");
  EXPECT_EQ(info.dwOne, 1u);
  EXPECT_EQ(info.dwSize, 0u);
}

TEST_F(Loading, AHeaderAndEndFileLoadsWithNoNodes) {
  auto emptyRoot = [](HKEY key) { RegSetValueExA(key, smidb::kRootOidValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1); };
  registerSpoiled("EMPTY-MIB", emptyRoot, smidb::Writer("EMPTY-MIB", "").bytes());
  ASSERT_TRUE(WsmLoadModule("EMPTY-MIB")) << WsmGetLastError();
  WSM_MODULE_INFO info{};
  info.dwSize = WSM_MODULE_INFO_SIZE;
  ASSERT_TRUE(WsmGetModuleInfo("EMPTY-MIB", &info));
  EXPECT_EQ(info.dwNodeCount, 0u);
  EXPECT_STREQ(info.szRootOid, "<Not available>");
  EXPECT_STREQ(info.szDescription, "");
  EXPECT_EQ(WsmMapStrToNode(nullptr), 0u);
  EXPECT_EQ(WsmGetLastError(), 200u);
}

TEST_F(Loading, IncompleteRegistrationsFailWith294AndLoadNothing) {
  registerSpoiled("NO-PATH", [](HKEY key) { RegDeleteValueA(key, smidb::kDatabasePathValue); });
  registerSpoiled("NO-ROOT", [](HKEY key) { RegDeleteValueA(key, smidb::kRootOidValue); });
  registerSpoiled("NO-FILE", [](HKEY key) {
    const char path[] = "/nonexistent/NO-FILE.smidb";
    RegSetValueExA(key, smidb::kDatabasePathValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(path), sizeof path);
  });
  registerSpoiled("PATH-NOT-TEXT", [](HKEY key) {
    std::string path = runtimePath("PATH-NOT-TEXT.smidb");
    RegSetValueExA(key, smidb::kDatabasePathValue, 0, REG_BINARY,
                   reinterpret_cast<const BYTE*>(path.c_str()), static_cast<DWORD>(path.size() + 1));
  });
  registerSpoiled("ROOT-NOT-TEXT", [](HKEY key) {
    DWORD number = 7;
    RegSetValueExA(key, smidb::kRootOidValue, 0, REG_DWORD, reinterpret_cast<BYTE*>(&number), 4);
  });
  for (const char* name : {"NO-PATH", "NO-ROOT", "NO-FILE", "PATH-NOT-TEXT", "ROOT-NOT-TEXT", "NOT-REGISTERED"}) {
    EXPECT_FALSE(WsmLoadModule(name)) << name;
    EXPECT_EQ(WsmGetLastError(), 294u) << name;
  }
  EXPECT_FALSE(WsmLoadModule(nullptr));
  EXPECT_EQ(WsmGetLastError(), 294u);
  EXPECT_TRUE(loadedModules().empty());
  EXPECT_EQ(WsmMapStrToNode("x"), 0u);
}

// A FIFO would block the open (and every other call behind the library's
// lock) until some process writes to it.
TEST_F(Loading, ADatabasePathThatIsNoRegularFileFailsAtOnce) {
  std::string fifo = runtimePath("FIFO-MIB.smidb");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::string folder = runtimePath("FOLDER-MIB.smidb");
  std::filesystem::create_directories(folder);
  for (const std::string& path : {fifo, folder}) {
    registerSpoiled("ODD-MIB", [&](HKEY key) {
      RegSetValueExA(key, smidb::kDatabasePathValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                     static_cast<DWORD>(path.size() + 1));
    });
    auto load = std::async(std::launch::async, [] {
      BOOL loaded = WsmLoadModule("ODD-MIB");
      return std::pair(loaded, WsmGetLastError());
    });
    if (load.wait_for(std::chrono::seconds(30)) != std::future_status::ready) {
      // Lets a blocked open return so that the test can end.
      int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
      load.wait();
      ::close(writer);
      FAIL() << "the load of " << path << " blocked";
    }
    EXPECT_EQ(load.get(), std::pair(FALSE, DWORD{294})) << path;
  }
  EXPECT_TRUE(loadedModules().empty());
}

TEST_F(Loading, DamagedFilesFailWith297AndLoadNothing) {
  const Bytes good = moduleWithNodes("BROKEN-MIB", {{"first", {1, 3}}, {"second", {1, 3, 6}}});
  const std::vector<size_t> offsets = recordOffsets(good);  // header, name, first, second, end
  auto damaged = [&](size_t at, uint32_t value) {
    Bytes file = good;
    smidb::store32(file.data() + at, value);
    return file;
  };
  using namespace smidb;
  const std::pair<const char*, Bytes> cases[] = {
      {"bad magic", damaged(offsets[3], 0x20566F21)},
      {"unknown kind", damaged(offsets[3] + record_header::kKind, 0x109)},
      {"wrong version", damaged(offsets[3] + record_header::kKind, 0x203)},
      {"record beyond the end", Bytes(good.begin(), good.end() - 1)},
      {"name offset out of range", damaged(offsets[3] + definition_record::kNameOffset, 4000)},
      {"OID offset out of range", damaged(offsets[3] + definition_record::kOidOffset, 4000)},
      {"description out of range", damaged(offsets[3] + definition_record::kDescriptionLength, 4000)},
      {"file too small", Bytes(good.begin(), good.begin() + 9)},
  };
  for (const auto& [what, file] : cases) {
    registerBytes("BROKEN-MIB", file);
    EXPECT_FALSE(WsmLoadModule("BROKEN-MIB")) << what;
    EXPECT_EQ(WsmGetLastError(), 297u) << what;
    // The first node record was sound, yet nothing of the file is left.
    EXPECT_EQ(WsmMapStrToNode("first"), 0u) << what;
    EXPECT_TRUE(loadedModules().empty()) << what;
  }
  registerBytes("BROKEN-MIB", good);
  EXPECT_TRUE(WsmLoadModule("BROKEN-MIB"));
}

TEST_F(Loading, LoadingTwiceAndUnloadingWhatIsNotLoadedFail) {
  registerBytes("ONCE-MIB", moduleWithNodes("ONCE-MIB", {{"once", {1, 3}}}));
  ASSERT_TRUE(WsmLoadModule("ONCE-MIB"));
  EXPECT_FALSE(WsmLoadModule("ONCE-MIB"));
  EXPECT_EQ(WsmGetLastError(), 211u);
  EXPECT_TRUE(WsmUnloadModule("ONCE-MIB"));
  EXPECT_FALSE(WsmUnloadModule("ONCE-MIB"));
  EXPECT_EQ(WsmGetLastError(), 210u);
  EXPECT_FALSE(WsmUnloadModule(nullptr));
  EXPECT_EQ(WsmGetLastError(), 210u);
}

TEST_F(Loading, ModulesEnumerateInRegistrationAndLoadOrder) {
  for (const char* name : {"C-MIB", "A-MIB", "B-MIB"}) {
    registerBytes(name, moduleWithNodes(name, {{name, {1, 3}}}));
  }
  registerSpoiled("D-MIB", [](HKEY key) { RegDeleteValueA(key, smidb::kDatabasePathValue); });
  ASSERT_TRUE(WsmEnumRegisteredModule(0, nullptr, 0));
  char identity[16];
  std::vector<std::string> registered;
  for (int index = 1; WsmEnumRegisteredModule(index, identity, sizeof identity); ++index) {
    registered.emplace_back(identity);
  }
  EXPECT_EQ(registered, (std::vector<std::string>{"C-MIB", "A-MIB", "B-MIB"}));  // D-MIB is incomplete
  EXPECT_EQ(WsmGetLastError(), 282u);
  EXPECT_FALSE(WsmEnumRegisteredModule(-1, identity, sizeof identity));
  EXPECT_EQ(WsmGetLastError(), 281u);

  for (const char* name : {"B-MIB", "C-MIB", "A-MIB"}) ASSERT_TRUE(WsmLoadModule(name));
  std::memcpy(identity, "untouched", 10);
  EXPECT_TRUE(WsmEnumLoadedModule(0, identity, sizeof identity));
  EXPECT_STREQ(identity, "untouched");
  EXPECT_EQ(loadedModules(), (std::vector<std::string>{"B-MIB", "C-MIB", "A-MIB"}));
  EXPECT_FALSE(WsmEnumLoadedModule(4, identity, sizeof identity));
  EXPECT_EQ(WsmGetLastError(), 282u);
  EXPECT_FALSE(WsmEnumLoadedModule(-2, identity, sizeof identity));
  EXPECT_EQ(WsmGetLastError(), 281u);

  // A buffer too small gets the cut text, still terminated, and 204.
  char small[4];
  EXPECT_FALSE(WsmEnumLoadedModule(1, small, sizeof small));
  EXPECT_EQ(WsmGetLastError(), 204u);
  EXPECT_STREQ(small, "B-M");
}

TEST_F(Loading, NoCompleteRegistrationMeans280) {
  EXPECT_FALSE(WsmEnumRegisteredModule(0, nullptr, 0));
  EXPECT_EQ(WsmGetLastError(), 280u);
  char identity[16];
  EXPECT_FALSE(WsmEnumRegisteredModule(1, identity, sizeof identity));
  EXPECT_EQ(WsmGetLastError(), 282u);
}

TEST_F(Loading, InformationStructuresAreCheckedAndFilled) {
  WSM_VENDOR_INFO vendor{};
  EXPECT_FALSE(WsmGetVendorInfo(&vendor));
  EXPECT_EQ(WsmGetLastError(), 291u);
  EXPECT_FALSE(WsmGetVendorInfo(nullptr));
  EXPECT_EQ(WsmGetLastError(), 291u);
  vendor.dwSize = WSM_VENDOR_INFO_SIZE;
  std::memset(vendor.szCompany, 'x', sizeof vendor.szCompany);
  ASSERT_TRUE(WsmGetVendorInfo(&vendor));
  EXPECT_EQ(vendor.dwSize, 424u);
  EXPECT_EQ(vendor.dwMajorVersion, 2u);
  EXPECT_EQ(vendor.dwMinorVersion, 0u);
  EXPECT_EQ(vendor.dwBuildNumber, 320u);
  EXPECT_STREQ(vendor.szDescription, "WinSNMP/MIB Version 1.0d (tentative) with Orvane specifics");
  EXPECT_EQ(vendor.dwEnterprise, 27182u);
  EXPECT_STREQ(vendor.szCompany, "Orvane");
  EXPECT_STREQ(vendor.szEnterpriseOid, "1.3.6.1.4.1.27182");
  EXPECT_STREQ(vendor.szWebAddress, "https://www.orvane.example/");
  EXPECT_STREQ(vendor.szEmail, "support@orvane.example");
  EXPECT_EQ(vendor.dwReserved, 0u);

  registerBytes("INFO-MIB", moduleWithNodes("INFO-MIB", {{"a", {1, 3}}}));
  ASSERT_TRUE(WsmLoadModule("INFO-MIB"));
  WSM_MODULE_INFO info;
  std::memset(&info, 0xAB, sizeof info);
  info.dwSize = WSM_MODULE_INFO_SIZE;
  ASSERT_TRUE(WsmGetModuleInfo("INFO-MIB", &info));
  EXPECT_EQ(info.dwReserved1 | info.dwReserved2 | info.dwFileSizeHigh, 0u);
  EXPECT_EQ(info.abReserved[0] | info.abReserved[79], 0);
  // The call leaves the size at 0, so the same structure must be set again.
  EXPECT_FALSE(WsmGetModuleInfo("INFO-MIB", &info));
  EXPECT_EQ(WsmGetLastError(), 291u);
  info.dwSize = WSM_MODULE_INFO_SIZE;
  EXPECT_FALSE(WsmGetModuleInfo("OTHER-MIB", &info));
  EXPECT_EQ(WsmGetLastError(), 3333u);
  EXPECT_EQ(info.szModuleName[0], '\0');
}

}  // namespace
