// The virtual board's core: any byte stream, split anywhere and spread over
// time. Every answer is a capture block, a read answer or the link check's
// echo, each to a frame or text that came before it in the stream; a read
// answer holds only bytes that writes put there; fed byte by byte the board
// gives the same answers at the same times; and NextDeadline tells when Poll
// has something to do.
//
// Input: a byte of options (answer delay, capture length), then chunks, each
// a byte of pause before it (in 0.1 ms), a byte of length and its bytes.
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

#include "board/boardcore.h"
#include "fuzz_support.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using TimePoint = BoardCore::TimePoint;
using Tenths = std::chrono::duration<int, std::ratio<1, 10000>>;

constexpr std::array<std::size_t, 6> CaptureLengths = {4096, 4095, 4100, 45, 3, 0};
constexpr std::array<std::uint8_t, 4> Preamble = {0xFF, 0xFF, 0xFF, 0xFF};
constexpr std::string_view Hello = "Hello!";
constexpr std::uint8_t Write = 0x47, Read = 0xBB, Capture = 0xBC;

struct Chunk {
  TimePoint at;
  std::span<const std::uint8_t> bytes;
};

// Each answer byte with the time of the poll that gave it.
using Answers = std::vector<std::pair<TimePoint, std::uint8_t>>;

bool StartsWith(std::span<const std::uint8_t> bytes, std::span<const std::uint8_t> prefix) {
  return !prefix.empty() && bytes.size() >= prefix.size() &&
         std::equal(prefix.begin(), prefix.end(), bytes.begin());
}

// Matches each answer to what it answers: every kind in stream order, each
// frame group or text at most once.
class AnswerCheck {
 public:
  explicit AnswerCheck(const BoardOptions& options) : reference_(options), delay_(options.answerDelay) {}

  void operator()(std::span<const std::uint8_t> answers, const Bytes& stream) {
    while (!answers.empty()) answers = answers.subspan(Match(answers, stream));
  }

 private:
  std::size_t Match(std::span<const std::uint8_t> answers, const Bytes& stream) {
    if (StartsWith(answers, NextBlock())) {
      Require(FindGroup(stream, captured_, Capture), "a capture block answers a capture frame");
      return std::exchange(block_, {}).size();
    }
    const std::span hello(reinterpret_cast<const std::uint8_t*>(Hello.data()), Hello.size());
    if (StartsWith(answers, hello)) {
      const auto at = std::search(stream.begin() + static_cast<std::ptrdiff_t>(greeted_), stream.end(),
                                  hello.begin(), hello.end());
      Require(at != stream.end(), "the echo answers the link check's text");
      greeted_ = static_cast<std::size_t>(at - stream.begin()) + hello.size();
      return hello.size();
    }
    Require(answers.size() >= 6 && answers[0] == Read, "every answer has a known form");
    Require(FindGroup(stream, read_, Read, answers[1]), "a read answer answers a read of its register");
    for (const std::uint8_t byte : answers.subspan(2, 4))
      Require(byte == 0 || Written(stream, byte), "a read answer holds what writes put there");
    return 6;
  }

  // The board's next capture block, from a board that only captures.
  const Bytes& NextBlock() {
    if (block_.empty()) {
      reference_.Receive(Bytes{0xFF, 0xFF, 0xFF, 0xFF, Capture, 0, 0, 0}, {});
      block_ = reference_.Poll(TimePoint{} + delay_);
    }
    return block_;
  }

  // Finds the next command group of the code (and register) after `from`,
  // behind a preamble, and moves `from` past it.
  static bool FindGroup(const Bytes& stream, std::size_t& from, std::uint8_t code, int reg = -1) {
    const auto preamble = std::search(stream.begin(), stream.end(), Preamble.begin(), Preamble.end());
    if (preamble == stream.end()) return false;
    const auto first = std::max(from, static_cast<std::size_t>(preamble - stream.begin()) + Preamble.size());
    for (std::size_t i = first; i + 4 <= stream.size(); ++i)
      if (stream[i] == code && stream[i + 3] == 0 && (reg < 0 || stream[i + 1] == reg)) {
        from = i + 4;
        return true;
      }
    return false;
  }

  static bool Written(const Bytes& stream, std::uint8_t value) {
    for (std::size_t i = 0; i + 4 <= stream.size(); ++i)
      if (stream[i] == Write && stream[i + 2] == value && stream[i + 3] == 0) return true;
    return false;
  }

  BoardCore reference_;
  std::chrono::milliseconds delay_;
  Bytes block_;
  std::size_t captured_ = 0, read_ = 0, greeted_ = 0;
};

// Feeds the chunks, whole or byte by byte, and polls after each and at
// every deadline between them; `heard` sees each poll's bytes together with
// the stream received so far.
template <class Heard>
Answers Serve(const BoardOptions& options, const std::vector<Chunk>& chunks, bool byteByByte,
              Heard&& heard) {
  BoardCore core(options);
  Bytes received;
  Answers answers;
  const auto poll = [&](TimePoint now) {
    const Bytes bytes = core.Poll(now);
    if (!bytes.empty()) heard(bytes, received);
    for (const std::uint8_t byte : bytes) answers.emplace_back(now, byte);
  };
  const auto pollDeadlinesBefore = [&](TimePoint end) {
    for (auto deadline = core.NextDeadline(); deadline && *deadline < end;) {
      poll(*deadline);
      const auto next = core.NextDeadline();
      Require(!next || *next > *deadline, "a poll at the deadline deals with it");
      deadline = next;
    }
  };
  for (const Chunk& chunk : chunks) {
    pollDeadlinesBefore(chunk.at);
    const std::size_t piece = byteByByte ? 1 : std::max<std::size_t>(chunk.bytes.size(), 1);
    for (std::size_t i = 0; i < chunk.bytes.size(); i += piece) {
      const auto bytes = chunk.bytes.subspan(i, std::min(piece, chunk.bytes.size() - i));
      received.insert(received.end(), bytes.begin(), bytes.end());
      core.Receive(bytes, chunk.at);
      poll(chunk.at);
    }
  }
  pollDeadlinesBefore(TimePoint::max());
  Require(!core.NextDeadline() && core.Poll(TimePoint::max()).empty(),
          "nothing is due once no deadline is left");
  return answers;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  BoardOptions options;
  options.answerDelay = std::chrono::milliseconds(data[0] % 8);
  options.captureBytes = CaptureLengths[data[0] / 8 % CaptureLengths.size()];

  std::vector<Chunk> chunks;
  TimePoint at{};
  for (std::size_t i = 1; i + 2 <= size;) {
    at += Tenths(data[i]);
    const std::size_t length = std::min<std::size_t>(data[i + 1], size - i - 2);
    chunks.push_back({at, std::span(data + i + 2, length)});
    i += 2 + length;
  }

  const Answers whole = Serve(options, chunks, false, AnswerCheck(options));
  const Answers bytewise = Serve(options, chunks, true, [](auto&&...) {});
  Require(bytewise == whole, "bytes fed one by one give the same answers at the same times");
  return 0;
}
