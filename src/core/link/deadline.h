#pragma once
// Waits bounded by a deadline, given to the calls that take milliseconds.
#include <chrono>

// The whole milliseconds left until the deadline, rounded up; 0 once past.
inline int MsLeft(std::chrono::steady_clock::time_point deadline) {
  const auto left =
      std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}
