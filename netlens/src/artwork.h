// The browser's pictures, drawn as shapes so that they are sharp at every
// screen scale: the MIB tree's image list, the toolbar glyphs, the status
// bar's size arrows and trap alarm, and the splash picture.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace netlens::artwork {

// Images of the tree image list by index (0 .. 22), 16 x 16; indexes
// without a picture of their own are empty.
QPixmap treeImage(int index, qreal scale = 1.0);
// A tree node's icon: its image, its selected image and an overlay (1 .. 3
// stand for the images 15, 12 and 22; 0 for none).
QIcon treeNodeIcon(int image, int selectedImage, int overlay);
// An image of the list as an icon (module lists).
QIcon listImage(int index);

enum class Glyph {
  contact,
  query,
  set,
  abort,
  discover,
  info,
  trapRinger,
  nodeInfo,
  compiler,
  copy,
  clear,
  help,
  homePage,
  loadAll,
  loadSelected,
  refresh,
  unloadSelected,
  unloadAll,
  goToBrowser,
  sizeDown,
  sizeUp,
  sizeMax,
};
QIcon glyph(Glyph which);

// Status panel 3: the Query tab's size state (0 both, 1 tree enlarged,
// 2 results enlarged); greyed on the other tabs.
QPixmap sizeArrow(int sizeState, bool enabled, qreal scale);
// Status panel 4: 0 no traps, 1 ringing (with its flash phase), 2
// acknowledged.
QPixmap trapAlarm(int alarmState, bool flash, qreal scale);

// The splash and about windows' picture.
QPixmap splashPicture(qreal scale);

}  // namespace netlens::artwork
