#pragma once
// What many tests need, written once: bytes, the frames the board expects,
// and waiting for something that happens on another thread.
#include <chrono>
#include <cstdint>
#include <functional>
#include <vector>

class TComPort;

using Bytes = std::vector<std::uint8_t>;

Bytes operator+(Bytes a, const Bytes& b);

// The preamble FF FF FF FF and one group: code, register, data, 00.
Bytes ShortFrame(std::uint8_t code, std::uint8_t reg, std::uint8_t data = 0);

// The preamble and four groups on registers base..base+3 (wrapping at 256),
// the value most significant byte first.
Bytes LongFrame(std::uint8_t code, std::uint8_t base, std::uint32_t value = 0);

// Checks the condition every millisecond until it holds or the time is up;
// says whether it held. For what another thread or process does: the board,
// a port's queue.
bool WaitFor(const std::function<bool()>& condition,
             std::chrono::milliseconds limit = std::chrono::seconds(1));

// Polls the port's queue the way the program's callers do, until `wanted`
// bytes wait or a second has passed; the count waiting then.
int WaitForBytes(TComPort& port, int wanted);
