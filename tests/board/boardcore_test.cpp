#include "board/boardcore.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <string>

#include "test_support.h"

namespace {

using std::chrono::milliseconds;

constexpr std::uint8_t Write = 0x47;
constexpr std::uint8_t Read = 0xBB;

Bytes Text(const std::string& text) { return {text.begin(), text.end()}; }

Bytes ReadAnswer(std::uint8_t firstRegister, std::uint32_t value) {
  return {Read, firstRegister, static_cast<std::uint8_t>(value >> 24),
          static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 8),
          static_cast<std::uint8_t>(value)};
}

std::vector<std::complex<double>> DecodeBlock(const Bytes& block) {
  std::vector<std::complex<double>> samples;
  for (std::size_t k = 0; k + 3 < block.size(); k += 4) {
    const auto i = static_cast<std::int16_t>(block[k] << 8 | block[k + 1]);
    const auto q = static_cast<std::int16_t>(block[k + 2] << 8 | block[k + 3]);
    samples.emplace_back(i, q);
  }
  return samples;
}

class BoardCoreTest : public ::testing::Test {
 protected:
  // Feeds the bytes now and returns what is due at once.
  Bytes Send(const Bytes& bytes) {
    core.Receive(bytes, now);
    return core.Poll(now);
  }
  Bytes Wait(BoardCore::Clock::duration time) {
    now += time;
    return core.Poll(now);
  }

  BoardCore core;
  BoardCore::TimePoint now{std::chrono::seconds(100)};
};

TEST_F(BoardCoreTest, WritesSetRegistersWithoutAnswering) {
  EXPECT_TRUE(Send(ShortFrame(Write, 7, 0x2C)).empty());
  EXPECT_EQ(core.Register(7), 0x2C);

  EXPECT_TRUE(Send(LongFrame(Write, 4, 0x12345678)).empty());
  EXPECT_EQ(core.Register(4), 0x12);
  EXPECT_EQ(core.Register(5), 0x34);
  EXPECT_EQ(core.Register(6), 0x56);
  EXPECT_EQ(core.Register(7), 0x78);

  EXPECT_TRUE(Send(LongFrame(Write, 0xFF, 0xA1B2C3D4)).empty());
  EXPECT_EQ(core.Register(255), 0xA1);
  EXPECT_EQ(core.Register(0), 0xB2);
  EXPECT_EQ(core.Register(2), 0xD4);
  EXPECT_FALSE(core.NextDeadline().has_value());
  EXPECT_TRUE(Wait(milliseconds(50)).empty());
}

TEST_F(BoardCoreTest, ShortReadIsAnsweredOnceTheLineIsQuiet) {
  core.SetRegister(7, 0x9A);
  EXPECT_TRUE(Send(ShortFrame(Read, 7)).empty());
  ASSERT_EQ(core.NextDeadline(), now + BoardCore::QuietTime);
  EXPECT_TRUE(Wait(BoardCore::QuietTime - milliseconds(1)).empty());
  EXPECT_EQ(Wait(milliseconds(1)), ReadAnswer(7, 0x9A));
  EXPECT_FALSE(core.NextDeadline().has_value());
}

TEST_F(BoardCoreTest, LongReadIsAnsweredAtItsFourthGroupMostSignificantFirst) {
  for (int k = 0; k < 4; ++k) core.SetRegister(12 + k, static_cast<std::uint8_t>(0xF1 + k));
  EXPECT_EQ(Send(LongFrame(Read, 12)), ReadAnswer(12, 0xF1F2F3F4));

  Send(LongFrame(Write, 0xFE, 0x01020304));
  EXPECT_EQ(Send(LongFrame(Read, 0xFE)), ReadAnswer(0xFE, 0x01020304));
}

TEST_F(BoardCoreTest, FramesSplitIntoSingleBytesAreServed) {
  const Bytes stream = LongFrame(Write, 20, 0xCAFE0001) + LongFrame(Read, 20);
  Bytes answer;
  for (const std::uint8_t byte : stream) {
    core.Receive(Bytes{byte}, now);
    answer = answer + core.Poll(now);
    now += milliseconds(1);
  }
  EXPECT_EQ(answer, ReadAnswer(20, 0xCAFE0001));
}

