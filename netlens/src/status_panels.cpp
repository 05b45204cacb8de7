// The main window's status-bar panels.
#include "status_panels.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
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

StatusTextPanel::StatusTextPanel(QWidget* parent) : QLabel(parent) {
  setObjectName(QStringLiteral("StatusPanelText"));
  setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
}

QSize StatusTextPanel::minimumSizeHint() const { return QSize(40, QLabel::minimumSizeHint().height()); }

void StatusTextPanel::setText(const QString& text) {
  QLabel::setText(text);
  setToolTip(text);
}

void StatusTextPanel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  drawFrame(&painter);
  QRect room = contentsRect().adjusted(margin() + 2, 0, -margin() - 2, 0);
  QString shown = fontMetrics().elidedText(text(), Qt::ElideRight, room.width());
  style()->drawItemText(&painter, room, Qt::AlignLeft | Qt::AlignVCenter, palette(), isEnabled(), shown,
                        foregroundRole());
}

QLabel* statusPanel(QWidget* parent, const char* name, int width) {
  auto* panel = new QLabel(parent);
  panel->setObjectName(QString::fromLatin1(name));
  panel->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  panel->setFixedWidth(width);
  panel->setAlignment(Qt::AlignCenter);
  return panel;
}

}  // namespace netlens
