#include "test_support.h"

#include <thread>

#include "link/comport.h"

Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

Bytes ShortFrame(std::uint8_t code, std::uint8_t reg, std::uint8_t data) {
  return {0xFF, 0xFF, 0xFF, 0xFF, code, reg, data, 0x00};
}

Bytes LongFrame(std::uint8_t code, std::uint8_t base, std::uint32_t value) {
  Bytes frame{0xFF, 0xFF, 0xFF, 0xFF};
  for (int k = 0; k < 4; ++k) {
    const auto byte = static_cast<std::uint8_t>(value >> (24 - 8 * k));
    frame.insert(frame.end(), {code, static_cast<std::uint8_t>(base + k), byte, 0x00});
  }
  return frame;
}

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

int WaitForBytes(TComPort& port, int wanted) {
  WaitFor([&] { return port.InQueueCount() >= wanted; });
  return port.InQueueCount();
}