TEST_F(BoardCoreTest, ResynchronisesOnTheNextPreamble) {
  core.SetRegister(9, 0x5A);
  // Noise, a partial preamble, an over-long preamble.
  EXPECT_EQ(Send(Bytes{0x12, 0xFF, 0xFF, 0x34, 0xFF, 0xFF, 0xFF} + Bytes{0xFF} +
                 LongFrame(Read, 8)),
            ReadAnswer(8, 0x005A0000));
  // A frame cut off inside its group must not write; the frame after it counts.
  const Bytes cutOff{0xFF, 0xFF, 0xFF, 0xFF, Write, 9};
  EXPECT_TRUE(Send(cutOff + ShortFrame(Write, 10, 0x77)).empty());
  EXPECT_EQ(core.Register(9), 0x5A);
  EXPECT_EQ(core.Register(10), 0x77);
  // A group whose last byte is not 00 is no command and writes nothing.
  Send(Bytes{0xFF, 0xFF, 0xFF, 0xFF, Write, 12, 0x01, 0x99});
  EXPECT_EQ(core.Register(12), 0x00);
}

TEST_F(BoardCoreTest, ShortReadIsAnsweredAtOnceWhenTheNextFrameStarts) {
  // FF is also a valid register and data byte: it must not pass for a preamble.
  Send(ShortFrame(Write, 0xFF, 0xFF));
  EXPECT_EQ(Send(ShortFrame(Read, 0xFF) + ShortFrame(Write, 0xFF, 0x22)), ReadAnswer(0xFF, 0xFF));
  EXPECT_EQ(core.Register(255), 0x22);
}

TEST_F(BoardCoreTest, LateGroupAfterQuietAnswerDoesNotJoinTheAnsweredFrame) {
  core.SetRegister(1, 0x01);
  Send(ShortFrame(Read, 1));
  now += BoardCore::QuietTime + milliseconds(20);
  // The read is answered as short, and the stray group is not a frame.
  EXPECT_EQ(Send(Bytes{Read, 2, 0, 0}), ReadAnswer(1, 0x01));
  EXPECT_TRUE(Wait(milliseconds(50)).empty());
}

TEST_F(BoardCoreTest, EchoesTheLinkCheckOutsideFrames) {
  EXPECT_EQ(Send(Text("Hello!")), Text("Hello!"));
  EXPECT_TRUE(Send(Text("xHeHel")).empty());
  EXPECT_EQ(Send(Text("lo!")), Text("Hello!"));
  EXPECT_TRUE(Send(Text("Hello?")).empty());
  // Right after a write frame the text first looks like another group.
  EXPECT_EQ(Send(ShortFrame(Write, 1, 2) + Text("Hello!")), Text("Hello!"));
  core.SetRegister(4, 0x44);
  EXPECT_EQ(Send(ShortFrame(Read, 4) + Text("Hello!")), ReadAnswer(4, 0x44) + Text("Hello!"));
}

TEST(BoardCoreOptions, AnswerDelayHoldsEveryAnswer) {
  BoardOptions options;
  options.answerDelay = milliseconds(30);
  BoardCore core(options);
  const BoardCore::TimePoint start{std::chrono::seconds(5)};
  core.Receive(Text("Hello!") + LongFrame(Read, 0), start);
  EXPECT_TRUE(core.Poll(start + milliseconds(29)).empty());
  EXPECT_EQ(core.NextDeadline(), start + milliseconds(30));
  EXPECT_EQ(core.Poll(start + milliseconds(30)), Text("Hello!") + ReadAnswer(0, 0));
}

