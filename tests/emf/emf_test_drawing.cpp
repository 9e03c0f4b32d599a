#include "emf_test_drawing.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QtEndian>

#include "emf/emf_device.h"

using namespace morvane;

namespace morvane::emftest {

void drawScene(QPainter& p) {
  p.setRenderHint(QPainter::Antialiasing);
  // Filled triangle with an outline.
  p.setPen(QPen(QColor(60, 0, 0), 2));
  p.setBrush(QColor(220, 0, 0));
  p.drawPolygon(QPolygonF({QPointF(20, 20), QPointF(140, 20), QPointF(80, 120)}));
  // Solid and dashed lines.
  p.setPen(QPen(QColor(0, 0, 200), 4, Qt::SolidLine, Qt::FlatCap));
  p.drawLine(QPointF(20, 150), QPointF(220, 150));
  p.setPen(QPen(QColor(0, 150, 0), 4, Qt::DashLine, Qt::FlatCap));
  p.drawLine(QPointF(20, 180), QPointF(220, 180));
  // Ellipse without outline.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 140, 0));
  p.drawEllipse(QRectF(260, 20, 120, 80));
  // Doughnut: a ring with a real hole.
  QPainterPath ring;
  ring.addEllipse(QPointF(330, 200), 50, 50);
  ring.addEllipse(QPointF(330, 200), 25, 25);
  ring.setFillRule(Qt::OddEvenFill);
  p.setBrush(QColor(120, 0, 160));
  p.drawPath(ring);
  // Half-transparent blue over white.
  p.setBrush(QColor(0, 0, 255, 128));
  p.drawRect(QRectF(160, 60, 60, 40));
  // Horizontal gradient, black to white.
  QLinearGradient g(QPointF(400, 0), QPointF(470, 0));
  g.setColorAt(0, Qt::black);
  g.setColorAt(1, Qt::white);
  p.setBrush(g);
  p.drawRect(QRectF(400, 120, 70, 40));
  // Plain text and text rotated to read upwards.
  p.setPen(Qt::black);
  QFont sans(QStringLiteral("Liberation Sans"));
  sans.setPixelSize(20);
  p.setFont(sans);
  p.drawText(QPointF(20, 240), QStringLiteral("Revenue 2024"));
  QFont carlito(QStringLiteral("Carlito"));
  carlito.setPixelSize(18);
  carlito.setBold(true);
  p.setFont(carlito);
  p.save();
  p.translate(450, 300);
  p.rotate(-90);
  p.drawText(QPointF(0, 0), QStringLiteral("Q1 sales"));
  p.restore();
}

QByteArray sceneEmf(emf::EmfForm form) {
  emf::EmfDevice device(QSizeF(kWidthPt, kHeightPt), form);
  QPainter painter(&device);
  drawScene(painter);
  painter.end();
  return device.finish();
}

QImage sceneRaster(int scale) {
  QImage image(kWidthPx * scale, kHeightPx * scale, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.scale(scale, scale);
  drawScene(painter);
  return image;
}

quint32 fieldAt(const QByteArray& emf, qsizetype offset) {
  if (offset < 0 || offset + 4 > emf.size()) return 0;
  return qFromLittleEndian<quint32>(emf.constData() + offset);
}

std::vector<qsizetype> recordsOfType(const QByteArray& emf, quint32 type) {
  std::vector<qsizetype> found;
  for (qsizetype at = 0; at + 8 <= emf.size();) {
    const quint32 size = fieldAt(emf, at + 4);
    if (fieldAt(emf, at) == type) found.push_back(at);
    if (size < 8) break;
    at += size;
  }
  return found;
}

QString fontFace(const QByteArray& emf, qsizetype record) {
  QString face;
  for (int i = 0; i < 32 && record + 42 + 2 * i <= emf.size(); ++i) {
    const quint16 c = qFromLittleEndian<quint16>(emf.constData() + record + 40 + 2 * i);
    if (c == 0) break;
    face += QChar(c);
  }
  return face;
}

}  // namespace morvane::emftest
