// Reading and writing window positions and sizes.
#include "window_layout.h"

#include "settings_key.h"

#include <QWidget>

namespace netlens {

void restoreWindowPlace(QWidget& window, const WindowPlace& place) {
  SettingsKey key(place.section);
  window.move(key.readNumber("Left", place.left), key.readNumber("Top", place.top));
  if (!place.size.isEmpty()) {
    window.resize(key.readNumber("Width", place.size.width()), key.readNumber("Height", place.size.height()));
  }
}

void storeWindowPlace(const QWidget& window, const WindowPlace& place) {
  SettingsKey key(place.section);
  key.writeNumber("Top", window.y());
  key.writeNumber("Left", window.x());
  if (!place.size.isEmpty()) {
    key.writeNumber("Width", window.width());
    key.writeNumber("Height", window.height());
  }
}

}  // namespace netlens
