#include "app/logo.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

QPixmap TarnwickLogo() {
  QPixmap logo(250, 45);
  logo.fill(QColor(16, 40, 72));
  QPainter painter(&logo);
  painter.setRenderHint(QPainter::Antialiasing);
  // A decaying wave: the instrument's trade.
  QPainterPath wave;
  for (int x = 0; x <= 70; ++x) {
    const double y = 22.5 - 15 * std::exp(-x / 40.0) * std::sin(x / 4.0);
    if (x == 0) wave.moveTo(8 + x, y); else wave.lineTo(8 + x, y);
  }
  painter.setPen(QPen(QColor(255, 170, 40), 2));
  painter.drawPath(wave);
  QFont font("Arial", 20, QFont::Bold);
  font.setPixelSize(24);
  painter.setFont(font);
  painter.setPen(Qt::white);
  painter.drawText(QRect(86, 0, 160, 45), Qt::AlignVCenter | Qt::AlignLeft, "TARNWICK");
  return logo;
}
