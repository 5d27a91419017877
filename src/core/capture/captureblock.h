#pragma once
// One capture: the request to the board and the collection of its answer of
// exactly 4096 bytes, into the newest slot of a sample history or, for a
// recording, as the bytes that came.
#include <chrono>
#include <cstdint>
#include <functional>
#include <span>

#include "capture/history.h"

class TComPort;

// Told the number of bytes received so far after every poll of the queue.
using ReceivedCounter = std::function<void(int received)>;
// The time the 5-second limit is measured by; tests hand in their own.
using CaptureClock = std::function<std::chrono::steady_clock::time_point()>;

// Drops what waits in the receive queue, sends the capture request on the
// open port and polls the receive queue until 4096 bytes have come and the
// queue has run dry, or 5 whole seconds have passed by `now`. Only an answer
// of exactly 4096 bytes counts: it is decoded into slot 0 after the history
// has moved back one slot when averaging. Anything else returns false and
// leaves the history as it was.
bool CaptureBlock(TComPort& port, SampleHistory& history, bool average,
                  const ReceivedCounter& showReceived,
                  const CaptureClock& now = std::chrono::steady_clock::now);

// The same request and rules as CaptureBlock, but the wait is the port's
// blocking Read, which returns the moment the last byte is in: the pace of a
// recording, where a 1 ms sleep per poll would cost more than the transfer.
// Sets the port's read time-outs to the 5-second limit (the POSIX port takes
// them at every Read). Only an answer of exactly 4096 bytes fills `block`
// and returns true.
bool FetchBlock(TComPort& port, std::span<std::uint8_t, BlockBytes> block);
