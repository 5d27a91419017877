#include "board/boardcore.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

namespace {

constexpr std::uint8_t PreambleByte = 0xFF;
constexpr int PreambleLength = 4;
constexpr int LongFrameGroups = 4;
constexpr std::uint8_t Write = 0x47;
constexpr std::uint8_t Read = 0xBB;
constexpr std::uint8_t Capture = 0xBC;
constexpr std::string_view Hello = "Hello!";

constexpr std::int64_t BitsPerByte = 10;  // start bit, 8 data bits, stop bit
constexpr std::int64_t NanosecondsPerSecond = 1'000'000'000;

// The time `count` bytes take on a line of `rate` baud, rounded up, so that
// BytesIn of it is never less than `count`.
std::chrono::nanoseconds ByteTime(std::uint32_t rate, std::size_t count) {
  const auto bits = static_cast<std::int64_t>(count) * BitsPerByte;
  return std::chrono::nanoseconds((bits * NanosecondsPerSecond + rate - 1) / rate);
}

// How many whole bytes such a line carries in `time`.
std::size_t BytesIn(std::uint32_t rate, BoardCore::Clock::duration time) {
  const auto nanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds>(time).count();
  if (nanoseconds <= 0) return 0;
  const long double bytes = static_cast<long double>(nanoseconds) * rate / (BitsPerByte * NanosecondsPerSecond);
  return static_cast<std::size_t>(std::min<long double>(bytes, SIZE_MAX));
}

bool IsCommandGroup(const std::array<std::uint8_t, 4>& group) {
  const std::uint8_t code = group[0];
  return (code == Write || code == Read || code == Capture) && group[3] == 0x00;
}

void AppendBigEndian16(std::vector<std::uint8_t>& bytes, std::int16_t value) {
  const auto bits = static_cast<std::uint16_t>(value);
  bytes.push_back(static_cast<std::uint8_t>(bits >> 8));
  bytes.push_back(static_cast<std::uint8_t>(bits));
}

}  // namespace

BoardCore::BoardCore(const BoardOptions& options)
    : options_(options), wholeCapturesLeft_(options.wholeCaptures), tone_(options.signal) {}

void BoardCore::SetOptions(const BoardOptions& options) {
  options_ = options;
  wholeCapturesLeft_ = options.wholeCaptures;
}

void BoardCore::Receive(std::span<const std::uint8_t> bytes, TimePoint now) {
  if (bytes.empty()) return;
  EndFrameIfQuiet(now);
  for (const std::uint8_t byte : bytes) Feed(byte, now);
  lastByte_ = now;
}

std::vector<std::uint8_t> BoardCore::Poll(TimePoint now) {
  EndFrameIfQuiet(now);
  std::vector<std::uint8_t> due;
  if (options_.lineRate != 0) {
    SendPaced(now, due);
    return due;
  }
  while (!answers_.empty() && answers_.front().due <= now) {
    const auto& bytes = answers_.front().bytes;
    due.insert(due.end(), bytes.begin(), bytes.end());
    answers_.pop_front();
  }
  return due;
}

std::optional<BoardCore::TimePoint> BoardCore::NextDeadline() const {
  std::optional<TimePoint> next = QuietDeadline();
  if (!answers_.empty() && (!next || NextByteDue() < *next)) next = NextByteDue();
  return next;
}

// When the front answer's next byte (unpaced: all of it) has left the board.
BoardCore::TimePoint BoardCore::NextByteDue() const {
  const TimePoint due = answers_.front().due;
  if (options_.lineRate == 0) return due;
  return std::max(due, lineFree_) + ByteTime(options_.lineRate, 1);
}

// A byte has left once its ten bits have: an answer starts when it is due
// and the line is free, and goes out byte by byte.
void BoardCore::SendPaced(TimePoint now, std::vector<std::uint8_t>& due) {
  while (!answers_.empty() && NextByteDue() <= now) {
    Answer& answer = answers_.front();
    const TimePoint start = std::max(answer.due, lineFree_);
    const auto sent = std::min<std::size_t>(answer.bytes.size(), BytesIn(options_.lineRate, now - start));
    due.insert(due.end(), answer.bytes.begin(), answer.bytes.begin() + static_cast<std::ptrdiff_t>(sent));
    answer.bytes.erase(answer.bytes.begin(), answer.bytes.begin() + static_cast<std::ptrdiff_t>(sent));
    lineFree_ = start + ByteTime(options_.lineRate, sent);
    if (answer.bytes.empty()) answers_.pop_front();
  }
}

std::uint8_t BoardCore::Register(int index) const { return registers_.at(index); }

void BoardCore::SetRegister(int index, std::uint8_t value) { registers_.at(index) = value; }

