#include "link/registercommand.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <limits>
#include <optional>
#include <thread>

#include "platform/errors.h"
#include "platform/numtext.h"

namespace {

using std::chrono::milliseconds;

constexpr std::uint32_t WideGroups = 4;
constexpr milliseconds AfterFrameWait{1};
constexpr milliseconds AnswerWait{100};
// The board answers a read with 6 bytes: code, register, value (4 bytes).
constexpr std::size_t AnswerLength = 6;
constexpr int AnswerBufferSize = 40;

void AppendGroup(std::vector<std::uint8_t>& frame, std::uint8_t command, std::uint32_t reg,
                 std::uint32_t data) {
  frame.insert(frame.end(), {command, static_cast<std::uint8_t>(reg),
                             static_cast<std::uint8_t>(data), 0x00});
}

// Takes every waiting byte off the queue, so that the next transaction starts
// clean; only the first 40 are the answer.
std::vector<std::uint8_t> TakeWaitingBytes(TComPort& port) {
  const int waiting = port.InQueueCount();
  if (waiting <= 0) return {};
  std::vector<std::uint8_t> answer(static_cast<std::size_t>(std::min(waiting, AnswerBufferSize)));
  port.Read(answer.data(), static_cast<int>(answer.size()));
  if (waiting > AnswerBufferSize) {
    std::vector<std::uint8_t> rest(static_cast<std::size_t>(waiting - AnswerBufferSize));
    port.Read(rest.data(), static_cast<int>(rest.size()));
  }
  return answer;
}

std::uint32_t AnswerValue(const std::vector<std::uint8_t>& answer) {
  return std::uint32_t{answer[2]} << 24 | std::uint32_t{answer[3]} << 16 |
         std::uint32_t{answer[4]} << 8 | std::uint32_t{answer[5]};
}

// Opens the port unless the caller holds it. What is opened here is closed
// when `closer` goes, however the transaction ends: an exception on the way
// must not leave the device open.
bool TakePort(TComPort& port, bool portHeld, std::optional<PortCloser>& closer) {
  if (portHeld) return true;
  if (!port.Open()) return false;
  closer.emplace(port);
  return true;
}

void SendFrame(TComPort& port, std::uint8_t command, std::uint32_t address, std::uint32_t value) {
  const std::vector<std::uint8_t> frame = RegisterFrame(command, address, value);
  port.DiscardInput();
  port.Write(frame.data(), static_cast<int>(frame.size()));
  std::this_thread::sleep_for(AfterFrameWait);
}

}  // namespace

void DropLateAnswers(TComPort& port) {
  using Clock = std::chrono::steady_clock;
  constexpr int QuietMs = 10;
  const auto limit = Clock::now() + std::chrono::seconds(1);
  std::array<std::uint8_t, 4096> late;
  while (port.ReadSome(late.data(), static_cast<int>(late.size()), QuietMs) > 0 &&
         Clock::now() < limit) {
  }
}

std::vector<std::uint8_t> RegisterFrame(std::uint8_t command, std::uint32_t address,
                                        std::uint32_t value) {
  std::vector<std::uint8_t> frame{0xFF, 0xFF, 0xFF, 0xFF};
  if (address < FirstWideAddress) {
    AppendGroup(frame, command, address, value);
    return frame;
  }
  const std::uint32_t firstRegister = address / 100;
  for (std::uint32_t k = 0; k < WideGroups; ++k)
    AppendGroup(frame, command, firstRegister + k, value >> (24 - 8 * k));
  return frame;
}

LinkError WriteRegister(TComPort& port, std::uint32_t address, std::uint32_t value, bool portHeld) {
  std::optional<PortCloser> closer;
  if (!TakePort(port, portHeld, closer)) return LinkError::CannotOpen;
  SendFrame(port, CommandWrite, address, value);
  return LinkError::None;
}

// A short answer carries no defined value.
RegisterReadResult ReadRegister(TComPort& port, std::uint32_t address, bool portHeld) {
  std::optional<PortCloser> closer;
  if (!TakePort(port, portHeld, closer)) return {LinkError::CannotOpen};
  SendFrame(port, CommandRead, address, 0);
  std::this_thread::sleep_for(AnswerWait);
  const std::vector<std::uint8_t> answer = TakeWaitingBytes(port);
  if (answer.empty()) return {LinkError::NoAnswer};
  if (answer.size() < AnswerLength) return {LinkError::ShortAnswer};
  return {LinkError::None, AnswerValue(answer)};
}

std::uint32_t ParseRegisterValue(const std::string& text) {
  const std::optional<std::int64_t> number = ParseIntegerText(text);
  if (!number) throw ConversionError("'" + text + "' is not a valid integer value");
  if (*number < 0 || *number > std::numeric_limits<std::uint32_t>::max())
    throw ConversionError("Value is out of range");
  return static_cast<std::uint32_t>(*number);
}
