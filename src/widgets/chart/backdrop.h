#pragma once
// The static layer of the chart: the window colour, grid, frame, tick
// marks, labels and titles. Only the size, the axes, the font and the
// palette change it, so it is painted once into an image that every redraw
// after a block copies whole before drawing the series over it.
#include <QFont>
#include <QImage>
#include <QPalette>
#include <optional>

#include "chart/layout.h"

// Everything the static layer's pixels depend on.
struct BackdropSetting {
  QSize size;
  // The target's, so that the copy is a plain blit: no scaling, no conversion.
  qreal pixelRatio;
  QImage::Format format;
  // The control's, which sizes its text: the image's own may differ on a
  // second screen.
  int dpi;
  AxisSetting left;
  AxisSetting bottom;
  QFont font;
  QPalette palette;
  bool operator==(const BackdropSetting&) const = default;
};

class Backdrop {
 public:
  // Lays out and paints the layer anew when `setting` differs from the one
  // it shows.
  void Update(const BackdropSetting& setting);

  // Both valid after the first update.
  const ChartLayout& Layout() const { return *layout_; }
  const QImage& Image() const { return image_; }

 private:
  void FitImage(const BackdropSetting& setting);
  void Paint(const BackdropSetting& setting);

  std::optional<BackdropSetting> setting_;
  std::optional<ChartLayout> layout_;
  QImage image_;
};
