// Histories borrowed from the main window, and numbers read from boxes.
#include "browser_host.h"

#include "browser_texts.h"

#include "platform/message_box.h"

#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QRegularExpression>

namespace netlens {
namespace {

class HistoryBorrower : public QObject {
 public:
  HistoryBorrower(QComboBox& box, SharedHistory which, BrowserHost& host)
      : QObject(&box), box_(box), which_(which), host_(host) {}

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    // The box's own drop-down list takes the focus for a moment; that is
    // neither entering nor leaving.
    if (event->type() == QEvent::FocusIn && static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
      host_.histories().copyInto(box_, host_.historyBox(which_));
    } else if (event->type() == QEvent::FocusOut &&
               static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
      host_.histories().add(box_, box_.currentText());
      host_.histories().mergeBack(box_, host_.historyBox(which_));
    }
    return false;
  }

 private:
  QComboBox& box_;
  SharedHistory which_;
  BrowserHost& host_;
};

}  // namespace

void shareHistory(QComboBox& box, SharedHistory which, BrowserHost& host) {
  box.installEventFilter(new HistoryBorrower(box, which, host));
}

std::optional<int> integerFromText(const QString& text) {
  static const QRegularExpression shape(QStringLiteral("^\\s*[+-]?[0-9]+\\s*$"));
  bool ok = false;
  int number = text.trimmed().toInt(&ok);
  if (shape.match(text).hasMatch() && ok) return number;
  QByteArray message = (QStringLiteral("'") + text + QStringLiteral("' is not a valid integer value.")).toUtf8();
  MessageBoxA(nullptr, message.constData(), kApplicationTitle, MB_OK | MB_ICONERROR);
  return std::nullopt;
}

}  // namespace netlens
