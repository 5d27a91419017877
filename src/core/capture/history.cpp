#include "capture/history.h"

#include <algorithm>

namespace {

std::int32_t SignedHalfWord(std::uint8_t high, std::uint8_t low) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(high << 8 | low));
}

void MoveSlotsBack(ChannelHistory& channel) {
  std::copy_backward(channel.begin(), channel.end() - BlockLength, channel.end());
}

}  // namespace

void SampleHistory::Shift() {
  MoveSlotsBack(HistoryI);
  MoveSlotsBack(HistoryQ);
  // Moving the zeros of an empty history back captures nothing.
  if (Blocks > 0) Blocks = std::min(Blocks + 1, HistoryLength / BlockLength);
}

void SampleHistory::Decode(std::span<const std::uint8_t, BlockBytes> block) {
  for (int k = 0; k < BlockLength; ++k) {
    const std::uint8_t* word = &block[4 * k];
    HistoryI[k] = SignedHalfWord(word[0], word[1]);
    HistoryQ[k] = SignedHalfWord(word[2], word[3]);
  }
  Blocks = std::max(Blocks, 1);
}

int MeasuredBlocks(const SampleHistory& history, bool average) {
  return average ? history.Blocks : std::min(history.Blocks, 1);
}
