// The about window: the program's name, its version, and the system and
// libraries it runs on. At start it greets the user instead.
#pragma once

#include <QDialog>

class QPushButton;

namespace netlens {

class TFormAbout : public QDialog {
  Q_OBJECT

 public:
  explicit TFormAbout(QWidget* owner);
  // The welcome at start ("&Continue") or the about box ("O&K").
  void setWelcome(bool welcome);

 private:
  QPushButton* ButtonOk;
};

}  // namespace netlens
