#include "capture/captureblock.h"

#include "link/comport.h"
#include "link/registercommand.h"

#include <algorithm>
#include <array>

namespace {

using Clock = std::chrono::steady_clock;

void RequestBlock(TComPort& port) {
  const auto request = RegisterFrame(CommandCapture, 0, 0);
  port.DiscardInput();
  port.Write(request.data(), static_cast<int>(request.size()));
}

// In whole milliseconds, never beyond the limit nor past the longest wait.
int WaitWithin(Clock::duration left) {
  return static_cast<int>(
      std::chrono::ceil<std::chrono::milliseconds>(std::min<Clock::duration>(left, LongestWait))
          .count());
}

BlockResult Abandon(TComPort& port) {
  port.DiscardInput();
  return BlockResult::Abandoned;
}

}  // namespace

BlockResult FetchBlock(TComPort& port, std::span<std::uint8_t, BlockBytes> block,
                       const CaptureClock& now, std::chrono::milliseconds settle,
                       const KeepWaiting& keepWaiting) {
  RequestBlock(port);
  const Clock::time_point deadline = now() + BlockTimeLimit;
  int received = 0;
  while (received < BlockBytes) {
    const Clock::duration left = std::max<Clock::duration>(deadline - now(), Clock::duration::zero());
    // Never more than the block: what comes after it stays in the queue.
    const int got = port.ReadSome(block.data() + received, BlockBytes - received, WaitWithin(left));
    received += got;
    if (got == 0 && port.Fault == PortFault::Lost) return BlockResult::Lost;
    // Past the limit, only what has already come counts: a wait that the
    // window held up (a dialog opened meanwhile) is judged by what arrived
    // during it, not by the clock alone.
    if (left == Clock::duration::zero() && got == 0) return BlockResult::TimedOut;
    if (!keepWaiting(received)) return Abandon(port);
  }
  // The block is in. More, now or within the settling time, is an
  // over-long answer: all of it is read and dropped, so that nothing lingers
  // into the next capture; a board that keeps sending is given up on at the
  // limit.
  std::array<std::uint8_t, BlockBytes> excess;
  const int settleMs = static_cast<int>(std::min(settle, LongestWait).count());
  int more = port.ReadSome(excess.data(), BlockBytes, settleMs);
  if (more == 0) return BlockResult::Whole;
  do {
    received += more;
    if (!keepWaiting(received)) return Abandon(port);
    if (now() >= deadline) break;
  } while ((more = port.ReadSome(excess.data(), BlockBytes, settleMs)) > 0);
  return BlockResult::TooLong;
}
