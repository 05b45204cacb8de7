// The status light's animation and its lamps.
#include "status_light.h"

#include <QApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QPalette>
#include <QRadialGradient>

namespace {

constexpr int kNormalInterval = 1000;
constexpr int kBrokenInterval = 100;

// A lamp that blinks: its bit inverted, the other lamps of `steady` kept.
int blinking(int bits, int lamp, int steady) { return ((bits ^ lamp) & lamp) | steady; }

}  // namespace

TSemaphore::TSemaphore(QObject* owner) : QObject(owner), background_(QApplication::palette().color(QPalette::Button)) {
  timer_.setInterval(interval_);
  connect(&timer_, &QTimer::timeout, this, &TSemaphore::tick);
  timer_.start();
}

void TSemaphore::setInterval(int milliseconds) {
  if (milliseconds == interval_) return;
  interval_ = milliseconds;
  timer_.setInterval(interval_);
}

void TSemaphore::setSemaphoreState(TSemaphoreState state) {
  if (state == state_) return;
  state_ = state;
  timer_.start();
  tick();
}

void TSemaphore::tick() {
  if (state_ < SEM_STOP || state_ > SEM_BROKEN) state_ = SEM_ERROR;
  setInterval(state_ == SEM_BROKEN ? kBrokenInterval : kNormalInterval);
  bool entering = state_ != previous_;
  switch (state_) {
    case SEM_STOP: bits_ = kRed; break;
    case SEM_PREPARE_STOP: bits_ = kYellow; break;
    case SEM_PREPARE_GO: bits_ = kRed | kYellow; break;
    case SEM_GO: bits_ = kGreen; break;
    case SEM_IDLE: bits_ = blinking(bits_, kYellow, 0); break;
    case SEM_ERROR: bits_ = blinking(bits_, kRed, 0); break;
    case SEM_WORKING:
      // Entering lights red and yellow together, and yellow goes off at once.
      if (entering) bits_ = kRed | kYellow;
      bits_ = blinking(bits_, kYellow, kRed);
      break;
    case SEM_GO_WORKING:
      if (entering) bits_ = kGreen | kYellow;
      bits_ = blinking(bits_, kYellow, kGreen);
      break;
    case SEM_BROKEN:
      // One lamp runs round: red, yellow, green, red ...
      if (entering || (bits_ != kRed && bits_ != kYellow && bits_ != kGreen)) bits_ = kRed;
      else bits_ = bits_ == kGreen ? kRed : bits_ << 1;
      break;
  }
  previous_ = state_;
  if (client_) client_->update();
}

void TSemaphore::placeInPanel(const QRect& panel) {
  int gap = (panel.width() / 3 - LightHeight()) / 2 + 1;
  int top = panel.top() + (panel.height() - LightHeight()) / 2;
  int left = panel.left() + gap;
  for (QRect& lamp : lamps_) {
    lamp = QRect(left, top, LightWidth(), LightHeight());
    left += LightWidth() + gap;
  }
}

void TSemaphore::setLampRects(const QRect& red, const QRect& yellow, const QRect& green) {
  lamps_[0] = red;
  lamps_[1] = yellow;
  lamps_[2] = green;
}

void TSemaphore::draw(QPainter& painter) const {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  drawLamp(painter, lamps_[0], QColor(230, 30, 30), bits_ & kRed);
  drawLamp(painter, lamps_[1], QColor(250, 200, 20), bits_ & kYellow);
  drawLamp(painter, lamps_[2], QColor(30, 200, 50), bits_ & kGreen);
  painter.restore();
}

// A lamp is a disc with a dark rim; lit, it glows from a highlight at its
// upper left, off it is a dull grey. Drawn as shapes, so it stays sharp at
// any scale.
void TSemaphore::drawLamp(QPainter& painter, const QRect& place, const QColor& lit, bool on) const {
  if (place.isEmpty()) return;
  painter.fillRect(place, background_);
  QRectF disc = QRectF(place).adjusted(0.75, 0.75, -0.75, -0.75);
  QColor body = on ? lit : QColor(150, 150, 150);
  QRadialGradient glow(disc.left() + disc.width() * 0.35, disc.top() + disc.height() * 0.35, disc.width() * 0.7);
  glow.setColorAt(0, on ? body.lighter(170) : QColor(205, 205, 205));
  glow.setColorAt(1, on ? body : body.darker(115));
  painter.setPen(QPen(on ? body.darker(170) : QColor(95, 95, 95), 1.0));
  painter.setBrush(glow);
  painter.drawEllipse(disc);
}

SemaphorePanel::SemaphorePanel(TSemaphore* semaphore, QWidget* parent) : QWidget(parent), semaphore_(semaphore) {
  semaphore_->setClientHandle(this);
  semaphore_->setBackgroundColor(palette().color(QPalette::Window));
  setFixedWidth(56);
}

QSize SemaphorePanel::sizeHint() const { return QSize(56, TSemaphore::kLampSize + 6); }

void SemaphorePanel::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  semaphore_->placeInPanel(rect());
}

void SemaphorePanel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  semaphore_->draw(painter);
}
