#include "chart/backdrop.h"

#include <QPainter>

#include "chart/axespainter.h"

namespace {

constexpr double InchesPerMetre = 1 / 0.0254;

}  // namespace

void Backdrop::Update(const BackdropSetting& setting) {
  if (setting_ == setting) return;
  setting_ = setting;
  FitImage(setting);
  Paint(setting);
}

// Keeps the image's memory while the size and format stay: a fresh one
// costs more than painting the layer itself.
void Backdrop::FitImage(const BackdropSetting& setting) {
  const QSize pixels = setting.size * setting.pixelRatio;
  if (image_.size() != pixels || image_.format() != setting.format) image_ = QImage(pixels, setting.format);
  image_.setDevicePixelRatio(setting.pixelRatio);
  const int dotsPerMetre = qRound(setting.dpi * InchesPerMetre);
  image_.setDotsPerMeterX(dotsPerMetre);
  image_.setDotsPerMeterY(dotsPerMetre);
}

void Backdrop::Paint(const BackdropSetting& setting) {
  const QRect control(QPoint(), setting.size);
  layout_ = LayOutChart(control, QFontMetrics(setting.font, &image_), setting.left, setting.bottom);
  QPainter painter(&image_);
  painter.setFont(setting.font);
  // Replaces whatever the image holds, even with a translucent window colour.
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter.fillRect(control, setting.palette.window());
  painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  DrawAxes(painter, *layout_, setting.palette);
}
