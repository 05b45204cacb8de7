// Loading and unloading modules, the module lists and the information
// structures.
#include "library.h"

#include "smidb_format.h"

#include "platform/maker.h"

#include <algorithm>
#include <cctype>
#include <cstring>

using namespace modbase;

namespace {

constexpr char kVendorDescription[] = "WinSNMP/MIB Version 1.0d (tentative) with Orvane specifics";
constexpr char kRootOidNotAvailable[] = "<Not available>";

// Copies text into a fixed field, cut to fit and always terminated.
template <size_t N>
void copyField(char (&field)[N], const std::string& text) {
  size_t length = std::min(text.size(), N - 1);
  std::memcpy(field, text.data(), length);
  field[length] = '\0';
}

// Copies a module identity into the caller's buffer, always terminated
// inside it; 204 when it had to be cut.
BOOL copyIdentity(WsmCall& call, const std::string& identity, LPSTR buffer, UINT size) {
  if (size == 0) return call.fail(WSM_ERROR_BUFFER_TOO_SMALL);
  if (!buffer) return call.fail(WSM_ERROR_BAD_STRUCTURE);
  size_t length = std::min<size_t>(identity.size(), size - 1);
  std::memcpy(buffer, identity.data(), length);
  buffer[length] = '\0';
  return identity.size() < size ? TRUE : call.fail(WSM_ERROR_BUFFER_TOO_SMALL);
}

void insertDefinitions(MibTree& tree, LoadedModule& module) {
  for (Definition& definition : module.contents.definitions) {
    if (definition.belongsInTree() && tree.insert(definition)) ++module.nodeCount;
  }
}

// The registration path from the backslash before "SMI Modules" on.
std::string pathBelowMaker(const std::string& registration) {
  std::string_view maker = smidb::kMakerKey;
  auto sameLetter = [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) ==
                                                 std::tolower(static_cast<unsigned char>(b)); };
  if (registration.size() >= maker.size() &&
      std::equal(maker.begin(), maker.end(), registration.begin(), sameLetter)) {
    return registration.substr(maker.size());
  }
  return registration;
}

void rebuildRegisteredList(Library& library) {
  std::vector<std::string> identities;
  for (ModuleEntry& entry : listRegisteredModules()) identities.push_back(std::move(entry.identity));
  library.registered = std::move(identities);
}

}  // namespace

extern "C" {

BOOL WsmLoadModule(LPCSTR identity) {
  return runCall<BOOL>(FALSE, [&](WsmCall& call, Library& library) {
    if (!identity) return call.fail(WSM_ERROR_NOT_REGISTERED);
    if (library.findLoaded(identity)) return call.fail(WSM_ERROR_ALREADY_LOADED);
    std::unique_ptr<LoadedModule> module;
    if (DWORD error = openModule(identity, module)) return call.fail(error);
    library.loaded.reserve(library.loaded.size() + 1);  // the append below cannot fail
    insertDefinitions(library.tree, *module);
    library.loaded.push_back(std::move(module));
    return TRUE;
  });
}

BOOL WsmUnloadModule(LPCSTR identity) {
  return runCall<BOOL>(FALSE, [&](WsmCall& call, Library& library) {
    size_t position = 0;
    if (!library.findLoaded(identity, &position)) return call.fail(WSM_ERROR_NOT_LOADED);
    std::unique_ptr<LoadedModule> module = std::move(library.loaded[position]);
    library.loaded.erase(library.loaded.begin() + static_cast<ptrdiff_t>(position));
    for (Definition& definition : module->contents.definitions) library.tree.remove(definition);
    return TRUE;
  });
}

BOOL WsmEnumRegisteredModule(INT index, LPSTR buffer, UINT size) {
  return runCall<BOOL>(FALSE, [&](WsmCall& call, Library& library) {
    if (index < 0) return call.fail(WSM_ERROR_NEGATIVE_INDEX);
    if (index == 0 || !library.registered) rebuildRegisteredList(library);
    if (index == 0) return library.registered->empty() ? call.fail(WSM_ERROR_NONE_REGISTERED) : TRUE;
    if (static_cast<size_t>(index) > library.registered->size()) {
      return call.fail(WSM_ERROR_INDEX_BEYOND_END);
    }
    return copyIdentity(call, (*library.registered)[static_cast<size_t>(index) - 1], buffer, size);
  });
}

BOOL WsmEnumLoadedModule(INT index, LPSTR buffer, UINT size) {
  return runCall<BOOL>(FALSE, [&](WsmCall& call, Library& library) {
    if (index < 0) return call.fail(WSM_ERROR_NEGATIVE_INDEX);
    if (index == 0) return TRUE;
    if (static_cast<size_t>(index) > library.loaded.size()) return call.fail(WSM_ERROR_INDEX_BEYOND_END);
    return copyIdentity(call, library.loaded[static_cast<size_t>(index) - 1]->entry.identity, buffer, size);
  });
}

BOOL WsmGetVendorInfo(LPWSM_VENDOR_INFO info) {
  return runCall<BOOL>(FALSE, [&](WsmCall& call, Library&) {
    if (!info || info->dwSize != WSM_VENDOR_INFO_SIZE) return call.fail(WSM_ERROR_BAD_STRUCTURE);
    std::memset(info, 0, sizeof *info);
    info->dwSize = WSM_VENDOR_INFO_SIZE;
    info->dwMajorVersion = 2;
    info->dwMinorVersion = 0;
    info->dwBuildNumber = 320;
    copyField(info->szDescription, kVendorDescription);
    info->dwEnterprise = platform::maker::kEnterpriseNumber;
    copyField(info->szCompany, platform::maker::kCompanyName);
    copyField(info->szEnterpriseOid, platform::maker::kEnterpriseOid);
    copyField(info->szWebAddress, platform::maker::kWebAddress);
    copyField(info->szEmail, platform::maker::kContactEmail);
    return TRUE;
  });
}

BOOL WsmGetModuleInfo(LPCSTR identity, LPWSM_MODULE_INFO info) {
  return runCall<BOOL>(FALSE, [&](WsmCall& call, Library& library) {
    if (!info || info->dwSize != WSM_MODULE_INFO_SIZE) return call.fail(WSM_ERROR_BAD_STRUCTURE);
    std::memset(info, 0, sizeof *info);
    const LoadedModule* module = library.findLoaded(identity);
    if (!module) return call.fail(WSM_ERROR_MODULE_INFO_NOT_LOADED);
    const ModuleContents& contents = module->contents;
    copyField(info->szModuleName, contents.moduleName ? contents.moduleName : "");
    copyField(info->szRootOid, module->entry.rootOid.empty() ? kRootOidNotAvailable : module->entry.rootOid);
    info->dwOne = 1;
    info->dwNodeCount = module->nodeCount;
    info->dwFileSizeLow = static_cast<uint32_t>(module->file.size());
    info->dwFileSizeHigh = static_cast<uint32_t>(module->file.size() >> 32);
    info->dwFormatVersion = contents.formatVersion;
    copyField(info->szRegistryPath, pathBelowMaker(module->entry.registrationPath));
    copyField(info->szDescription, contents.description ? contents.description : "");
    return TRUE;
  });
}

}  // extern "C"
