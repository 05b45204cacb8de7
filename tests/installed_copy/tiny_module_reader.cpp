// The module library's side of an installed copy: with no module
// registered, a name maps to no node, and the library says why.
#include <wsm.h>

#include <cstdio>

int main() {
  HWSM_NODE node = WsmMapStrToNode("sysDescr");
  std::printf("node %s, error %u\n", node ? "found" : "not found", static_cast<unsigned>(WsmGetLastError()));
  return node ? 1 : 0;
}
