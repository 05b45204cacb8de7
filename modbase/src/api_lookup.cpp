// Finding nodes by name and OID, and moving between them.
#include "library.h"

using namespace modbase;

namespace {

HWSM_NODE handleOr(WsmCall& call, const TreeNode* node, DWORD error) {
  if (node) return node->handle;
  call.fail(error);
  return 0;
}

HWSM_NODE relative(HWSM_NODE handle, TreeNode* TreeNode::*link) {
  return runCall<HWSM_NODE>(0, [&](WsmCall& call, Library& library) {
    const TreeNode* node = library.tree.fromHandle(handle);
    return handleOr(call, node ? node->*link : nullptr, WSM_ERROR_NO_SUCH_RELATIVE);
  });
}

}  // namespace

extern "C" {

HWSM_NODE WsmMapStrToNode(LPCSTR name) {
  return runCall<HWSM_NODE>(0, [&](WsmCall& call, Library& library) {
    const TreeNode* node = name ? library.tree.findName(name) : library.tree.head();
    return handleOr(call, node, WSM_ERROR_NO_SUCH_NODE);
  });
}

HWSM_NODE WsmMapOidToNode(smiLPCOID oid) {
  return runCall<HWSM_NODE>(0, [&](WsmCall& call, Library& library) {
    const TreeNode* node = nullptr;
    if (oid && oid->ptr && oid->len) node = library.tree.find(OidKey(*oid).view());
    return handleOr(call, node, WSM_ERROR_NO_SUCH_NODE);
  });
}

HWSM_NODE WsmFindNodeChild(HWSM_NODE node) { return relative(node, &TreeNode::firstChild); }

HWSM_NODE WsmFindNodeParent(HWSM_NODE node) { return relative(node, &TreeNode::parent); }

HWSM_NODE WsmFindNodeNextSibling(HWSM_NODE node) { return relative(node, &TreeNode::nextSibling); }

HWSM_NODE WsmFindNodePrevSibling(HWSM_NODE node) { return relative(node, &TreeNode::previousSibling); }

}  // extern "C"
