// The chart's axis layout and ticks, on Qt's offscreen platform: any control
// size and any limits (denormal spans, spans of 1e307 and more, reversed, not
// finite). Every tick lies on its axis inside the plot, and its label, with
// the axis' offset, names a finite value; where the labels' scale is exact,
// one inside the axis' range that the axis maps onto the tick's pixel.
//
// Input: width and height (2 bytes each), then the left and bottom axes'
// minimum and maximum (8-byte doubles).
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <string>

#include <QGuiApplication>

#include "chart/layout.h"
#include "fuzz_support.h"

namespace {

constexpr std::size_t InputBytes = 2 * 2 + 4 * 8;
const QString Title = QStringLiteral("T");

// The value a label or offset text names; NaN when it names none.
long double ValueOf(const QString& text) {
  std::string bytes = text.toStdString();
  if (bytes.starts_with('+')) bytes.erase(0, 1);
  long double value = 0;
  const auto [end, error] = std::from_chars(bytes.data(), bytes.data() + bytes.size(), value);
  return error == std::errc() && end == bytes.data() + bytes.size() ? value : NAN;
}

// The labels' offset as the caption shows it after the title: "T" alone or
// "T  (+1000000)"; nothing when the caption was cut short for want of room.
std::optional<long double> OffsetOf(const QString& caption) {
  if (caption == Title) return 0;
  if (caption.startsWith(Title + "  (") && caption.endsWith(')')) return ValueOf(caption.mid(4).chopped(1));
  return std::nullopt;
}

// Where the labels' scale is a power of ten that a double holds exactly:
// limits within 1e20 and a span of at least 1e-20. Beyond, a tick may stand
// some units in the last place off its label's value, which on a range only
// a few of them wide is a visible distance.
bool ExactlyScaled(AxisRange range) {
  const double span = range.maximum - range.minimum;
  return std::fabs(range.minimum) <= 1e20 && std::fabs(range.maximum) <= 1e20 && (span == 0 || span >= 1e-20);
}

// The label, with the offset, names a value inside the axis' range, and the
// axis maps that value onto the tick's pixel.
void CheckLabel(const AxisLayout& axis, AxisRange range, const TickMark& tick, long double offset) {
  const long double span = static_cast<long double>(range.maximum) - range.minimum;
  // Ticks may sit a millionth of the range beyond the limits; a zero-width
  // range is labelled with 12 digits.
  const long double slack = span > 0 ? span * 2e-6L : std::fabs(range.minimum) * 1e-11L;
  const long double fromMinimum = ValueOf(tick.label) + offset - range.minimum;
  Require(fromMinimum >= -slack && fromMinimum <= span + slack, "every label lies inside its axis' range");
  // Rounding to a pixel, and this sum's own rounding in long double.
  const long double ownError = 4 * std::fabs(offset) * std::numeric_limits<long double>::epsilon();
  const double pixelsPerUnit = std::fabs(axis.map.PixelAt(1) - axis.map.PixelAt(0));
  Require(std::fabs(axis.map.PixelAt(static_cast<double>(fromMinimum)) - tick.pixel) <= 1 + ownError * pixelsPerUnit,
          "every label stands at the pixel of its value");
}

void CheckAxis(const AxisLayout& axis, AxisRange range, int lowPixel, int highPixel) {
  const auto offset = OffsetOf(axis.caption);
  for (const TickMark& tick : axis.ticks) {
    Require(tick.pixel >= lowPixel && tick.pixel <= highPixel, "every tick lies inside the plot");
    Require(std::isfinite(ValueOf(tick.label)) && (!offset || std::isfinite(*offset)),
            "every label names a finite value");
    if (offset && ExactlyScaled(range)) CheckLabel(axis, range, tick, *offset);
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  static int argc = 1;
  static char name[] = "chart_fuzzer";
  static char* argv[] = {name, nullptr};
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static QGuiApplication application(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size != InputBytes) return 0;
  std::uint16_t width, height;
  double limits[4];
  std::memcpy(&width, data, 2);
  std::memcpy(&height, data + 2, 2);
  std::memcpy(limits, data + 4, sizeof limits);
  const AxisRange left{limits[0], limits[1]}, bottom{limits[2], limits[3]};

  static const QFontMetrics metrics(QGuiApplication::font());
  const ChartLayout layout = LayOutChart(QRect(0, 0, width % 4096, height % 4096), metrics,
                                         {left, Title}, {bottom, Title});
  CheckAxis(layout.left, left, layout.plot.top(), layout.plot.bottom());
  CheckAxis(layout.bottom, bottom, layout.plot.left(), layout.plot.right());
  return 0;
}
