#include "link/registercommand.h"

#include <algorithm>
#include <chrono>
#include <limits>
#include <optional>
#include <thread>

#include "platform/errors.h"
#include "platform/messages.h"
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

std::optional<std::string> ValueText(std::uint32_t value, const std::string& accessMode) {
  if (accessMode == "get_s") return std::to_string(static_cast<std::int32_t>(value));
  if (accessMode == "get_u") return std::to_string(value);
  return std::nullopt;
}

// A short answer carries no defined value: it is treated like no answer.
void CollectReadAnswer(TComPort& port, const TextTarget& target, const std::string& accessMode) {
  std::this_thread::sleep_for(AnswerWait);
  const std::vector<std::uint8_t> answer = TakeWaitingBytes(port);
  if (answer.size() < AnswerLength) {
    target("TimeOut");
    ShowMessage("Timeout", "Port error");
    return;
  }
  if (const auto text = ValueText(AnswerValue(answer), accessMode)) target(*text);
}

}  // namespace

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

void SendRegisterCommand(TComPort& port, std::uint8_t command, std::uint32_t address,
                         std::uint32_t value, bool portAlreadyOpen, const TextTarget& target,
                         const std::string& accessMode) {
  // A port that fails to open does not stop the transaction: the frame goes
  // nowhere and a read ends in its time-out.
  std::optional<PortCloser> closer;
  if (!portAlreadyOpen) {
    if (!port.Open()) ShowMessage("Port is busy", "Port error");
    closer.emplace(port);
  }
  const std::vector<std::uint8_t> frame = RegisterFrame(command, address, value);
  port.DiscardInput();
  port.Write(frame.data(), static_cast<int>(frame.size()));
  std::this_thread::sleep_for(AfterFrameWait);
  if (command == CommandRead) CollectReadAnswer(port, target, accessMode);
}

std::uint32_t ParseRegisterValue(const std::string& text) {
  const std::optional<std::int64_t> number = ParseIntegerText(text);
  if (!number) throw ConversionError("'" + text + "' is not a valid integer value");
  if (*number < 0 || *number > std::numeric_limits<std::uint32_t>::max())
    throw ConversionError("Value is out of range");
  return static_cast<std::uint32_t>(*number);
}
