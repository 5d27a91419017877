// One capture from the virtual board through a real pty.
#include "board/ptyboard.h"
#include "capture/captureblock.h"
#include "link/comport.h"

#include <algorithm>
#include <array>
#include <gtest/gtest.h>

#include "test_support.h"

namespace {


struct Capture {
  explicit Capture(const BoardOptions& options) : board(options) {
    port.PortName = board.PortPath();
    EXPECT_TRUE(port.Open());
  }
  explicit Capture(std::size_t answerBytes = 4096) : Capture(AnswerOf(answerBytes)) {}

  static BoardOptions AnswerOf(std::size_t answerBytes) {
    BoardOptions options;
    options.captureBytes = answerBytes;
    return options;
  }

  BlockResult Run() {
    counts.clear();
    return FetchBlock(port, block, clock, AnswerSettle, [this](int received) {
      counts.push_back(received);
      return keepWaiting(received);
    });
  }

  PtyBoard board;
  TComPort port;
  std::array<std::uint8_t, BlockBytes> block{};
  std::vector<int> counts;  // what each wait told
  CaptureClock clock = std::chrono::steady_clock::now;
  KeepWaiting keepWaiting = [](int) { return true; };
};

const Bytes CaptureRequest{0xFF, 0xFF, 0xFF, 0xFF, 0xBC, 0x00, 0x00, 0x00};

// The first answer of a fresh board, from a board core of its own.
Bytes FirstAnswer() {
  BoardCore core;
  const auto now = BoardCore::Clock::now();
  core.Receive(CaptureRequest, now);
  return core.Poll(now);
}

}  // namespace

TEST(FetchBlock, ReceivesAWholeBlockAndCountsItsBytesAfterEveryWait) {
  Capture capture;
  ASSERT_EQ(capture.Run(), BlockResult::Whole);
  EXPECT_EQ(capture.board.Received(), CaptureRequest);
  EXPECT_EQ(Bytes(capture.block.begin(), capture.block.end()), FirstAnswer());
  EXPECT_EQ(capture.counts.back(), 4096);
  EXPECT_TRUE(std::is_sorted(capture.counts.begin(), capture.counts.end()));
}

TEST(FetchBlock, AnAnswerLongerThanABlockFailsAndIsDrained) {
  Capture capture(4100);
  EXPECT_EQ(capture.Run(), BlockResult::TooLong);
  EXPECT_EQ(capture.counts.back(), 4100);
  EXPECT_EQ(capture.port.InQueueCount(), 0);  // the next block arrives clean
}

TEST(FetchBlock, AShortAnswerFailsWhenFiveSecondsAreUpByTheClock) {
  Capture capture(4095);
  // Once the board's 4095 bytes are in, a second passes at every look at the clock.
  int looks = 0;
  capture.clock = [&] {
    const bool allIn = !capture.counts.empty() && capture.counts.back() == 4095;
    return std::chrono::steady_clock::now() + std::chrono::seconds(allIn ? ++looks : 0);
  };
  EXPECT_EQ(capture.Run(), BlockResult::TimedOut);
  EXPECT_EQ(capture.counts.back(), 4095);
  EXPECT_EQ(looks, 5);  // the wait ends when the fifth second is up
}

TEST(FetchBlock, IsAbandonedAtOnceWhenTheWaiterSaysSo) {
  BoardOptions late;
  late.answerDelay = std::chrono::milliseconds(500);
  Capture capture(late);
  capture.keepWaiting = [](int) { return false; };
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(capture.Run(), BlockResult::Abandoned);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(250));
  EXPECT_EQ(capture.counts, std::vector<int>{0});
  EXPECT_EQ(capture.board.Received(), CaptureRequest);
}
