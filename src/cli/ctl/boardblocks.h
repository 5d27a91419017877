#pragma once
// Blocks fetched from the board one after another, as capture and measure
// take them, until their count is in or something ends them early.
#include <array>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <functional>
#include <span>

#include "capture/history.h"
#include "ctl/ctl.h"

class TComPort;

// Ctrl+C, SIGTERM and SIGHUP (a closed terminal or session) end the fetching
// at once, even within a wait, dropping only the block not yet whole; the
// handler only notes the signal. The handlers before ours come back at the end: RunCtl may
// run inside a program with handlers of its own.
class StopSignals {
 public:
  StopSignals();
  ~StopSignals();
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

  int Caught() const { return caught_; }

 private:
  static constexpr std::array<int, 3> Signals{SIGINT, SIGTERM, SIGHUP};
  static inline volatile std::sig_atomic_t caught_ = 0;
  std::array<struct sigaction, Signals.size()> previous_{};
};

// Why the fetching ended before its count.
enum class Ending { Done, Refused, Signal, Failed };

// Takes a block requested at `requested`; false ends the fetching.
using KeepBlock = std::function<bool(std::span<const std::uint8_t, BlockBytes> block,
                                     std::chrono::system_clock::time_point requested)>;

// Fetches blocks on the open port into `keep` until `count` are in, `keep`
// refuses one, a signal comes (at once, even while the board is silent) or a
// block fails. The line gets no time to settle after a block: a wait on every
// block would cost the fetching its pace, so only the part of an over-long
// answer that has come with the block fails it.
Ending FetchBlocks(TComPort& port, const CaptureClock& now, std::int64_t count,
                   const StopSignals& stop, const KeepBlock& keep);

// Throws what a failed block or a signal ends the command with: LinkFailure,
// or the status that tells the signal.
void ThrowForEnding(Ending ending, const TComPort& port, const StopSignals& stop);
