// One capture from the virtual board through a real pty.
#include "board/ptyboard.h"
#include "capture/captureblock.h"
#include "capture/history.h"
#include "link/comport.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

struct Capture {
  explicit Capture(std::size_t answerBytes = 4096) : board(Options(answerBytes)) {
    port.PortName = board.PortPath();
    EXPECT_TRUE(port.Open());
  }

  static BoardOptions Options(std::size_t answerBytes) {
    BoardOptions options;
    options.captureBytes = answerBytes;
    return options;
  }

  bool Run(bool average = false) {
    counts.clear();
    return CaptureBlock(port, history, average, [this](int received) { counts.push_back(received); }, clock);
  }

  PtyBoard board;
  TComPort port;
  SampleHistory history;
  std::vector<int> counts;
  CaptureClock clock = std::chrono::steady_clock::now;
};

std::vector<std::int32_t> Slot(const ChannelHistory& channel, int slot) {
  return {channel.begin() + slot * 1024, channel.begin() + (slot + 1) * 1024};
}

}  // namespace

TEST(CaptureBlock, StoresAWholeBlockAndCountsItsBytesAfterEveryPoll) {
  Capture capture;
  ASSERT_TRUE(capture.Run());
  const std::vector<std::uint8_t> request{0xFF, 0xFF, 0xFF, 0xFF, 0xBC, 0x00, 0x00, 0x00};
  EXPECT_EQ(capture.board.Received(), request);
  EXPECT_EQ(capture.counts.back(), 4096);
  EXPECT_TRUE(std::is_sorted(capture.counts.begin(), capture.counts.end()));
  // The board's tone: samples well away from zero, within 16 bits.
  const auto [low, high] = std::minmax_element(capture.history.HistoryI.begin(), capture.history.HistoryI.begin() + 1024);
  EXPECT_LT(*low, -1000);
  EXPECT_GT(*high, 1000);
  EXPECT_GE(*low, -32768);
  EXPECT_LE(*high, 32767);
}

TEST(CaptureBlock, MovesTheHistoryBackOnlyWhileAveraging) {
  Capture capture;
  ASSERT_TRUE(capture.Run());
  const auto first = Slot(capture.history.HistoryI, 0);
  const auto olderSlot = Slot(capture.history.HistoryQ, 1);
  ASSERT_TRUE(capture.Run(false));
  EXPECT_EQ(Slot(capture.history.HistoryQ, 1), olderSlot);
  const auto second = Slot(capture.history.HistoryI, 0);
  EXPECT_NE(second, first);  // the tone's phase runs on from block to block
  ASSERT_TRUE(capture.Run(true));
  EXPECT_EQ(Slot(capture.history.HistoryI, 1), second);
}

TEST(CaptureBlock, AnAnswerLongerThanABlockFailsAndLeavesTheHistory) {
  Capture capture(4100);
  capture.history.HistoryI.fill(7);
  const ChannelHistory kept = capture.history.HistoryI;
  EXPECT_FALSE(capture.Run(true));
  EXPECT_EQ(capture.history.HistoryI, kept);
  EXPECT_EQ(capture.counts.back(), 4100);
  // The excess was drained: the next block arrives clean.
  EXPECT_EQ(capture.port.InQueueCount(), 0);
}

TEST(CaptureBlock, AShortAnswerFailsWhenTheTimeIsUp) {
  Capture capture(4095);
  // Once the board's 4095 bytes are in, a second passes at every look at the clock.
  int looks = 0;
  capture.clock = [&] {
    const bool allIn = !capture.counts.empty() && capture.counts.back() == 4095;
    return std::chrono::steady_clock::now() + std::chrono::seconds(allIn ? ++looks : 0);
  };
  const auto kept = capture.history.HistoryQ;
  EXPECT_FALSE(capture.Run());
  EXPECT_EQ(capture.history.HistoryQ, kept);
  EXPECT_EQ(capture.counts.back(), 4095);
  EXPECT_EQ(looks, 5);  // the wait ends when the fifth second is up
}
