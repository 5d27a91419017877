#include "capture/history.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

namespace {

using Answer = std::array<std::uint8_t, BlockBytes>;

void PutWord(Answer& answer, int k, std::int16_t i, std::int16_t q) {
  const auto ui = static_cast<std::uint16_t>(i), uq = static_cast<std::uint16_t>(q);
  answer[4 * k] = static_cast<std::uint8_t>(ui >> 8);
  answer[4 * k + 1] = static_cast<std::uint8_t>(ui & 0xFF);
  answer[4 * k + 2] = static_cast<std::uint8_t>(uq >> 8);
  answer[4 * k + 3] = static_cast<std::uint8_t>(uq & 0xFF);
}

// Block b carries a different value in every word, so a slot that moved by
// the wrong distance, or words out of place, do not go unnoticed.
std::int32_t SampleOfBlock(int b, int k) { return b * 2048 + k; }

Answer NumberedBlock(int b) {
  Answer answer{};
  for (int k = 0; k < BlockLength; ++k) {
    const auto sample = static_cast<std::int16_t>(SampleOfBlock(b, k));
    PutWord(answer, k, sample, static_cast<std::int16_t>(-sample));
  }
  return answer;
}

TEST(SampleHistory, DecodeReadsEachHalfWordHighByteFirstAsASignedNumber) {
  SampleHistory history;
  history.HistoryI.fill(99);
  history.HistoryQ.fill(99);
  Answer answer{};
  const std::array<std::uint8_t, 8> firstWords{0x7F, 0xFF, 0x80, 0x00, 0x00, 0x01, 0xFF, 0xFF};
  std::copy(firstWords.begin(), firstWords.end(), answer.begin());
  const std::array<std::uint8_t, 4> lastWord{0x12, 0x34, 0xFE, 0xDC};
  std::copy(lastWord.begin(), lastWord.end(), answer.end() - 4);

  history.Decode(answer);

  EXPECT_EQ(history.HistoryI[0], 32767);
  EXPECT_EQ(history.HistoryQ[0], -32768);
  EXPECT_EQ(history.HistoryI[1], 1);
  EXPECT_EQ(history.HistoryQ[1], -1);
  EXPECT_EQ(history.HistoryI[1023], 0x1234);
  EXPECT_EQ(history.HistoryQ[1023], -0x124);
  for (int k = 2; k < BlockLength - 1; ++k) {
    ASSERT_EQ(history.HistoryI[k], 0) << k;
    ASSERT_EQ(history.HistoryQ[k], 0) << k;
  }
  // Decoding alone never touches the older slots.
  for (int i = BlockLength; i < HistoryLength; ++i) {
    ASSERT_EQ(history.HistoryI[i], 99) << i;
    ASSERT_EQ(history.HistoryQ[i], 99) << i;
  }
}

TEST(SampleHistory, ShiftKeepsTheLastTenOfElevenCapturesNewestFirst) {
  SampleHistory history;
  for (int b = 1; b <= 11; ++b) {
    history.Shift();
    history.Decode(NumberedBlock(b));
    ASSERT_EQ(history.Blocks, std::min(b, 10)) << "after block " << b;
  }
  for (int slot = 0; slot < 10; ++slot) {
    for (int k = 0; k < BlockLength; ++k) {
      const int i = slot * BlockLength + k, expected = SampleOfBlock(11 - slot, k);
      ASSERT_EQ(history.HistoryI[i], expected) << "slot " << slot << ", sample " << k;
      ASSERT_EQ(history.HistoryQ[i], -expected) << "slot " << slot << ", sample " << k;
    }
  }
}

}  // namespace
