#include "player/toolbar_icons.h"

#include "player/commands.h"
#include "player/menu_table.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>

namespace zvplay {
namespace {

const QColor Ink(30, 30, 30);
const QColor Transport(20, 60, 150);

void triangleRight(QPainter& p, double x, double y, double w, double h) {
  p.drawPolygon(QPolygonF({QPointF(x, y), QPointF(x + w, y + h / 2), QPointF(x, y + h)}));
}
void triangleLeft(QPainter& p, double x, double y, double w, double h) {
  p.drawPolygon(QPolygonF({QPointF(x + w, y), QPointF(x, y + h / 2), QPointF(x + w, y + h)}));
}

void drawArrowHead(QPainter& p, QPointF tip, QPointF dir) {
  const QPointF n(-dir.y(), dir.x());
  p.drawPolygon(QPolygonF({tip, tip - 3 * dir + 2 * n, tip - 3 * dir - 2 * n}));
}

void paint(QPainter& p, int id) {
  p.setPen(QPen(Ink, 1));
  switch (id) {
    case id::FileOpen:
      p.setBrush(QColor(240, 200, 80));
      p.drawPolygon(QPolygonF({QPointF(1, 3), QPointF(6, 3), QPointF(7.5, 5), QPointF(14, 5), QPointF(14, 13),
                               QPointF(1, 13)}));
      p.setBrush(QColor(255, 225, 120));
      p.drawPolygon(QPolygonF({QPointF(3, 7), QPointF(15.5, 7), QPointF(14, 13), QPointF(1, 13)}));
      break;
    case id::FileSave:
      p.setBrush(QColor(60, 90, 170));
      p.drawRect(QRectF(1.5, 1.5, 12, 12));
      p.setBrush(Qt::white);
      p.drawRect(QRectF(4, 2, 7, 5));
      p.setBrush(QColor(200, 200, 210));
      p.drawRect(QRectF(4, 9.5, 7, 4));
      break;
    case id::Properties:
      p.setBrush(Qt::white);
      p.drawRect(QRectF(2.5, 0.5, 10, 13));
      for (int y = 3; y <= 11; y += 2) p.drawLine(QPointF(4.5, y + 0.5), QPointF(10.5, y + 0.5));
      break;
    case id::KeyCamera:
      p.setBrush(QColor(70, 70, 80));
      p.drawRect(QRectF(1.5, 4.5, 13, 8));
      p.drawRect(QRectF(4.5, 2.5, 4, 2));
      p.setBrush(QColor(140, 200, 255));
      p.drawEllipse(QPointF(8, 8.5), 2.7, 2.7);
      break;
    case id::KeyLight:
      p.setBrush(QColor(255, 230, 70));
      p.drawEllipse(QPointF(8, 5.5), 4.5, 4.5);
      p.setBrush(QColor(150, 150, 150));
      p.drawRect(QRectF(5.5, 10, 5, 3.5));
      break;
    case id::KeyShadow:
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(60, 45, 130));
      p.drawEllipse(QPointF(9.5, 12), 5.5, 2.2);
      p.setPen(QPen(Ink, 1));
      p.setBrush(QColor(230, 120, 60));
      p.drawEllipse(QPointF(6.5, 6), 4, 4);
      break;
    case id::KeySceneRotation: {
      p.setBrush(Qt::NoBrush);
      p.setPen(QPen(QColor(20, 120, 60), 1.6));
      p.drawArc(QRectF(2, 2, 12, 11), 30 * 16, 280 * 16);
      p.setPen(QPen(QColor(20, 120, 60), 1));
      p.setBrush(QColor(20, 120, 60));
      drawArrowHead(p, QPointF(13.6, 3.2), QPointF(0.6, -0.8));
      break;
    }
    case id::KeyScenePosition:
      p.setPen(QPen(QColor(20, 120, 60), 1.4));
      p.drawLine(QPointF(8, 2), QPointF(8, 13));
      p.drawLine(QPointF(2.5, 7.5), QPointF(13.5, 7.5));
      p.setPen(QPen(QColor(20, 120, 60), 1));
      p.setBrush(QColor(20, 120, 60));
      drawArrowHead(p, QPointF(8, 0.5), QPointF(0, -1));
      drawArrowHead(p, QPointF(8, 14.5), QPointF(0, 1));
      drawArrowHead(p, QPointF(1, 7.5), QPointF(-1, 0));
      drawArrowHead(p, QPointF(15, 7.5), QPointF(1, 0));
      break;
    case id::GoToStart:
      p.setBrush(Transport);
      p.drawRect(QRectF(2.5, 3.5, 1.5, 8));
      triangleLeft(p, 4.5, 3.5, 5, 8);
      triangleLeft(p, 9.5, 3.5, 5, 8);
      break;
    case id::StepBack:
      p.setBrush(Transport);
      triangleLeft(p, 3.5, 3.5, 7, 8);
      p.drawRect(QRectF(11.5, 3.5, 1.5, 8));
      break;
    case id::Stop:
      p.setBrush(Transport);
      p.drawRect(QRectF(3.5, 3.5, 8, 8));
      break;
    case id::Play:
      p.setBrush(QColor(20, 140, 40));
      triangleRight(p, 4.5, 2.5, 8, 10);
      break;
    case id::StepForward:
      p.setBrush(Transport);
      p.drawRect(QRectF(3, 3.5, 1.5, 8));
      triangleRight(p, 5.5, 3.5, 7, 8);
      break;
    case id::GoToEnd:
      p.setBrush(Transport);
      triangleRight(p, 1.5, 3.5, 5, 8);
      triangleRight(p, 6.5, 3.5, 5, 8);
      p.drawRect(QRectF(12, 3.5, 1.5, 8));
      break;
    case id::Slow:
      p.setBrush(QColor(20, 140, 40));
      triangleRight(p, 1.5, 3.5, 6, 8);
      p.setPen(QPen(Ink, 1.6));
      p.drawLine(QPointF(9, 7.5), QPointF(14.5, 7.5));
      break;
    case id::Fast:
      p.setBrush(QColor(20, 140, 40));
      triangleRight(p, 1.5, 3.5, 6, 8);
      p.setPen(QPen(Ink, 1.6));
      p.drawLine(QPointF(9, 7.5), QPointF(14.5, 7.5));
      p.drawLine(QPointF(11.75, 4.75), QPointF(11.75, 10.25));
      break;
    case id::MaxRate:
      p.setBrush(QColor(255, 200, 40));
      p.drawPolygon(QPolygonF({QPointF(9, 0.5), QPointF(3, 8.5), QPointF(7.5, 8.5), QPointF(6, 14.5),
                               QPointF(13, 5.5), QPointF(8.5, 5.5)}));
      break;
    case id::About:
      p.setBrush(QColor(60, 110, 200));
      p.drawEllipse(QPointF(8, 7.5), 6.5, 6.5);
      p.setPen(Qt::white);
      {
        QFont f = p.font();
        f.setPixelSize(11);
        f.setBold(true);
        p.setFont(f);
      }
      p.drawText(QRectF(1.5, 1, 13, 13), Qt::AlignCenter, QStringLiteral("?"));
      break;
    default:
      break;
  }
}

}  // namespace

QIcon ToolbarIcon(int commandId) {
  bool known = false;
  for (int button : ToolbarButtons) known = known || (button != 0 && button == commandId);
  if (!known) return {};
  QPixmap pixmap(ToolbarButtonWidth, ToolbarButtonHeight);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  paint(painter, commandId);
  painter.end();
  return QIcon(pixmap);
}

}  // namespace zvplay
