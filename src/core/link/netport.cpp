#include "link/netport.h"
#include "link/deadline.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <string_view>
#include <thread>
#include <utility>

namespace {

using Clock = std::chrono::steady_clock;
using namespace telnet;

// The Com Port Control Option's requests; the server answers each with its
// code + 100 and the value it has put in force.
constexpr std::uint8_t SetBaudRate = 1;
constexpr std::uint8_t SetDataSize = 2;
constexpr std::uint8_t SetParity = 3;
constexpr std::uint8_t SetStopSize = 4;
constexpr std::uint8_t SetControl = 5;
constexpr std::uint8_t PurgeData = 12;
constexpr std::uint8_t AnswerOffset = 100;
constexpr std::uint8_t ParityNone = 1;
constexpr std::uint8_t OneStopBit = 1;
constexpr std::uint8_t NoFlowControl = 1;
constexpr std::uint8_t PurgeReceiveBuffer = 1;

struct LineRequest {
  std::uint8_t code;
  const char* name;
};
constexpr LineRequest LineRequests[] = {{SetBaudRate, "SET-BAUDRATE"},
                                        {SetDataSize, "SET-DATASIZE"},
                                        {SetParity, "SET-PARITY"},
                                        {SetStopSize, "SET-STOPSIZE"},
                                        {SetControl, "SET-CONTROL"}};

// Answers come within a round trip; a server that leaves one out (a
// pty-backed ser2net never confirms some requests) must not hold up an open.
constexpr int AnswerWaitMs = 500;
// A raw server that cannot give us the port says so at once, then hangs up.
constexpr int RawGreetingMs = 30;
// ser2net closes its end within a few milliseconds of ours.
constexpr int HangUpWaitMs = 200;
constexpr std::string_view PortInUse = "Port already in use";

std::vector<std::uint8_t> BigEndian(std::uint32_t value) {
  return {static_cast<std::uint8_t>(value >> 24), static_cast<std::uint8_t>(value >> 16),
          static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
}

}  // namespace

PortFault NetPort::Open(const NetPortName& name, std::uint32_t baudRate, const Warning& warn) {
  endpoint_ = name.Endpoint();
  telnet_ = name.comPortControl;
  const PortFault fault = connection_.Connect(name.host, name.port, NetConnectTimeoutMs);
  if (fault != PortFault::None) return fault;
  return telnet_ ? Negotiate(baudRate, warn) : AwaitRawGreeting();
}

void NetPort::Close() { connection_.HangUp(HangUpWaitMs); }

PortFault NetPort::Negotiate(std::uint32_t baudRate, const Warning& warn) {
  for (const std::uint8_t option : {OptionBinary, OptionSuppressGoAhead, OptionComPort})
    local_[option].wanted = true;
  for (const std::uint8_t option : {OptionBinary, OptionSuppressGoAhead})
    remote_[option].wanted = true;
  Ask(Will, OptionBinary);
  Ask(Do, OptionBinary);
  Ask(Will, OptionSuppressGoAhead);
  Ask(Do, OptionSuppressGoAhead);
  Ask(Will, OptionComPort);
  SendComPortRequest(SetBaudRate, BigEndian(baudRate));
  SendComPortRequest(SetDataSize, {8});
  SendComPortRequest(SetParity, {ParityNone});
  SendComPortRequest(SetStopSize, {OneStopBit});
  SendComPortRequest(SetControl, {NoFlowControl});

  const OptionState& comPort = local_[OptionComPort];
  const auto allAnswered = [this] {
    return std::all_of(std::begin(LineRequests), std::end(LineRequests),
                       [this](const LineRequest& request) { return answered_[request.code]; });
  };
  const auto deadline = Clock::now() + std::chrono::milliseconds(AnswerWaitMs);
  while ((comPort.asked || comPort.on) && !allAnswered()) {
    const int left = MsLeft(deadline);
    if (Pump(left) < 0) return ClosedAtOpen();
    if (left == 0) break;
  }
  if (!comPort.on) {
    warn(endpoint_ + (comPort.asked ? " did not answer" : " refuses") +
         " the Com Port Control Option: the port is used as it is, its line set at the server");
    return PortFault::None;
  }
  for (const LineRequest& request : LineRequests)
    if (!answered_[request.code])
      warn(endpoint_ + " did not confirm " + request.name + " within " +
           std::to_string(AnswerWaitMs) + " ms");
  if (answered_[SetBaudRate] && reportedBaudRate_ != baudRate) return PortFault::RateRefused;
  return PortFault::None;
}

PortFault NetPort::AwaitRawGreeting() {
  const auto deadline = Clock::now() + std::chrono::milliseconds(RawGreetingMs);
  for (int left = RawGreetingMs; left > 0; left = MsLeft(deadline))
    if (Pump(left) < 0) return ClosedAtOpen();
  return PortFault::None;
}

// A server that hangs up at once either told us why or has no port for us.
PortFault NetPort::ClosedAtOpen() const {
  const std::string_view said(reinterpret_cast<const char*>(data_.data()), data_.size());
  return said.find(PortInUse) != std::string_view::npos ? PortFault::Busy : PortFault::Lost;
}

void NetPort::Send(const std::vector<std::uint8_t>& bytes) {
  // A failed send is not told here: the closed connection shows at the next read.
  connection_.SendAll(bytes.data(), bytes.size());
}

void NetPort::Ask(std::uint8_t verb, std::uint8_t option) {
  (verb == Will ? local_ : remote_)[option].asked = true;
  Send({Iac, verb, option});
}

void NetPort::SendComPortRequest(std::uint8_t code, const std::vector<std::uint8_t>& value) {
  std::vector<std::uint8_t> request{Iac, Sb, OptionComPort};
  AppendEscaped(request, &code, 1);
  AppendEscaped(request, value.data(), value.size());
  request.insert(request.end(), {Iac, Se});
  Send(request);
}

int NetPort::Pump(int waitMs) {
  std::uint8_t buffer[8192];
  const int count = connection_.Receive(buffer, sizeof buffer, waitMs);
  if (count < 0) {
    lost_ = true;
    return -1;
  }
  const auto size = static_cast<std::size_t>(count);
  if (!telnet_) {
    data_.insert(data_.end(), buffer, buffer + size);
    return count;
  }
  std::vector<Command> commands;
  parser_.Feed(buffer, size, data_, commands);
  for (const Command& command : commands) Handle(command);
  return count;
}

void NetPort::Handle(const Command& command) {
  if (command.verb != Sb) HandleOption(command.verb, command.option);
  else if (command.option == OptionComPort) HandleComPortAnswer(command.payload);
}

// Agrees to what we want and refuses the rest, answering only a change of
// state, so that two sides that both ask never loop.
void NetPort::HandleOption(std::uint8_t verb, std::uint8_t option) {
  const bool aboutUs = verb == Do || verb == Dont;
  OptionState& state = (aboutUs ? local_ : remote_)[option];
  const bool enable = verb == Do || verb == Will;
  const std::uint8_t yes = aboutUs ? Will : Do;
  const std::uint8_t no = aboutUs ? Wont : Dont;
  const bool wasAsked = std::exchange(state.asked, false);
  if (enable == state.on) return;
  if (enable && !state.wanted) {
    Send({Iac, no, option});
    return;
  }
  state.on = enable;
  if (!wasAsked) Send({Iac, enable ? yes : no, option});
}

void NetPort::HandleComPortAnswer(const std::vector<std::uint8_t>& payload) {
  if (payload.empty() || payload[0] <= AnswerOffset) return;
  const std::uint8_t request = payload[0] - AnswerOffset;
  answered_[request] = true;
  if (request == SetBaudRate && payload.size() >= 5)
    reportedBaudRate_ = std::uint32_t{payload[1]} << 24 | std::uint32_t{payload[2]} << 16 |
                        std::uint32_t{payload[3]} << 8 | std::uint32_t{payload[4]};
}

bool NetPort::Write(const void* data, int count) {
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  const auto size = static_cast<std::size_t>(std::max(count, 0));
  if (!telnet_) return connection_.SendAll(bytes, size);
  std::vector<std::uint8_t> escaped;
  escaped.reserve(size + 16);
  AppendEscaped(escaped, bytes, size);
  return connection_.SendAll(escaped.data(), escaped.size());
}

int NetPort::ReadSome(void* buffer, int count, int waitMs) {
  if (count <= 0) return 0;
  const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(waitMs, 0));
  while (dataRead_ == data_.size()) {
    const int left = MsLeft(deadline);
    if (Pump(left) < 0) {
      // A closed connection reports itself at once and would have a waiting
      // caller spin: nothing comes from it, and that takes the wait.
      std::this_thread::sleep_until(deadline);
      return 0;
    }
    if (left == 0 && dataRead_ == data_.size()) return 0;
  }
  const std::size_t taken = std::min(data_.size() - dataRead_, static_cast<std::size_t>(count));
  std::memcpy(buffer, data_.data() + dataRead_, taken);
  dataRead_ += taken;
  if (dataRead_ == data_.size()) {
    data_.clear();
    dataRead_ = 0;
  }
  return static_cast<int>(taken);
}

bool NetPort::Read(void* buffer, int count, int timeoutMs) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
  auto* bytes = static_cast<std::uint8_t*>(buffer);
  for (int received = 0; received < count && !lost_;) {
    const int left = MsLeft(deadline);
    const int got = ReadSome(bytes + received, count - received, left);
    if (got == 0 && left == 0) break;  // time-out: a successful, shorter read
    received += got;
  }
  return !lost_;
}

int NetPort::InQueueCount() {
  while (Pump(0) > 0) {
  }
  return static_cast<int>(data_.size() - dataRead_);
}

void NetPort::DiscardInput() {
  while (Pump(0) > 0) {
  }
  data_.clear();
  dataRead_ = 0;
  // What is still on its way from the server is dropped there.
  if (ComPortControl()) SendComPortRequest(PurgeData, {PurgeReceiveBuffer});
}
