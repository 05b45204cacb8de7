// The main window's status-bar panels.
#include "status_panels.h"

#include <QMouseEvent>
#include <QToolTip>

namespace netlens {

StatusPanelLabel::StatusPanelLabel(const QString& hint, QWidget* parent) : QLabel(parent), hint_(hint) {
  hintDelay_.setSingleShot(true);
  hintDelay_.setInterval(1000);
  connect(&hintDelay_, &QTimer::timeout, this,
          [this] { QToolTip::showText(QCursor::pos(), hint_, this, rect(), 3000); });
}

void StatusPanelLabel::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) emit clicked();
  QLabel::mousePressEvent(event);
}

void StatusPanelLabel::enterEvent(QEnterEvent* event) {
  hintDelay_.start();
  QLabel::enterEvent(event);
}

void StatusPanelLabel::leaveEvent(QEvent* event) {
  hintDelay_.stop();
  QToolTip::hideText();
  QLabel::leaveEvent(event);
}

QLabel* statusPanel(QWidget* parent, const char* name, int width) {
  auto* panel = new QLabel(parent);
  panel->setObjectName(QString::fromLatin1(name));
  panel->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  if (width) {
    panel->setFixedWidth(width);
    panel->setAlignment(Qt::AlignCenter);
  }
  return panel;
}

}  // namespace netlens