TEST(BoardCoreOptions, APacedLineSendsEachByteWhenItsTenBitsHaveGone) {
  BoardOptions options;
  options.lineRate = 1000;  // 10 ms a byte
  BoardCore core(options);
  const BoardCore::TimePoint start{std::chrono::seconds(5)};
  core.Receive(Text("Hello!"), start);
  EXPECT_TRUE(core.Poll(start + milliseconds(9)).empty());
  EXPECT_EQ(core.Poll(start + milliseconds(25)), Text("He"));
  EXPECT_EQ(core.NextDeadline(), start + milliseconds(30));
  core.Receive(Text("Hello!"), start + milliseconds(26));  // waits for the line
  EXPECT_EQ(core.Poll(start + milliseconds(75)), Text("llo!H"));
  EXPECT_EQ(core.Poll(start + milliseconds(120)), Text("ello!"));
  EXPECT_FALSE(core.NextDeadline().has_value());
}

TEST(BoardCoreOptions, SilentBoardAnswersNothing) {
  BoardOptions options;
  options.silent = true;
  BoardCore core(options);
  const BoardCore::TimePoint start{std::chrono::seconds(5)};
  core.Receive(Text("Hello!") + ShortFrame(0xBC, 0) + ShortFrame(Read, 0), start);
  EXPECT_TRUE(core.Poll(start + std::chrono::seconds(1)).empty());
  EXPECT_FALSE(core.NextDeadline().has_value());
}

class BoardCaptureTest : public ::testing::Test {
 protected:
  Bytes Capture(BoardCore& core) {
    core.Receive(ShortFrame(0xBC, 0), now);
    return core.Poll(now);
  }
  BoardCore::TimePoint now{std::chrono::seconds(1)};
};

TEST_F(BoardCaptureTest, BlockIsBigEndianSignedIqOfAContinuingTone) {
  BoardOptions options;
  // Half a cycle per block, so each block starts where the last one ended.
  options.signal = {.cyclesPerBlock = 0.5, .amplitude = 30000.0, .noise = 0.0};
  BoardCore core(options);
  auto word = [](const Bytes& block, std::size_t k) {
    return Bytes(block.begin() + 4 * k, block.begin() + 4 * k + 4);
  };
  const Bytes first = Capture(core);
  ASSERT_EQ(first.size(), 4096u);
  EXPECT_EQ(word(first, 0), (Bytes{0x75, 0x30, 0x00, 0x00}));    // I = +30000, Q = 0
  EXPECT_EQ(word(first, 512), (Bytes{0x00, 0x00, 0x75, 0x30}));  // I = 0, Q = +30000
  const Bytes second = Capture(core);
  EXPECT_EQ(word(second, 0), (Bytes{0x8A, 0xD0, 0x00, 0x00}));    // I = -30000
  EXPECT_EQ(word(second, 512), (Bytes{0x00, 0x00, 0x8A, 0xD0}));  // Q = -30000
}

TEST_F(BoardCaptureTest, DefaultSignalIsOneClearSpectralLineWithSomeNoise) {
  BoardCore core;
  const auto samples = DecodeBlock(Capture(core));
  ASSERT_EQ(samples.size(), 1024u);
  const double cycles = BoardOptions{}.signal.cyclesPerBlock;
  std::complex<double> line;
  for (std::size_t k = 0; k < samples.size(); ++k) {
    line += samples[k] * std::polar(1.0, -2.0 * std::numbers::pi * cycles * k / 1024.0);
  }
  line /= 1024.0;
  EXPECT_NEAR(std::abs(line), 8000.0, 20.0);
  double residual = 0;
  for (std::size_t k = 0; k < samples.size(); ++k) {
    const auto tone = line * std::polar(1.0, 2.0 * std::numbers::pi * cycles * k / 1024.0);
    residual += std::norm(samples[k] - tone);
  }
  const double noiseRms = std::sqrt(residual / 1024.0);
  EXPECT_GT(noiseRms, 1.0);
  EXPECT_LT(noiseRms, 200.0);
}

TEST_F(BoardCaptureTest, CaptureLengthOptionShortensOrStretchesTheAnswer) {
  for (const std::size_t length : {4095u, 4100u}) {
    BoardOptions options;
    options.captureBytes = length;
    BoardCore core(options);
    EXPECT_EQ(Capture(core).size(), length);
  }
}

}  // namespace
