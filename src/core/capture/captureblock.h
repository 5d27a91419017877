#pragma once
// One capture: the request to the board and the receipt of its answer of
// exactly 4096 bytes. What the bytes become (the window's sample history, a
// recording) is the caller's step.
#include <chrono>
#include <cstdint>
#include <functional>
#include <span>

#include "capture/history.h"

class TComPort;

// The time the 5-second limit is measured by; tests hand in their own.
using CaptureClock = std::function<std::chrono::steady_clock::time_point()>;

// Told the count of bytes received so far (those beyond the block included)
// after every wait for bytes; false abandons the block at once.
using KeepWaiting = std::function<bool(int received)>;

// An answer must be in this long after the request.
inline constexpr std::chrono::seconds BlockTimeLimit{5};
// The longest single wait for bytes: KeepWaiting has its turn at least this often.
inline constexpr std::chrono::milliseconds LongestWait{10};
// How long the line is watched after the 4096th byte for the rest of an
// over-long answer, which may trail the block: a pty hands a long write over
// in pieces of 2048 bytes, a USB adapter in packets. Waiting for nothing
// costs this much on every block.
inline constexpr std::chrono::milliseconds AnswerSettle{1};

enum class BlockResult {
  Whole,      // exactly 4096 bytes, in the block
  TimedOut,   // fewer than 4096 by the time limit
  TooLong,    // more than 4096: the excess was read and dropped
  Abandoned,  // KeepWaiting said so; the receive queue is cleared
  Lost,       // the port's device went away (its Fault says so): nothing more comes
};

// Drops what waits in the receive queue (a late answer to an earlier request
// must not pass for this one), sends the capture request on the open port and
// receives the answer: 4096 bytes within 5 seconds of the request by `now`;
// once the limit has passed, bytes that have already come still count, so
// that a caller held up in `keepWaiting` loses nothing that arrived meanwhile.
// Bytes waiting once the block is in, or arriving within `settle` (at most
// LongestWait) after it, make the answer over-long; they are read and
// dropped, so that nothing lingers into the next capture. Only with
// BlockResult::Whole does `block` hold an answer.
BlockResult FetchBlock(TComPort& port, std::span<std::uint8_t, BlockBytes> block,
                       const CaptureClock& now, std::chrono::milliseconds settle,
                       const KeepWaiting& keepWaiting);
