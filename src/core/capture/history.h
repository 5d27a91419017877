#pragma once
// The sample history of the capture window: ten slots of one block each,
// slot 0 (indices 0 to 1023) the newest. Slots 1 to 9 hold the blocks before
// it, but only while averaging moves them back.
#include <array>
#include <cstdint>
#include <span>

inline constexpr int BlockLength = 1024;    // samples per block, and the transform length
inline constexpr int HistoryLength = 10240;  // ten blocks
inline constexpr int BlockBytes = 4096;      // one capture answer: 1024 words of 4 bytes

using ChannelHistory = std::array<std::int32_t, HistoryLength>;

// Both channels, zero at start; every entry holds a signed 16-bit sample.
struct SampleHistory {
  ChannelHistory HistoryI{};
  ChannelHistory HistoryQ{};
  // The slots holding a captured block, from slot 0 on: what averaging can
  // take, where the zeros of the start would only dilute it.
  int Blocks = 0;

  // Moves every slot back by one in both channels: the oldest block is
  // dropped and slot 0 keeps the newest until the next block overwrites it.
  void Shift();

  // Decodes one capture answer into slot 0. Word k is bytes 4k to 4k+3, most
  // significant first: I from bytes 4k, 4k+1 and Q from bytes 4k+2, 4k+3,
  // each a signed 16-bit number.
  void Decode(std::span<const std::uint8_t, BlockBytes> block);
};

// The blocks the capture window measures, from slot 0 on: with averaging,
// every slot holding a block; else the newest. None before the first block.
int MeasuredBlocks(const SampleHistory& history, bool average);
