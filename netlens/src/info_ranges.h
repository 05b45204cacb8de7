// What an info window walks and how it shows each row: the walk ranges of
// its kind, the rows a table window keeps, and the images of the rows.
#pragma once

#include "winsnmp.h"

#include <optional>
#include <string>
#include <vector>

namespace netlens {

// The marker that stands for the whole MIB as a subtree root.
inline constexpr char kWholeMibRoot[] = "NLENS32_INFO_FULL_TREE";
// An info window walks at most this many ranges in one poll.
inline constexpr size_t kMaximumRanges = 6;

struct WalkRange {
  std::vector<smiUINT32> start;
  std::vector<smiUINT32> bound;
};

// The system group, ifNumber, ifDescr and ifAdminStatus.
std::vector<WalkRange> standardRanges();
// The subtree of a node of the loaded MIB, or of the whole MIB for
// kWholeMibRoot; nullopt when the node is not known.
std::optional<WalkRange> subtreeRange(const std::string& rootName);

// Whether a table window shows a binding: its OID lies under the Entry's
// and ends with "." + one of the chosen indexes (any, when none is chosen).
bool tableRowWanted(const std::string& oidText, const std::string& entryOidText,
                    const std::vector<std::string>& indexes);

struct RowImage {
  int image;
  int overlay;
};
// A row's image, from its name ("sysDescr.0", "ifDescr.2"): a scalar
// instance, a table column's instance, or anything else.
RowImage rowImage(const std::string& rowName);
RowImage timeoutRowImage(bool localAgent);

}  // namespace netlens