std::optional<BoardCore::TimePoint> BoardCore::QuietDeadline() const {
  if (!pendingRead_) return std::nullopt;
  return lastByte_ + QuietTime;
}

void BoardCore::EndFrameIfQuiet(TimePoint now) {
  const auto deadline = QuietDeadline();
  if (deadline && *deadline <= now) CloseFrame(*deadline);
}

void BoardCore::Feed(std::uint8_t byte, TimePoint now) {
  if (inFrame_) {
    FeedInsideFrame(byte, now);
  } else {
    FeedOutsideFrame(byte, now);
  }
}

void BoardCore::FeedOutsideFrame(std::uint8_t byte, TimePoint now) {
  if (byte != PreambleByte) {
    preambleBytes_ = 0;
    MatchHello(byte, now);
    return;
  }
  helloMatched_ = 0;
  if (++preambleBytes_ == PreambleLength) {
    preambleBytes_ = 0;
    inFrame_ = true;
  }
}

void BoardCore::MatchHello(std::uint8_t byte, TimePoint now) {
  // "H" occurs only at the start of "Hello!", so a mismatch can only restart
  // the match at this very byte.
  if (byte != static_cast<std::uint8_t>(Hello[helloMatched_])) helloMatched_ = 0;
  if (byte == static_cast<std::uint8_t>(Hello[helloMatched_])) ++helloMatched_;
  if (helloMatched_ == Hello.size()) {
    helloMatched_ = 0;
    Send({Hello.begin(), Hello.end()}, now);
  }
}

void BoardCore::FeedInsideFrame(std::uint8_t byte, TimePoint now) {
  if (groupFill_ == 0 && byte == PreambleByte) {
    // A command code is never FF: before the first group this is a longer
    // preamble, after it the start of the next frame.
    if (groupsDone_ == 0) return;
    CloseFrame(now);
    FeedOutsideFrame(byte, now);
    return;
  }
  group_[groupFill_++] = byte;
  if (groupFill_ < group_.size()) return;
  // A frame cut short by a new preamble leaves FF in a group's last byte.
  if (!IsCommandGroup(group_)) {
    CloseFrame(now);
    return;
  }
  groupFill_ = 0;
  Execute(group_, now);
  if (++groupsDone_ == LongFrameGroups) CloseFrame(now);
}

void BoardCore::Execute(const std::array<std::uint8_t, 4>& group, TimePoint now) {
  const std::uint8_t code = group[0];
  const std::uint8_t reg = group[1];
  if (code == Write) {
    registers_[reg] = group[2];
  } else if (code == Read) {
    // Each read group adds its register to the value, first one most
    // significant: one register for a short frame, four for a long one.
    if (!pendingRead_) pendingRead_ = PendingRead{reg, 0};
    pendingRead_->value = (pendingRead_->value << 8) | registers_[reg];
  } else {
    Send(CaptureBlock(), now);
  }
}

void BoardCore::CloseFrame(TimePoint at) {
  if (pendingRead_) {
    const std::uint32_t value = pendingRead_->value;
    std::vector<std::uint8_t> answer{Read, pendingRead_->firstRegister,
                                     static_cast<std::uint8_t>(value >> 24),
                                     static_cast<std::uint8_t>(value >> 16),
                                     static_cast<std::uint8_t>(value >> 8),
                                     static_cast<std::uint8_t>(value)};
    answer.resize(options_.readBytes, 0x00);
    Send(std::move(answer), at);
    pendingRead_.reset();
  }
  // Bytes of an unfinished group were not a command after all: they may be
  // noise, the link check's text or the start of the next preamble.
  const std::vector<std::uint8_t> leftover(group_.begin(), group_.begin() + groupFill_);
  inFrame_ = false;
  groupFill_ = 0;
  groupsDone_ = 0;
  for (const std::uint8_t byte : leftover) Feed(byte, at);
}

void BoardCore::Send(std::vector<std::uint8_t> bytes, TimePoint at) {
  if (options_.silent || bytes.empty()) return;
  answers_.push_back({at + options_.answerDelay, std::move(bytes)});
}

std::vector<std::uint8_t> BoardCore::CaptureBlock() {
  std::size_t length = options_.captureBytes;
  if (wholeCapturesLeft_ > 0) {
    --wholeCapturesLeft_;
    length = SamplesPerBlock * 4;
  }
  std::vector<std::uint8_t> bytes;
  bytes.reserve(length + 3);
  while (bytes.size() < length) {
    const IqSample sample = tone_.Next();
    AppendBigEndian16(bytes, sample.i);
    AppendBigEndian16(bytes, sample.q);
  }
  bytes.resize(length);
  return bytes;
}
