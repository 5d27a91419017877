#include "chart/ticks.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// Beyond this many significant digits labels count from a common offset.
constexpr int MaxLabelDigits = 8;
// More ticks than this means the caller asked for a step far below the range.
constexpr long long MaxTicks = 10000;
// Offsets are counted in whole units that must fit a long long.
constexpr double MaxOffsetUnits = 1e18;

// Scaling by an exact power of ten (10^0 .. 10^22) is exact or correctly
// rounded, which keeps steps such as 2e-10 and offsets such as 1e6 clean.
double TimesPowerOfTen(double value, int exponent) {
  return exponent < 0 ? value / std::pow(10.0, -exponent) : value * std::pow(10.0, exponent);
}

// What TimesPowerOfTen lost in rounding value × 10^exponent to `scaled`,
// from fma's exact remainder: exact while the power of ten is.
double ScalingError(double value, int exponent, double scaled) {
  const double power = std::pow(10.0, std::abs(exponent));
  return exponent < 0 ? std::fma(-scaled, power, value) / power : std::fma(value, power, -scaled);
}

int LeadingExponent(double value) { return int(std::floor(std::log10(std::fabs(value)))); }

int DigitCount(long long n) { return int(QString::number(std::llabs(n)).size()); }

// n × 10^exponent with -exponent decimals, so that all labels of an axis
// carry the same number of decimals ("-0.5", "0.0", "0.5").
QString FixedText(long long n, int exponent) {
  if (n == 0 && exponent >= 0) return QStringLiteral("0");
  QString digits = QString::number(std::llabs(n));
  if (exponent >= 0) {
    digits += QString(exponent, QLatin1Char('0'));
  } else {
    digits = digits.rightJustified(1 - exponent, QLatin1Char('0'));
    digits.insert(digits.size() + exponent, QLatin1Char('.'));
  }
  return n < 0 ? QLatin1Char('-') + digits : digits;
}

// n × 10^exponent with the shortest mantissa: "1.2e-9", "5e7".
QString ScientificText(long long n, int exponent) {
  if (n == 0) return QStringLiteral("0");
  for (; n % 10 == 0; n /= 10) ++exponent;
  QString digits = QString::number(std::llabs(n));
  const int power = exponent + int(digits.size()) - 1;
  if (digits.size() > 1) digits.insert(1, QLatin1Char('.'));
  return (n < 0 ? QStringLiteral("-") : QString()) + digits + QLatin1Char('e') + QString::number(power);
}

bool ReadsBetterScientific(long long largestN, int exponent) {
  return exponent < -4 || exponent + DigitCount(largestN) - 1 >= 7;
}

QString NumberText(long long n, int exponent) {
  return ReadsBetterScientific(n, exponent) ? ScientificText(n, exponent) : FixedText(n, exponent);
}

QString OffsetText(long long n, int exponent) {
  for (; n != 0 && n % 10 == 0; n /= 10) ++exponent;
  return (n < 0 ? QString() : QStringLiteral("+")) + NumberText(n, exponent);
}

}  // namespace

double TickStep::Value() const { return TimesPowerOfTen(mantissa, exponent); }

TickStep TickStep::Larger() const {
  switch (mantissa) {
    case 1: return {2, exponent};
    case 2: return {5, exponent};
    default: return {1, exponent + 1};
  }
}

TickStep NiceStepAtLeast(double rough) {
  // Start a decade low, so that a log10 rounded the wrong way cannot skip a step.
  TickStep step{1, LeadingExponent(rough) - 1};
  while (step.Value() < rough * (1 - 1e-9)) step = step.Larger();
  return step;
}

AxisTicks MakeTicks(double minimum, double maximum, TickStep step) {
  if (!std::isfinite(minimum) || !std::isfinite(maximum) || maximum < minimum) return {};
  if (maximum == minimum) return {{{0.0, QString::number(minimum, 'g', 12)}}, {}};

  const double largest = std::max(std::fabs(minimum), std::fabs(maximum));
  const bool counted = LeadingExponent(largest) - step.exponent + 1 > MaxLabelDigits;
  // The offset is a whole number of decades of the step, so it is itself a
  // multiple of the step and the ticks stay on round values.
  const int offsetExponent = step.exponent + 1;
  const double offsetUnits = counted ? std::floor(TimesPowerOfTen(minimum, -offsetExponent)) : 0.0;
  if (!(std::fabs(offsetUnits) < MaxOffsetUnits)) return {};
  const double offset = TimesPowerOfTen(offsetUnits, offsetExponent);
  // The offset the label names may lie between two doubles. What its rounding
  // lost is added back: on a range a few units in the last place wide it
  // would move the ticks far from their labels' values.
  const double lost = ScalingError(offsetUnits, offsetExponent, offset);

  // The limits are rounded too: a tick a millionth of the range beyond one
  // (no pixel) lies on it. In steps, and scaled first, so that no sum passes
  // the largest double.
  const double stepValue = step.Value();
  const double reach = (maximum * 1e-6 - minimum * 1e-6) / stepValue;
  const double first = std::ceil(((minimum - offset) - lost) / stepValue - reach);
  const double last = std::floor(((maximum - offset) - lost) / stepValue + reach);
  if (!(last - first < MaxTicks)) return {};

  const auto firstIndex = static_cast<long long>(first);
  const auto lastIndex = static_cast<long long>(last);
  const long long largestN = std::max(std::llabs(firstIndex), std::llabs(lastIndex)) * step.mantissa;
  const bool scientific = ReadsBetterScientific(largestN, step.exponent);

  AxisTicks result;
  for (long long index = firstIndex; index <= lastIndex; ++index) {
    const long long n = index * step.mantissa;
    result.ticks.push_back({((offset - minimum) + lost) + double(index) * stepValue,
                            scientific ? ScientificText(n, step.exponent) : FixedText(n, step.exponent)});
  }
  if (counted) result.offset = OffsetText(static_cast<long long>(offsetUnits), offsetExponent);
  return result;
}
