// Node attributes: always those of the node's first definition.
#include "library.h"

#include <algorithm>
#include <cstring>
#include <vector>

using namespace modbase;

namespace {

// The node's first definition, or null with error 201 (also for a handle
// that names no node).
const Definition* firstDefinition(WsmCall& call, Library& library, HWSM_NODE handle) {
  const TreeNode* node = library.tree.fromHandle(handle);
  if (node && !node->definitions.empty()) return node->definitions.front();
  call.fail(WSM_ERROR_NOT_APPLICABLE);
  return nullptr;
}

// The code an integer selector names, or the error standing for it.
DWORD selectCode(const Definition& definition, UINT selector, smiUINT32& code) {
  if (selector == WSM_NODE_KIND) {
    code = definition.kind == DefinitionKind::objectType ? WSM_KIND_OBJECT_TYPE : WSM_KIND_OBJECT_IDENTIFIER;
    return 0;
  }
  if (selector != WSM_NODE_STATUS && selector != WSM_NODE_SYNTAX && selector != WSM_NODE_ACCESS) {
    return WSM_ERROR_NOT_PRESENT;
  }
  if (definition.kind != DefinitionKind::objectType) return WSM_ERROR_NOT_APPLICABLE;
  code = selector == WSM_NODE_STATUS ? definition.status
         : selector == WSM_NODE_ACCESS ? definition.access
                                       : definition.syntax;
  bool valid = selector == WSM_NODE_SYNTAX ? code != 0 : code >= 1 && code <= 5;
  return valid ? 0 : WSM_ERROR_NOT_APPLICABLE;
}

DWORD nameTableText(const Definition& definition, uint32_t index, const char*& text) {
  if (definition.kind != DefinitionKind::objectType) return WSM_ERROR_NOT_APPLICABLE;
  const auto& table = definition.module->contents.nameTable;
  if (index >= table.size()) return WSM_ERROR_NOT_PRESENT;  // includes minus one
  text = table[index];
  return 0;
}

// The text a string selector names, or the error standing for it.
DWORD selectText(const Definition& definition, UINT selector, const char*& text) {
  switch (selector) {
    case WSM_NODE_NAME:
      text = definition.name;
      return text ? 0 : WSM_ERROR_NOT_APPLICABLE;
    case WSM_NODE_DESCRIPTION:
      if (!definition.name) return WSM_ERROR_NOT_APPLICABLE;
      text = definition.description;
      return text ? 0 : WSM_ERROR_NOT_PRESENT;
    case WSM_NODE_SYNTAX_NAME:
      return nameTableText(definition, definition.composedSyntaxNameIndex, text);
    case WSM_NODE_BASE_SYNTAX_NAME:
      return nameTableText(definition, definition.baseSyntaxNameIndex, text);
    case WSM_NODE_MODULE:
      if (!definition.name) return WSM_ERROR_NOT_APPLICABLE;
      text = definition.definingModule ? definition.definingModule
                                       : definition.module->entry.identity.c_str();
      return *text || definition.definingModule ? 0 : WSM_ERROR_NOT_PRESENT;
    default:
      return WSM_ERROR_NOT_PRESENT;
  }
}

// Copies min(L+1, S) bytes and ends the buffer at byte S-1; succeeds only
// when L+1 < S. A size of 0 copies nothing (there is no byte S-1).
BOOL copyText(WsmCall& call, const char* text, UINT selector, smiLPUINT32 size, LPSTR buffer) {
  size_t length = std::strlen(text);
  smiUINT32 available = *size;
  if (available == 0) return call.fail(WSM_ERROR_BUFFER_TOO_SMALL);
  size_t copied = std::min<size_t>(length + 1, available);
  std::memcpy(buffer, text, copied);
  buffer[available - 1] = '\0';
  *size = static_cast<smiUINT32>(selector == WSM_NODE_NAME ? std::min<size_t>(length, available - 1) : copied);
  return length + 1 < available ? TRUE : call.fail(WSM_ERROR_BUFFER_TOO_SMALL);
}

}  // namespace

extern "C" {

BOOL WsmGetNodeOid(HWSM_NODE node, UINT selector, smiLPOID oid) {
  return runCall<BOOL>(FALSE, [&](WsmCall& call, Library& library) {
    const Definition* definition = firstDefinition(call, library, node);
    if (!definition) return FALSE;
    if (selector != WSM_NODE_OID) return call.fail(WSM_ERROR_NOT_PRESENT);
    std::vector<smiUINT32> parts(definition->oid.size());
    for (uint32_t index = 0; index < parts.size(); ++index) parts[index] = definition->oid[index];
    smiOID source{static_cast<smiUINT32>(parts.size()), parts.data()};
    if (SnmpOidCopy(&source, oid) != SNMPAPI_SUCCESS) return call.fail(SnmpGetLastError(nullptr));
    return TRUE;
  });
}

BOOL WsmGetNodeInt(HWSM_NODE node, UINT selector, smiLPUINT32 result) {
  return runCall<BOOL>(FALSE, [&](WsmCall& call, Library& library) {
    const Definition* definition = firstDefinition(call, library, node);
    if (!definition) return FALSE;
    smiUINT32 code = 0;
    if (DWORD error = selectCode(*definition, selector, code)) return call.fail(error);
    if (result) *result = code;
    return TRUE;
  });
}

BOOL WsmGetNodeString(HWSM_NODE node, UINT selector, smiLPUINT32 size, LPSTR buffer) {
  return runCall<BOOL>(FALSE, [&](WsmCall& call, Library& library) {
    const Definition* definition = firstDefinition(call, library, node);
    if (!definition) return FALSE;
    const char* text = nullptr;
    if (DWORD error = selectText(*definition, selector, text)) return call.fail(error);
    if (!size || (!buffer && *size)) return call.fail(WSM_ERROR_BAD_STRUCTURE);
    return copyText(call, text, selector, size, buffer);
  });
}

BOOL WsmGetNodeLong(HWSM_NODE node, smiLPINT32 value) {
  return runCall<BOOL>(FALSE, [&](WsmCall& call, Library& library) {
    const TreeNode* found = library.tree.fromHandle(node);
    if (!found) return call.fail(WSM_ERROR_NOT_APPLICABLE);
    if (!value) return call.fail(WSM_ERROR_BAD_STRUCTURE);
    *value = found->userValue;
    return TRUE;
  });
}

BOOL WsmSetNodeLong(HWSM_NODE node, const smiINT32* value) {
  return runCall<BOOL>(FALSE, [&](WsmCall& call, Library& library) {
    TreeNode* found = library.tree.fromHandle(node);
    if (!found) return call.fail(WSM_ERROR_NOT_APPLICABLE);
    if (!value) return call.fail(WSM_ERROR_BAD_STRUCTURE);
    found->userValue = *value;
    return TRUE;
  });
}

}  // extern "C"
