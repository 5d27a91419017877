#pragma once
// The board's behaviour, free of I/O: bytes from the host go in through
// Receive, answers come out of Poll. Time is handed in, so the quiet-line rule
// and the answer delay can be driven exactly, and a front end can sleep until
// NextDeadline instead of spinning.
//
// On the wire a frame is the preamble FF FF FF FF followed by 4-byte command
// groups (code, register, data, 00): one group for a short frame, four for a
// long one. Nothing says how long a frame is, so a frame ends when its fourth
// group has arrived, when a new preamble starts, when a group is not a command
// (noise, or text such as the link check), or, while a read waits for its
// answer, when the line has been quiet for QuietTime.
#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <vector>

#include "board/tone.h"

struct BoardOptions {
  std::chrono::milliseconds answerDelay{0};  // added before every answer
  bool silent = false;                       // answer nothing: a board that is not there
  std::size_t captureBytes = 4096;           // other lengths exercise the host's failure path
  std::size_t wholeCaptures = 0;             // answers of 4096 bytes before captureBytes applies
  std::size_t readBytes = 6;                 // of a read answer: cut short, or padded with zeros
  std::uint32_t lineRate = 0;                // baud of the answers, 10 bits a byte; 0: unpaced
  SignalOptions signal;
};

class BoardCore {
 public:
  using Clock = std::chrono::steady_clock;
  using TimePoint = Clock::time_point;

  // The host waits 100 ms before it collects a read answer; a few ms of
  // silence is therefore a safe sign that a short read frame is complete.
  static constexpr std::chrono::milliseconds QuietTime{5};

  explicit BoardCore(const BoardOptions& options = {});
  // Answers from now on follow these options; the signal goes on as it was.
  void SetOptions(const BoardOptions& options);

  void Receive(std::span<const std::uint8_t> bytes, TimePoint now);
  // The answer bytes due by now, in order; empty when none are.
  std::vector<std::uint8_t> Poll(TimePoint now);
  // When Poll next has something to do; empty while nothing is waiting.
  std::optional<TimePoint> NextDeadline() const;

  // index 0..255; std::out_of_range otherwise.
  std::uint8_t Register(int index) const;
  void SetRegister(int index, std::uint8_t value);

 private:
  struct PendingRead {
    std::uint8_t firstRegister = 0;
    std::uint32_t value = 0;
  };
  struct Answer {
    TimePoint due;
    std::vector<std::uint8_t> bytes;
  };

  std::optional<TimePoint> QuietDeadline() const;
  TimePoint NextByteDue() const;
  void SendPaced(TimePoint now, std::vector<std::uint8_t>& due);
  void EndFrameIfQuiet(TimePoint now);
  void Feed(std::uint8_t byte, TimePoint now);
  void FeedOutsideFrame(std::uint8_t byte, TimePoint now);
  void FeedInsideFrame(std::uint8_t byte, TimePoint now);
  void MatchHello(std::uint8_t byte, TimePoint now);
  void Execute(const std::array<std::uint8_t, 4>& group, TimePoint now);
  void CloseFrame(TimePoint at);
  void Send(std::vector<std::uint8_t> bytes, TimePoint at);
  std::vector<std::uint8_t> CaptureBlock();

  BoardOptions options_;
  std::size_t wholeCapturesLeft_ = 0;
  ToneGenerator tone_;
  std::array<std::uint8_t, 256> registers_{};

  bool inFrame_ = false;
  int preambleBytes_ = 0;          // FF bytes seen in a row outside a frame
  std::size_t helloMatched_ = 0;   // bytes of "Hello!" seen in a row outside a frame
  std::array<std::uint8_t, 4> group_{};
  std::size_t groupFill_ = 0;
  int groupsDone_ = 0;
  std::optional<PendingRead> pendingRead_;
  TimePoint lastByte_{};

  std::deque<Answer> answers_;  // due times never decrease
  TimePoint lineFree_{};        // a paced line has sent its last byte by then
};
