#include "capture/captureblock.h"

#include "capture/history.h"
#include "link/comport.h"
#include "link/registercommand.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <span>
#include <thread>

namespace {

constexpr int AreaSize = 8192;  // the block area, and the most one read takes
constexpr std::chrono::seconds TimeLimit{5};

// A late answer still waiting must not pass for the answer to this request.
void RequestBlock(TComPort& port) {
  const auto request = RegisterFrame(CommandCapture, 0, 0);
  port.DiscardInput();
  port.Write(request.data(), static_cast<int>(request.size()));
}

// Collects the answer: one query and at most one read per poll, a 1 ms
// sleep only after an empty poll.
class Collector {
 public:
  // Returns the count of bytes that the poll found waiting.
  int Poll(TComPort& port) {
    const int waiting = port.InQueueCount();
    if (waiting > 0) Take(port, waiting);
    received += waiting;
    return waiting;
  }

  int received = 0;
  std::array<std::uint8_t, AreaSize> block{};

 private:
  // Bytes beyond the block area are read all the same and dropped, so that
  // an over-long answer drains the queue and fails at once instead of
  // lingering into the next capture.
  void Take(TComPort& port, int waiting) {
    const int filled = std::min(received, AreaSize);
    const int room = AreaSize - filled;
    const int count = std::min(waiting, room > 0 ? room : AreaSize);
    port.Read(chunk.data(), count);
    if (room > 0) std::copy_n(chunk.begin(), count, block.begin() + filled);
  }

  std::array<std::uint8_t, AreaSize> chunk{};
};

}  // namespace

bool CaptureBlock(TComPort& port, SampleHistory& history, bool average,
                  const ReceivedCounter& showReceived, const CaptureClock& now) {
  RequestBlock(port);

  Collector answer;
  const auto start = now();
  int waiting = 0;
  long elapsedSeconds = 0;
  do {
    waiting = answer.Poll(port);
    showReceived(answer.received);
    if (waiting == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    elapsedSeconds = std::chrono::duration_cast<std::chrono::seconds>(now() - start).count();
  } while ((answer.received < BlockBytes || waiting > 0) && elapsedSeconds < TimeLimit.count());

  if (answer.received != BlockBytes) return false;
  if (average) history.Shift();
  history.Decode(std::span<const std::uint8_t, BlockBytes>(answer.block.data(), BlockBytes));
  return true;
}

bool FetchBlock(TComPort& port, std::span<std::uint8_t, BlockBytes> block) {
  port.ReadTotalTimeoutMultiplier = 0;
  port.ReadTotalTimeoutConstant = std::chrono::milliseconds(TimeLimit).count();
  RequestBlock(port);
  const auto start = std::chrono::steady_clock::now();
  // Read tells no byte count, but it returns before its time-out, which
  // starts after `start`, only with every byte asked for.
  if (!port.Read(block.data(), BlockBytes)) return false;
  if (std::chrono::steady_clock::now() - start >= TimeLimit) return false;
  return port.InQueueCount() == 0;  // bytes beyond the block: an over-long answer
}
