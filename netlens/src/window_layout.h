// Where a secondary window stands, kept under "Layouts\<window>": "Top" and
// "Left", and for windows the user may size, "Width" and "Height".
#pragma once

#include <QSize>

class QWidget;

namespace netlens {

struct WindowPlace {
  const char* section;  // "Layouts\\Set" ...
  int top = 20;
  int left = 20;
  QSize size;  // empty: the window keeps its designed size, which is not stored
};

void restoreWindowPlace(QWidget& window, const WindowPlace& place);
void storeWindowPlace(const QWidget& window, const WindowPlace& place);

}  // namespace netlens
