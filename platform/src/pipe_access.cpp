// Pipe security and the check of each client's credentials.
#include "pipe_access.h"

#include <grp.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace platform {
namespace {

constexpr uint32_t kRuleMarker = 0x50495045;  // "PIPE"

}  // namespace

PipeSecurity::PipeSecurity() : attributes_{}, rule_{kRuleMarker, 0, 0} {
  attributes_.nLength = sizeof attributes_;
  attributes_.lpSecurityDescriptor = &rule_;
  attributes_.bInheritHandle = FALSE;
}

bool PipeSecurity::allowGroup(const char* groupName) {
  if (!groupName || !*groupName) return false;
  group entry{};
  group* found = nullptr;
  std::vector<char> scratch(16384);
  if (getgrnam_r(groupName, &entry, scratch.data(), scratch.size(), &found) != 0 || !found) return false;
  rule_.groupAllowed = 1;
  rule_.groupId = static_cast<uint32_t>(found->gr_gid);
  return true;
}

}  // namespace platform

namespace platform::detail {
namespace {

// Whether the user belongs to the group, as primary or supplementary group.
bool userInGroup(uid_t user, gid_t primary, gid_t wanted) {
  if (primary == wanted) return true;
  passwd entry{};
  passwd* found = nullptr;
  std::vector<char> scratch(16384);
  if (getpwuid_r(user, &entry, scratch.data(), scratch.size(), &found) != 0 || !found) return false;
  int count = 64;
  std::vector<gid_t> groups(static_cast<size_t>(count));
  if (getgrouplist(found->pw_name, primary, groups.data(), &count) < 0) {
    groups.resize(static_cast<size_t>(count));
    if (getgrouplist(found->pw_name, primary, groups.data(), &count) < 0) return false;
  }
  for (int i = 0; i < count; ++i) {
    if (groups[static_cast<size_t>(i)] == wanted) return true;
  }
  return false;
}

}  // namespace

bool readPipeAccess(const SECURITY_ATTRIBUTES* security, PipeAccess& access) {
  access = PipeAccess{};
  if (!security || !security->lpSecurityDescriptor) return true;
  const auto* rule = static_cast<const PipeAccessRule*>(security->lpSecurityDescriptor);
  if (rule->marker != kRuleMarker) return false;
  access.groupAllowed = rule->groupAllowed != 0;
  access.group = static_cast<gid_t>(rule->groupId);
  return true;
}

bool peerMayConnect(int socket, const PipeAccess& access) {
  ucred credentials{};
  socklen_t length = sizeof credentials;
  if (getsockopt(socket, SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0) return false;
  if (credentials.uid == geteuid()) return true;
  return access.groupAllowed && userInGroup(credentials.uid, credentials.gid, access.group);
}

}  // namespace platform::detail
