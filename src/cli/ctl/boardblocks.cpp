#include "ctl/boardblocks.h"

#include <unistd.h>

#include <cmath>
#include <iostream>

#include "capture/captureblock.h"
#include "ctl/session.h"
#include "link/comport.h"

namespace {

// Blocks done and blocks per second, redrawn in place at most ten times a
// second for a person at a terminal; nothing for a script or a log. It goes
// straight to the terminal, since only a terminal shows it.
class Progress {
 public:
  void Count() {
    ++blocks_;
    if (shown_ && Clock::now() - drawn_ >= std::chrono::milliseconds(100)) Draw();
  }
  ~Progress() {
    if (drawn_ == start_) return;  // too short a run to show
    Draw();
    std::cerr << '\n';
  }

 private:
  using Clock = std::chrono::steady_clock;

  void Draw() {
    drawn_ = Clock::now();
    const double seconds = std::chrono::duration<double>(drawn_ - start_).count();
    std::cerr << '\r' << blocks_ << " blocks, " << std::lround(blocks_ / seconds) << " blocks/s"
              << EraseToLineEnd << std::flush;
  }

  static constexpr const char* EraseToLineEnd = "\033[K";  // of a longer line drawn before

  const bool shown_ = isatty(STDERR_FILENO) == 1;
  const Clock::time_point start_ = Clock::now();
  Clock::time_point drawn_ = start_;
  std::int64_t blocks_ = 0;
};

}  // namespace

StopSignals::StopSignals() {
  caught_ = 0;
  struct sigaction noting {};
  noting.sa_handler = [](int signal) { caught_ = signal; };
  sigemptyset(&noting.sa_mask);
  for (std::size_t i = 0; i < Signals.size(); ++i) sigaction(Signals[i], &noting, &previous_[i]);
}

StopSignals::~StopSignals() {
  for (std::size_t i = 0; i < Signals.size(); ++i) sigaction(Signals[i], &previous_[i], nullptr);
}

Ending FetchBlocks(TComPort& port, const CaptureClock& now, std::int64_t count,
                   const StopSignals& stop, const KeepBlock& keep) {
  Progress progress;
  std::array<std::uint8_t, BlockBytes> block;
  const auto untilASignal = [&](int) { return !stop.Caught(); };
  for (std::int64_t done = 0; done < count; ++done) {
    if (stop.Caught()) return Ending::Signal;
    const auto requested = std::chrono::system_clock::now();
    const BlockResult result =
        FetchBlock(port, block, now, std::chrono::milliseconds(0), untilASignal);
    if (result == BlockResult::Abandoned) return Ending::Signal;
    if (result != BlockResult::Whole) return Ending::Failed;
    if (!keep(block, requested)) return Ending::Refused;
    progress.Count();
  }
  return Ending::Done;
}

void ThrowForEnding(Ending ending, const TComPort& port, const StopSignals& stop) {
  if (ending == Ending::Failed) throw LinkFailure(LinkError::NoAnswer, port);
  if (ending == Ending::Signal)
    throw CtlFailure(static_cast<ExitStatus>(ExitSignal + stop.Caught()), "");
}
