#pragma once
// A capture clock for tests: from the moment it is made it runs `factor`
// times faster than the steady clock, so that a capture's 5-second limit is
// met in a fraction of the time while a whole block still arrives in time.
#include <chrono>

#include "capture/captureblock.h"

inline CaptureClock TimeLapseClock(int factor) {
  return [start = std::chrono::steady_clock::now(), factor] {
    return start + (std::chrono::steady_clock::now() - start) * factor;
  };
}
