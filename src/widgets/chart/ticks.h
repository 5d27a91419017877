#pragma once
// Tick marks of an axis: steps of 1, 2 or 5 × 10^n, and label texts built
// from whole numbers of steps so that they read exactly (no 0.30000000000000004)
// for any range the program can set, from 1e-10 wide to millions.
#include <QString>
#include <vector>

struct TickStep {
  int mantissa = 1;  // 1, 2 or 5
  int exponent = 0;  // of ten

  double Value() const;
  TickStep Larger() const;  // the next step of the 1, 2, 5 series
};

// The smallest nice step that is not below `rough` (positive, finite).
TickStep NiceStepAtLeast(double rough);

struct Tick {
  // Distance from the axis minimum. Kept apart from the minimum itself so
  // that ticks of a narrow range far from zero (1e6 .. 1e6 + 1e-9) land on
  // the right pixel although the tick values are not representable.
  double fromMinimum;
  QString label;
};

struct AxisTicks {
  std::vector<Tick> ticks;
  // Added to every label ("+1000000") when the labels alone would need too
  // many digits; empty otherwise.
  QString offset;
};

// The ticks of [minimum, maximum] at `step`. A range of zero width gets one
// tick at its value; a range that is not finite gets none.
AxisTicks MakeTicks(double minimum, double maximum, TickStep step);
