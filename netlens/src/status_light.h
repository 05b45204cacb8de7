// The status light: a three-lamp traffic light (red, yellow, green) that an
// owner draws into one of its panels, animated by a timer. The main window,
// the Set window and the info windows each own one as their activity
// indicator.
#pragma once

#include <QColor>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QTimer>
#include <QWidget>

class QPainter;

// Any int is a value of it, so that a state from elsewhere can be checked.
enum TSemaphoreState : int {
  SEM_STOP,
  SEM_PREPARE_STOP,
  SEM_PREPARE_GO,
  SEM_GO,
  SEM_IDLE,
  SEM_WORKING,
  SEM_ERROR,
  SEM_GO_WORKING,
  SEM_BROKEN,
};

class TSemaphore : public QObject {
  Q_OBJECT

 public:
  // Lamp bits.
  static constexpr int kRed = 1;
  static constexpr int kYellow = 2;
  static constexpr int kGreen = 4;
  // One lamp, in device-independent pixels.
  static constexpr int kLampSize = 12;

  // Starts in SEM_IDLE with the yellow lamp lit and the timer running.
  explicit TSemaphore(QObject* owner = nullptr);

  int Interval() const { return interval_; }
  void setInterval(int milliseconds);
  // The widget the lamps are drawn into; null draws nothing, though the
  // states still advance.
  QWidget* ClientHandle() const { return client_; }
  void setClientHandle(QWidget* client) { client_ = client; }
  int LightHeight() const { return kLampSize; }
  int LightWidth() const { return kLampSize; }
  TSemaphoreState SemaphoreState() const { return state_; }
  // A new state restarts the timer and takes effect at once; the state it
  // already has changes nothing, not even the blinking phase.
  void setSemaphoreState(TSemaphoreState state);
  void setBackgroundColor(const QColor& color) { background_ = color; }
  QColor backgroundColor() const { return background_; }

  // Lays the lamps out in a panel: centred vertically, the first one
  // (panel width / 3 - lamp height) / 2 + 1 from the left edge, each next one
  // a lamp width plus the same gap further right.
  void placeInPanel(const QRect& panel);
  void setLampRects(const QRect& red, const QRect& yellow, const QRect& green);
  // Paints the three lamps at their rectangles; called from the client's
  // paint handler.
  void draw(QPainter& painter) const;

  int lampBits() const { return bits_; }
  // One animation step: what the timer does, and what a state change does
  // at once.
  void tick();

 private:
  void drawLamp(QPainter& painter, const QRect& place, const QColor& lit, bool on) const;

  QTimer timer_;
  int interval_ = 1000;
  QPointer<QWidget> client_;
  TSemaphoreState state_ = SEM_IDLE;
  TSemaphoreState previous_ = SEM_IDLE;
  QColor background_;
  QRect lamps_[3];
  int bits_ = kYellow;
};

// A status-bar panel that shows a status light: it is the light's client,
// places the lamps whenever its size changes and paints them.
class SemaphorePanel : public QWidget {
  Q_OBJECT

 public:
  SemaphorePanel(TSemaphore* semaphore, QWidget* parent);
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  TSemaphore* semaphore_;
};
