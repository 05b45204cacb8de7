// MessageBox as a Qt dialog.
#include "platform/gui_bridge.h"
#include "platform/message_box.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>

namespace platform::gui {
namespace {

QMessageBox::Icon iconOf(unsigned type) {
  switch (type & MB_ICONMASK) {
    case MB_ICONSTOP:
      return QMessageBox::Critical;
    case MB_ICONQUESTION:
      return QMessageBox::Question;
    case MB_ICONWARNING:
      return QMessageBox::Warning;
    case MB_ICONINFORMATION:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

struct ButtonSet {
  QMessageBox::StandardButtons buttons;
  QMessageBox::StandardButton first;
  QMessageBox::StandardButton second;
};

ButtonSet buttonsOf(unsigned type) {
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
      return {QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok, QMessageBox::Cancel};
    case MB_YESNO:
      return {QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes, QMessageBox::No};
    case MB_YESNOCANCEL:
      return {QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes, QMessageBox::No};
    default:
      return {QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Ok};
  }
}

int answerOf(int button) {
  switch (button) {
    case QMessageBox::Ok:
      return IDOK;
    case QMessageBox::Yes:
      return IDYES;
    case QMessageBox::No:
      return IDNO;
    default:
      return IDCANCEL;
  }
}

// The box text keeps its line breaks; "\r\n" becomes one of them.
QString boxText(const char* text) { return QString::fromUtf8(text ? text : "").remove(QLatin1Char('\r')); }

int showDialog(const char* text, const char* caption, unsigned type) {
  ButtonSet buttons = buttonsOf(type);
  QMessageBox box(iconOf(type), QString::fromUtf8(caption ? caption : ""), boxText(text), buttons.buttons,
                  QApplication::activeWindow());
  box.setDefaultButton((type & MB_DEFMASK) == MB_DEFBUTTON2 ? buttons.second : buttons.first);
  return answerOf(box.exec());
}

int showMessageBox(HWND, const char* text, const char* caption, unsigned type) {
  auto* application = qobject_cast<QApplication*>(QCoreApplication::instance());
  if (!application || QCoreApplication::closingDown()) return messageBoxOnStderr(text, caption, type);
  if (QThread::currentThread() == application->thread()) return showDialog(text, caption, type);
  int answer = IDCANCEL;
  QMetaObject::invokeMethod(
      application, [&] { answer = showDialog(text, caption, type); }, Qt::BlockingQueuedConnection);
  return answer;
}

}  // namespace

void installMessageBoxDialogs() { setMessageBoxHook(showMessageBox); }

}  // namespace platform::gui
