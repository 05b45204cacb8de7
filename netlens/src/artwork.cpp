// Drawing the browser's pictures. Coordinates are in a 16 x 16 grid (lines
// on half pixels, so that one-pixel strokes stay sharp at 1x) and every
// picture is rendered again for 2x screens.
#include "artwork.h"

#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <functional>

namespace netlens::artwork {
namespace {

using Paint = std::function<void(QPainter&)>;

const QColor kOutline(60, 60, 70);
const QColor kFolder(236, 196, 82);
const QColor kFolderDark(184, 134, 30);
const QColor kBlue(40, 100, 190);
const QColor kLightBlue(200, 220, 250);
const QColor kGreen(40, 150, 60);
const QColor kRed(200, 40, 40);
const QColor kPaper(252, 252, 248);

QPixmap render(QSize logical, qreal scale, const Paint& paint) {
  QPixmap pixmap(logical * scale);
  pixmap.setDevicePixelRatio(scale);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  paint(painter);
  return pixmap;
}

QIcon iconOf(const Paint& paint) {
  QIcon icon;
  icon.addPixmap(render(QSize(16, 16), 1.0, paint));
  icon.addPixmap(render(QSize(16, 16), 2.0, paint));
  return icon;
}

void outlined(QPainter& painter, const QColor& fill, const QColor& line = kOutline) {
  painter.setPen(QPen(line, 1.0));
  painter.setBrush(fill);
}

void folder(QPainter& painter, bool open) {
  outlined(painter, kFolderDark.lighter(130), kFolderDark.darker(130));
  QPainterPath back;
  back.moveTo(1.5, 3.5);
  back.lineTo(6.0, 3.5);
  back.lineTo(7.5, 5.0);
  back.lineTo(13.5, 5.0);
  back.lineTo(13.5, 13.5);
  back.lineTo(1.5, 13.5);
  back.closeSubpath();
  painter.drawPath(back);
  outlined(painter, kFolder, kFolderDark.darker(130));
  if (open) {
    QPolygonF front{{3.5, 7.5}, {15.5, 7.5}, {13.5, 13.5}, {1.5, 13.5}};
    painter.drawPolygon(front);
  } else {
    painter.drawRect(QRectF(1.5, 6.5, 12.0, 7.0));
  }
}

// A small table: header row and a 3 x 3 grid; `row` or `column` (0 .. 2)
// are picked out.
void grid(QPainter& painter, int row, int column, bool selected) {
  QRectF frame(1.5, 2.5, 13.0, 11.0);
  outlined(painter, kPaper);
  painter.drawRect(frame);
  painter.fillRect(QRectF(2.0, 3.0, 12.0, 2.5), selected ? kBlue.lighter(120) : kBlue);
  const qreal cellWidth = 12.0 / 3, cellHeight = 8.0 / 3;
  if (row >= 0) painter.fillRect(QRectF(2.0, 5.5 + row * cellHeight, 12.0, cellHeight), QColor(250, 200, 60));
  if (column >= 0) painter.fillRect(QRectF(2.0 + column * cellWidth, 5.5, cellWidth, 8.0), kGreen.lighter(150));
  painter.setPen(QPen(QColor(150, 150, 160), 1.0));
  for (int line = 1; line < 3; ++line) {
    painter.drawLine(QPointF(1.5 + line * cellWidth + 0.5, 5.5), QPointF(1.5 + line * cellWidth + 0.5, 13.0));
    painter.drawLine(QPointF(2.0, 5.5 + line * cellHeight), QPointF(14.0, 5.5 + line * cellHeight));
  }
  painter.setPen(QPen(kOutline, 1.0));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(frame);
}

// A variable: a sheet with a folded corner and value lines.
void variable(QPainter& painter, bool selected) {
  outlined(painter, selected ? kLightBlue : kPaper);
  QPolygonF sheet{{3.5, 1.5}, {10.0, 1.5}, {12.5, 4.0}, {12.5, 14.5}, {3.5, 14.5}};
  painter.drawPolygon(sheet);
  painter.drawPolyline(QPolygonF{{10.0, 1.5}, {10.0, 4.0}, {12.5, 4.0}});
  painter.setPen(QPen(kBlue, 1.0));
  for (qreal y : {6.5, 8.5, 10.5, 12.5}) painter.drawLine(QPointF(5.0, y), QPointF(y == 12.5 ? 8.0 : 11.0, y));
}

// A table column: a sheet with one column of cells.
void columnCells(QPainter& painter, bool selected) {
  outlined(painter, selected ? kLightBlue : kPaper);
  painter.drawRect(QRectF(4.5, 1.5, 7.0, 13.0));
  painter.fillRect(QRectF(5.0, 2.0, 6.0, 2.5), kBlue);
  painter.setPen(QPen(QColor(150, 150, 160), 1.0));
  for (qreal y : {7.5, 10.5}) painter.drawLine(QPointF(5.0, y), QPointF(11.0, y));
  painter.setPen(QPen(kGreen, 1.0));
  for (qreal y : {6.0, 9.0, 12.5}) painter.drawLine(QPointF(6.0, y), QPointF(10.0, y));
}

// The root: three nodes joined as a tree.
void treeRoot(QPainter& painter, bool selected) {
  painter.setPen(QPen(kOutline, 1.0));
  painter.drawPolyline(QPolygonF{{4.5, 5.0}, {4.5, 12.5}, {9.0, 12.5}});
  painter.drawLine(QPointF(4.5, 8.5), QPointF(9.0, 8.5));
  outlined(painter, selected ? kFolder : kGreen.lighter(130));
  painter.drawEllipse(QRectF(1.5, 1.5, 6.0, 6.0));
  outlined(painter, kLightBlue);
  painter.drawRect(QRectF(9.5, 6.5, 5.0, 4.0));
  painter.drawRect(QRectF(9.5, 10.5, 5.0, 4.0));
}

void warningSign(QPainter& painter) {
  outlined(painter, QColor(250, 210, 40), QColor(150, 110, 0));
  painter.drawPolygon(QPolygonF{{8.0, 1.5}, {15.0, 14.5}, {1.0, 14.5}});
  painter.setPen(QPen(Qt::black, 1.6, Qt::SolidLine, Qt::RoundCap));
  painter.drawLine(QPointF(8.0, 6.0), QPointF(8.0, 10.0));
  painter.drawPoint(QPointF(8.0, 12.5));
}

void noEntrySign(QPainter& painter) {
  outlined(painter, kRed, kRed.darker(140));
  painter.drawEllipse(QRectF(1.5, 1.5, 13.0, 13.0));
  painter.fillRect(QRectF(4.0, 7.0, 8.0, 2.0), Qt::white);
}

void star(QPainter& painter) {
  QPolygonF shape;
  for (int point = 0; point < 10; ++point) {
    qreal radius = point % 2 ? 2.8 : 6.5;
    qreal angle = -M_PI / 2 + point * M_PI / 5;
    shape << QPointF(8.0 + radius * std::cos(angle), 8.5 + radius * std::sin(angle));
  }
  outlined(painter, QColor(250, 200, 40), QColor(170, 120, 0));
  painter.drawPolygon(shape);
}

// A module database: a cylinder.
void database(QPainter& painter) {
  QLinearGradient shade(2.0, 0.0, 14.0, 0.0);
  shade.setColorAt(0, kLightBlue);
  shade.setColorAt(1, kBlue.lighter(130));
  painter.setPen(QPen(kBlue.darker(140), 1.0));
  painter.setBrush(shade);
  QPainterPath body;
  body.moveTo(2.5, 3.5);
  body.lineTo(2.5, 12.5);
  body.arcTo(QRectF(2.5, 10.5, 11.0, 4.0), 180, 180);
  body.lineTo(13.5, 3.5);
  painter.drawPath(body);
  painter.setBrush(kLightBlue.lighter(110));
  painter.drawEllipse(QRectF(2.5, 1.5, 11.0, 4.0));
  painter.setBrush(Qt::NoBrush);
  painter.drawArc(QRectF(2.5, 5.5, 11.0, 4.0), 180 * 16, 180 * 16);
}

// A host with its screen: green for this workstation (image 8), blue for
// an agent elsewhere (image 14).
void host(QPainter& painter, bool local) {
  QColor screen = local ? kGreen.lighter(150) : kLightBlue;
  painter.setPen(QPen(kOutline, 1.0));
  painter.setBrush(QColor(210, 210, 200));
  painter.drawRoundedRect(QRectF(1.5, 1.5, 13.0, 10.0), 1.5, 1.5);
  painter.setBrush(screen);
  painter.drawRect(QRectF(3.5, 3.5, 9.0, 6.0));
  painter.setBrush(QColor(170, 170, 160));
  painter.drawRect(QRectF(5.5, 11.5, 5.0, 2.0));
  painter.drawRect(QRectF(3.5, 13.5, 9.0, 1.5));
}

Paint treePaint(int index) {
  switch (index) {
    case 0: return [](QPainter& p) { folder(p, false); };
    case 1: return [](QPainter& p) { folder(p, true); };
    case 2: return [](QPainter& p) { grid(p, -1, -1, false); };
    case 3: return [](QPainter& p) { grid(p, -1, -1, true); };
    case 4: return [](QPainter& p) { variable(p, false); };
    case 5: return [](QPainter& p) { variable(p, true); };
    case 6: return [](QPainter& p) { grid(p, 1, -1, false); };
    case 7: return [](QPainter& p) { grid(p, 1, -1, true); };
    case 8: return [](QPainter& p) { host(p, true); };
    case 12: return warningSign;
    case 14: return [](QPainter& p) { host(p, false); };
    case 15: return noEntrySign;
    case 16: return database;
    case 18: return [](QPainter& p) { treeRoot(p, false); };
    case 19: return [](QPainter& p) { treeRoot(p, true); };
    case 20: return [](QPainter& p) { columnCells(p, false); };
    case 21: return [](QPainter& p) { columnCells(p, true); };
    case 22: return star;
    default: return [](QPainter&) {};
  }
}

int overlayImage(int overlay) {
  switch (overlay) {
    case 1: return 15;
    case 2: return 12;
    case 3: return 22;
    default: return -1;
  }
}

// An image with an overlay drawn small over its lower left corner.
QPixmap withOverlay(int image, int overlay, qreal scale) {
  int mark = overlayImage(overlay);
  return render(QSize(16, 16), scale, [&](QPainter& painter) {
    treePaint(image)(painter);
    if (mark < 0) return;
    painter.save();
    painter.translate(0, 7);
    painter.scale(9.0 / 16, 9.0 / 16);
    treePaint(mark)(painter);
    painter.restore();
  });
}

void arrow(QPainter& painter, qreal x, qreal tipY, qreal baseY, const QColor& colour) {
  painter.setPen(Qt::NoPen);
  painter.setBrush(colour);
  qreal half = std::abs(baseY - tipY) * 0.75;
  painter.drawPolygon(QPolygonF{{x, tipY}, {x + half, baseY}, {x - half, baseY}});
}

void magnifier(QPainter& painter) {
  painter.setPen(QPen(kOutline, 2.0, Qt::SolidLine, Qt::RoundCap));
  painter.drawLine(QPointF(10.0, 10.0), QPointF(14.5, 14.5));
  outlined(painter, kLightBlue);
  painter.setPen(QPen(kOutline, 1.5));
  painter.drawEllipse(QRectF(1.5, 1.5, 9.5, 9.5));
}

void monitor(QPainter& painter, qreal x, qreal y) {
  outlined(painter, kLightBlue);
  painter.drawRect(QRectF(x + 0.5, y + 0.5, 6.0, 5.0));
  painter.drawLine(QPointF(x + 3.5, y + 5.5), QPointF(x + 3.5, y + 7.5));
  painter.drawLine(QPointF(x + 1.5, y + 7.5), QPointF(x + 5.5, y + 7.5));
}

void contact(QPainter& painter) {
  monitor(painter, 0, 0);
  monitor(painter, 9, 8);
  painter.setPen(QPen(kGreen, 1.5, Qt::DashLine));
  painter.drawPolyline(QPolygonF{{7.5, 3.0}, {12.5, 3.0}, {12.5, 7.5}});
  painter.drawPolyline(QPolygonF{{3.5, 9.0}, {3.5, 12.5}, {8.5, 12.5}});
}

void pencil(QPainter& painter) {
  painter.save();
  painter.translate(8, 8);
  painter.rotate(45);
  outlined(painter, QColor(250, 190, 60));
  painter.drawRect(QRectF(-2.5, -7.5, 5.0, 10.0));
  outlined(painter, QColor(240, 150, 150));
  painter.drawRect(QRectF(-2.5, -8.5, 5.0, 2.0));
  outlined(painter, QColor(240, 220, 180));
  painter.drawPolygon(QPolygonF{{-2.5, 2.5}, {2.5, 2.5}, {0.0, 7.0}});
  painter.restore();
}

void stopSign(QPainter& painter) {
  QPolygonF octagon;
  for (int corner = 0; corner < 8; ++corner) {
    qreal angle = M_PI / 8 + corner * M_PI / 4;
    octagon << QPointF(8.0 + 7.0 * std::cos(angle), 8.0 + 7.0 * std::sin(angle));
  }
  outlined(painter, kRed, kRed.darker(150));
  painter.drawPolygon(octagon);
  painter.setPen(QPen(Qt::white, 2.0, Qt::SolidLine, Qt::RoundCap));
  painter.drawLine(QPointF(5.5, 5.5), QPointF(10.5, 10.5));
  painter.drawLine(QPointF(10.5, 5.5), QPointF(5.5, 10.5));
}

void radar(QPainter& painter) {
  painter.setPen(QPen(kGreen.darker(120), 1.3));
  painter.setBrush(Qt::NoBrush);
  for (qreal radius : {3.0, 6.0, 9.0}) painter.drawArc(QRectF(1.5 - radius, 14.5 - radius, 2 * radius, 2 * radius), 0, 90 * 16);
  outlined(painter, kRed, kRed.darker(150));
  painter.drawEllipse(QRectF(8.5, 2.5, 4.0, 4.0));
  painter.drawEllipse(QRectF(11.0, 9.0, 3.5, 3.5));
}

void roundLetter(QPainter& painter, const QColor& fill, const QString& letter) {
  outlined(painter, fill, fill.darker(150));
  painter.drawEllipse(QRectF(1.0, 1.0, 14.0, 14.0));
  QFont font;
  font.setBold(true);
  font.setPixelSize(11);
  painter.setFont(font);
  painter.setPen(Qt::white);
  painter.drawText(QRectF(1.0, 1.0, 14.0, 14.0), Qt::AlignCenter, letter);
}

void bell(QPainter& painter, const QColor& fill) {
  QPainterPath shape;
  shape.moveTo(3.0, 12.0);
  shape.cubicTo(4.5, 10.0, 4.0, 3.0, 8.0, 3.0);
  shape.cubicTo(12.0, 3.0, 11.5, 10.0, 13.0, 12.0);
  shape.closeSubpath();
  outlined(painter, fill, fill.darker(170));
  painter.drawPath(shape);
  painter.drawEllipse(QRectF(6.5, 12.0, 3.0, 3.0));
  painter.drawEllipse(QRectF(7.0, 1.0, 2.0, 2.0));
}

void nodeInfo(QPainter& painter) {
  variable(painter, false);
  painter.save();
  painter.translate(6, 6);
  painter.scale(10.0 / 16, 10.0 / 16);
  roundLetter(painter, kBlue, QStringLiteral("i"));
  painter.restore();
}

void gear(QPainter& painter) {
  for (int tooth = 0; tooth < 8; ++tooth) {
    painter.save();
    painter.translate(8, 8);
    painter.rotate(tooth * 45);
    outlined(painter, QColor(150, 155, 165));
    painter.drawRect(QRectF(-1.5, -7.5, 3.0, 3.0));
    painter.restore();
  }
  outlined(painter, QColor(170, 175, 185));
  painter.drawEllipse(QRectF(2.5, 2.5, 11.0, 11.0));
  outlined(painter, QColor(245, 245, 245));
  painter.drawEllipse(QRectF(5.5, 5.5, 5.0, 5.0));
}

void pages(QPainter& painter) {
  outlined(painter, kPaper);
  painter.drawRect(QRectF(1.5, 1.5, 8.0, 10.0));
  painter.drawRect(QRectF(6.5, 4.5, 8.0, 10.0));
  painter.setPen(QPen(kBlue, 1.0));
  for (qreal y : {7.5, 9.5, 11.5}) painter.drawLine(QPointF(8.0, y), QPointF(13.0, y));
}

void clearPage(QPainter& painter) {
  outlined(painter, kPaper);
  painter.drawRect(QRectF(2.5, 1.5, 10.0, 13.0));
  painter.setPen(QPen(kRed, 2.0, Qt::SolidLine, Qt::RoundCap));
  painter.drawLine(QPointF(8.0, 8.0), QPointF(14.0, 14.0));
  painter.drawLine(QPointF(14.0, 8.0), QPointF(8.0, 14.0));
}

void house(QPainter& painter) {
  outlined(painter, kRed.lighter(120), kRed.darker(150));
  painter.drawPolygon(QPolygonF{{8.0, 1.5}, {15.0, 8.0}, {1.0, 8.0}});
  outlined(painter, kPaper);
  painter.drawRect(QRectF(3.5, 8.0, 9.0, 6.5));
  outlined(painter, kFolderDark);
  painter.drawRect(QRectF(6.5, 10.5, 3.0, 4.0));
}

// Moving modules between the lists: arrows up (into the loaded list) or
// down (out of it), one for the selected modules, two for all.
void moveArrows(QPainter& painter, bool up, bool all) {
  QColor colour = up ? kGreen : kRed;
  qreal tip = up ? 2.0 : 14.0, base = 8.0;
  qreal stem = up ? 14.5 : 1.5;
  auto one = [&](qreal x) {
    arrow(painter, x, tip, base, colour);
    painter.fillRect(QRectF(x - 1.5, std::min(base, stem), 3.0, std::abs(stem - base)), colour);
  };
  if (all) {
    one(4.5);
    one(11.5);
  } else {
    one(8.0);
  }
}

void refreshArrows(QPainter& painter) {
  painter.setPen(QPen(kBlue, 2.0, Qt::SolidLine, Qt::FlatCap));
  painter.setBrush(Qt::NoBrush);
  painter.drawArc(QRectF(2.5, 2.5, 11.0, 11.0), 30 * 16, 150 * 16);
  painter.drawArc(QRectF(2.5, 2.5, 11.0, 11.0), 210 * 16, 150 * 16);
  painter.setPen(Qt::NoPen);
  painter.setBrush(kBlue);
  painter.drawPolygon(QPolygonF{{12.0, 1.0}, {15.0, 6.5}, {9.5, 6.0}});
  painter.drawPolygon(QPolygonF{{4.0, 15.0}, {1.0, 9.5}, {6.5, 10.0}});
}

void goBack(QPainter& painter) {
  outlined(painter, kLightBlue);
  painter.drawRect(QRectF(5.5, 1.5, 9.0, 11.0));
  painter.fillRect(QRectF(6.0, 2.0, 8.0, 2.0), kBlue);
  painter.setPen(Qt::NoPen);
  painter.setBrush(kGreen);
  painter.drawPolygon(QPolygonF{{1.0, 10.0}, {6.0, 5.5}, {6.0, 8.5}, {10.0, 8.5}, {10.0, 11.5}, {6.0, 11.5}, {6.0, 14.5}});
}

void sizeGlyph(QPainter& painter, Glyph which) {
  QColor colour(40, 40, 50);
  switch (which) {
    case Glyph::sizeDown: arrow(painter, 8.0, 12.0, 5.0, colour); break;
    case Glyph::sizeUp: arrow(painter, 8.0, 4.0, 11.0, colour); break;
    default:
      painter.setPen(QPen(colour, 1.0));
      painter.setBrush(Qt::NoBrush);
      painter.drawRect(QRectF(3.5, 3.5, 9.0, 9.0));
      painter.fillRect(QRectF(3.5, 3.5, 9.0, 2.0), colour);
      break;
  }
}

}  // namespace

QPixmap treeImage(int index, qreal scale) { return render(QSize(16, 16), scale, treePaint(index)); }

QIcon treeNodeIcon(int image, int selectedImage, int overlay) {
  QIcon icon;
  for (qreal scale : {1.0, 2.0}) {
    icon.addPixmap(withOverlay(image, overlay, scale), QIcon::Normal);
    icon.addPixmap(withOverlay(selectedImage, overlay, scale), QIcon::Selected);
  }
  return icon;
}

QIcon listImage(int index) { return iconOf(treePaint(index)); }

QIcon glyph(Glyph which) {
  switch (which) {
    case Glyph::contact: return iconOf(contact);
    case Glyph::query: return iconOf(magnifier);
    case Glyph::set: return iconOf(pencil);
    case Glyph::abort: return iconOf(stopSign);
    case Glyph::discover: return iconOf(radar);
    case Glyph::info: return iconOf([](QPainter& p) { roundLetter(p, kBlue, QStringLiteral("i")); });
    case Glyph::trapRinger: return iconOf([](QPainter& p) { bell(p, QColor(250, 200, 40)); });
    case Glyph::nodeInfo: return iconOf(nodeInfo);
    case Glyph::compiler: return iconOf(gear);
    case Glyph::copy: return iconOf(pages);
    case Glyph::clear: return iconOf(clearPage);
    case Glyph::help: return iconOf([](QPainter& p) { roundLetter(p, kGreen, QStringLiteral("?")); });
    case Glyph::homePage: return iconOf(house);
    case Glyph::loadAll: return iconOf([](QPainter& p) { moveArrows(p, true, true); });
    case Glyph::loadSelected: return iconOf([](QPainter& p) { moveArrows(p, true, false); });
    case Glyph::refresh: return iconOf(refreshArrows);
    case Glyph::unloadSelected: return iconOf([](QPainter& p) { moveArrows(p, false, false); });
    case Glyph::unloadAll: return iconOf([](QPainter& p) { moveArrows(p, false, true); });
    case Glyph::goToBrowser: return iconOf(goBack);
    case Glyph::sizeDown:
    case Glyph::sizeUp:
    case Glyph::sizeMax: return iconOf([which](QPainter& p) { sizeGlyph(p, which); });
  }
  return QIcon();
}

QPixmap sizeArrow(int sizeState, bool enabled, qreal scale) {
  QColor colour = enabled ? QColor(30, 30, 40) : QColor(160, 160, 160);
  return render(QSize(13, 16), scale, [&](QPainter& painter) {
    switch (sizeState) {
      case 1: arrow(painter, 6.5, 13.0, 4.0, colour); break;
      case 2: arrow(painter, 6.5, 3.0, 12.0, colour); break;
      default:
        arrow(painter, 6.5, 1.5, 6.5, colour);
        arrow(painter, 6.5, 14.5, 9.5, colour);
        break;
    }
  });
}

QPixmap trapAlarm(int alarmState, bool flash, qreal scale) {
  QColor fill = alarmState == 1 ? (flash ? QColor(255, 240, 120) : kRed)
              : alarmState == 2 ? QColor(250, 200, 40)
                                : QColor(190, 190, 190);
  return render(QSize(16, 16), scale, [&](QPainter& painter) {
    bell(painter, fill);
    if (alarmState == 1) {
      painter.setPen(QPen(kRed.darker(120), 1.0));
      painter.drawLine(QPointF(1.0, 4.0), QPointF(2.5, 6.5));
      painter.drawLine(QPointF(15.0, 4.0), QPointF(13.5, 6.5));
    }
  });
}

QPixmap splashPicture(qreal scale) {
  return render(QSize(360, 150), scale, [](QPainter& painter) {
    QLinearGradient sky(0, 0, 0, 150);
    sky.setColorAt(0, QColor(30, 70, 140));
    sky.setColorAt(1, QColor(10, 30, 70));
    painter.fillRect(QRect(0, 0, 360, 150), sky);
    painter.save();
    painter.translate(24, 35);
    painter.scale(5.0, 5.0);
    treeRoot(painter, true);
    painter.restore();
    // The largest title that fits the room beside the picture.
    const QString name = QStringLiteral("Orvane MIB Browser");
    const QRect room(120, 38, 228, 30);
    QFont title;
    title.setBold(true);
    for (int size = 24; size > 10; --size) {
      title.setPixelSize(size);
      if (QFontMetrics(title).horizontalAdvance(name) <= room.width()) break;
    }
    painter.setPen(Qt::white);
    painter.setFont(title);
    painter.drawText(room, Qt::AlignLeft | Qt::AlignVCenter, name);
    QFont subtitle;
    subtitle.setPixelSize(13);
    painter.setFont(subtitle);
    painter.setPen(QColor(200, 215, 240));
    painter.drawText(QRect(120, 70, 230, 20), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Professional Edition"));
  });
}

}  // namespace netlens::artwork
