// The agent's ordered object store.
#include "mib_view.h"

#include <charconv>

namespace simagent {

std::string oidToText(const Oid& oid) {
  std::string text;
  for (size_t i = 0; i < oid.size(); ++i) {
    if (i) text += '.';
    text += std::to_string(oid[i]);
  }
  return text;
}

std::optional<Oid> oidFromText(const std::string& text) {
  Oid oid;
  const char* position = text.data();
  const char* end = position + text.size();
  if (position != end && *position == '.') ++position;
  while (position != end) {
    uint32_t value = 0;
    auto [next, error] = std::from_chars(position, end, value);
    if (error != std::errc() || next == position) return std::nullopt;
    oid.push_back(value);
    position = next;
    if (position != end) {
      if (*position != '.' || position + 1 == end) return std::nullopt;
      ++position;
    }
  }
  if (oid.empty()) return std::nullopt;
  return oid;
}

void MibView::put(const Oid& name, const Value& value, bool writable) {
  entries_[name] = Entry{VarBind{name, value}, writable};
}

const Value* MibView::get(const Oid& name) const {
  auto found = entries_.find(name);
  return found == entries_.end() ? nullptr : &found->second.binding.value;
}

const VarBind* MibView::next(const Oid& name) const {
  auto found = entries_.upper_bound(name);
  return found == entries_.end() ? nullptr : &found->second.binding;
}

MibView::SetOutcome MibView::check(const Oid& name, const Value& value) const {
  auto found = entries_.find(name);
  if (found == entries_.end()) return SetOutcome::noSuchName;
  if (!found->second.writable) return SetOutcome::notWritable;
  if (found->second.binding.value.syntax != value.syntax) return SetOutcome::wrongType;
  return SetOutcome::changed;
}

MibView::SetOutcome MibView::set(const Oid& name, const Value& value) {
  SetOutcome outcome = check(name, value);
  if (outcome == SetOutcome::changed) entries_.find(name)->second.binding.value = value;
  return outcome;
}

}  // namespace simagent
