// Ranges, table rows and row images of the info windows.
#include "info_ranges.h"

#include "mib_node.h"

#include <limits>

namespace netlens {
namespace {

constexpr int kScalarImage = 4;
constexpr int kColumnImage = 20;
constexpr int kOtherOverlay = 3;
constexpr int kLocalTimeoutImage = 8;
constexpr int kRemoteTimeoutImage = 14;
constexpr int kTimeoutOverlay = 1;
constexpr smiUINT32 kWholeMibBound = 2147483647;

bool endsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

std::vector<WalkRange> standardRanges() {
  return {
      {{1, 3, 6, 1, 2, 1, 1}, {1, 3, 6, 1, 2, 1, 2}},
      {{1, 3, 6, 1, 2, 1, 2}, {1, 3, 6, 1, 2, 1, 2, 2}},
      {{1, 3, 6, 1, 2, 1, 2, 2, 1, 2}, {1, 3, 6, 1, 2, 1, 2, 2, 1, 3}},
      {{1, 3, 6, 1, 2, 1, 2, 2, 1, 7}, {1, 3, 6, 1, 2, 1, 2, 2, 1, 8}},
  };
}

std::optional<WalkRange> subtreeRange(const std::string& rootName) {
  if (rootName == kWholeMibRoot) return WalkRange{{0}, {kWholeMibBound}};
  OwnedOid oid = nodeOid(nodeNamed(rootName));
  if (oid.empty()) return std::nullopt;
  WalkRange range;
  range.start.assign(oid.get().ptr, oid.get().ptr + oid.get().len);
  range.bound = range.start;
  // The largest last sub-identifier has no successor: the bound moves up.
  while (!range.bound.empty() && range.bound.back() == std::numeric_limits<smiUINT32>::max()) range.bound.pop_back();
  if (range.bound.empty()) return std::nullopt;
  ++range.bound.back();
  return range;
}

bool tableRowWanted(const std::string& oidText, const std::string& entryOidText,
                    const std::vector<std::string>& indexes) {
  if (oidText.compare(0, entryOidText.size() + 1, entryOidText + ".") != 0) return false;
  if (indexes.empty()) return true;
  for (const std::string& index : indexes) {
    if (endsWith(oidText, "." + index)) return true;
  }
  return false;
}

RowImage rowImage(const std::string& rowName) {
  size_t dot = rowName.find('.');
  std::string suffix = dot == std::string::npos ? std::string() : rowName.substr(dot + 1);
  HWSM_NODE node = nodeNamed(rowName.substr(0, dot));
  if (node && suffix == "0") return {kScalarImage, 0};
  HWSM_NODE parent = node ? WsmFindNodeParent(node) : 0;
  if (parent && endsWithWord(nodeName(parent), "Entry")) return {kColumnImage, 0};
  return {kScalarImage, kOtherOverlay};
}

RowImage timeoutRowImage(bool localAgent) {
  return {localAgent ? kLocalTimeoutImage : kRemoteTimeoutImage, kTimeoutOverlay};
}

}  // namespace netlens
