// The drop-down history lists: the items of an editable box, newest first,
// at most `capacity` of them besides the box's own text. The main window
// keeps the lists of agents, communities and ports; the other windows'
// boxes borrow them while they have the focus and give them back after.
#pragma once

#include <QString>

class QComboBox;

namespace netlens {

class HistoryLists {
 public:
  int capacity() const { return capacity_; }
  void setCapacity(int capacity) { capacity_ = capacity < 0 ? 0 : capacity; }
  // While a bulk window operation runs, no list changes.
  void setBulkOperation(bool running) { bulkOperation_ = running; }
  bool bulkOperation() const { return bulkOperation_; }

  // Puts `text` at the top of the box's list unless the list has it already
  // (compared with case) or it is empty or "0.0.0.0"; the item beyond the capacity
  // goes. The box's text stays.
  void add(QComboBox& box, const QString& text) const;
  // The value prefix + "0" becomes the box's text and first item, then
  // prefix + 1 ... prefix + (capacity + 1) are added in turn, each to the top.
  void load(const char* section, const char* prefix, const QString& fallback, QComboBox& box) const;
  // Rewrites the section: the box's text as prefix + "0", the items from the
  // top as prefix + 1, 2 ...
  void save(const char* section, const char* prefix, const QComboBox& box) const;
  // Writes the values of `save` into a section that other lists share, and
  // that the caller has emptied first.
  void write(const char* section, const char* prefix, const QComboBox& box) const;
  // Gives `target` the items of `source` in the same order, keeping
  // target's text (or taking its first item when it has none).
  void copyInto(QComboBox& target, const QComboBox& source) const;
  // Adds the items of `source` to `target`, the first item first.
  void mergeBack(const QComboBox& source, QComboBox& target) const;

 private:
  int capacity_ = 25;
  bool bulkOperation_ = false;
};

// Empties the box's list; its text stays.
void clearHistory(QComboBox& box);

}  // namespace netlens
