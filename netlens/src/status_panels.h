// Status-bar panels of the main window that answer the mouse: the size
// arrow, which cycles the Query tab's size state when clicked and explains
// itself after the mouse has rested on it for a second.
#pragma once

#include <QLabel>
#include <QTimer>

namespace netlens {

class StatusPanelLabel : public QLabel {
  Q_OBJECT

 public:
  StatusPanelLabel(const QString& hint, QWidget* parent);

 signals:
  void clicked();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  QString hint_;
  QTimer hintDelay_;
};

// The status text: a sunken panel that takes the width left over and
// shortens a text too long for it with "...", showing it whole as its hint.
class StatusTextPanel : public QLabel {
  Q_OBJECT

 public:
  explicit StatusTextPanel(QWidget* parent);
  QSize minimumSizeHint() const override;
  void setText(const QString& text);

 protected:
  void paintEvent(QPaintEvent* event) override;
};

// A sunken status-bar panel of a fixed width.
QLabel* statusPanel(QWidget* parent, const char* name, int width);

}  // namespace netlens
