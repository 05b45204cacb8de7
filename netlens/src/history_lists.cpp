// The drop-down history lists and their registry form.
#include "history_lists.h"

#include "settings_key.h"

#include <QComboBox>
#include <QSignalBlocker>

namespace netlens {
namespace {

// Changing the items of an editable box can replace its text (removing
// the current item, or adding the first one); these changes never should.
class KeepText {
 public:
  explicit KeepText(QComboBox& box) : box_(box), text_(box.currentText()), blocker_(box) {}
  ~KeepText() {
    if (box_.currentText() != text_) box_.setEditText(text_);
  }

 private:
  QComboBox& box_;
  QString text_;
  QSignalBlocker blocker_;
};

QString valueName(const char* prefix, int index) { return QString::fromLatin1(prefix) + QString::number(index); }

}  // namespace

void HistoryLists::add(QComboBox& box, const QString& text) const {
  if (bulkOperation_ || text.isEmpty() || text == QLatin1String("0.0.0.0")) return;
  if (box.findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive) >= 0) return;
  KeepText keep(box);
  box.insertItem(0, text);
  if (box.count() > capacity_) box.removeItem(capacity_);
}

void HistoryLists::load(const char* section, const char* prefix, const QString& fallback, QComboBox& box) const {
  SettingsKey key(section);
  QString first = key.readString(valueName(prefix, 0).toLatin1().constData(), fallback);
  {
    QSignalBlocker blocker(box);
    box.clear();
    if (!first.isEmpty()) box.addItem(first);
    box.setEditText(first);
  }
  for (int index = 1; index <= capacity_ + 1; ++index) {
    QString item = key.readString(valueName(prefix, index).toLatin1().constData(), QString());
    if (!item.isEmpty()) add(box, item);
  }
  if (box.currentText().isEmpty() && box.count() > 0) box.setEditText(box.itemText(0));
  if (box.currentText().isEmpty() && box.count() > 1) box.setEditText(box.itemText(1));
}

void HistoryLists::save(const char* section, const char* prefix, const QComboBox& box) const {
  SettingsKey(section).erase();
  write(section, prefix, box);
}

void HistoryLists::write(const char* section, const char* prefix, const QComboBox& box) const {
  SettingsKey key(section);
  key.writeString(valueName(prefix, 0).toLatin1().constData(), box.currentText());
  for (int index = 0; index < box.count(); ++index) {
    key.writeString(valueName(prefix, index + 1).toLatin1().constData(), box.itemText(index));
  }
}

void HistoryLists::copyInto(QComboBox& target, const QComboBox& source) const {
  QString text = target.currentText();
  for (int index = source.count() - 1; index >= 0; --index) add(target, source.itemText(index));
  QSignalBlocker blocker(target);
  target.setEditText(text.isEmpty() && target.count() > 0 ? target.itemText(0) : text);
}

void HistoryLists::mergeBack(const QComboBox& source, QComboBox& target) const {
  for (int index = 0; index < source.count(); ++index) add(target, source.itemText(index));
}

void clearHistory(QComboBox& box) {
  KeepText keep(box);
  box.clear();
}

}  // namespace netlens
