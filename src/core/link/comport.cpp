// What a port does whatever is behind it: the device of this system, or a
// port server on another machine.
#include "link/comport.h"

#include <algorithm>
#include <cstdint>

#include "link/netport.h"
#include "link/netportname.h"

TComPort::TComPort() = default;
TComPort::~TComPort() = default;
TComPort::TComPort(TComPort&&) noexcept = default;
TComPort& TComPort::operator=(TComPort&&) noexcept = default;

bool TComPort::Open() {
  if (Opened) return false;
  ReportedBaudRate = 0;
  return IsNetworkPortName(PortName) ? OpenNetwork() : OpenDevice();
}

bool TComPort::OpenNetwork() {
  const auto name = ParseNetPortName(PortName);
  if (!name) {
    Fault = PortFault::Missing;
    return false;
  }
  if (BaudRate == 0) {  // as on a device: no line runs at 0 baud
    Fault = PortFault::RateRefused;
    return false;
  }
  auto net = std::make_unique<NetPort>();
  Fault = net->Open(*name, BaudRate, [this](const std::string& text) {
    if (warned_.insert(text).second) Warn(text);
  });
  ReportedBaudRate = net->ReportedBaudRate();
  if (Fault != PortFault::None) return false;
  net_ = std::move(net);
  Opened = true;
  return true;
}

std::string TComPort::FaultText() const {
  if (!IsNetworkPortName(PortName)) return DeviceFaultText();
  const auto name = ParseNetPortName(PortName);
  return NetPortFaultText(Fault, name ? name->Endpoint() : PortName, BaudRate);
}

bool TComPort::Close() {
  if (!Opened) return false;
  if (!net_) return CloseDevice();
  net_->Close();
  net_.reset();
  Opened = false;
  return true;
}

void TComPort::NoteNetworkFault() {
  if (net_->Lost()) Fault = PortFault::Lost;
}

bool TComPort::Write(const void* data, int count) {
  if (!net_) return WriteDevice(data, count);
  net_->Write(data, count);  // as on a device: a failed write is not reported
  return true;
}

bool TComPort::Read(void* buffer, int count) {
  if (!net_) return ReadDevice(buffer, count);
  const std::uint64_t limitMs =
      std::uint64_t(ReadTotalTimeoutMultiplier) * std::uint64_t(count > 0 ? count : 0) +
      ReadTotalTimeoutConstant;
  const bool read =
      net_->Read(buffer, count, static_cast<int>(std::min<std::uint64_t>(limitMs, INT32_MAX)));
  NoteNetworkFault();
  return read;
}

int TComPort::ReadSome(void* buffer, int count, int waitMs) {
  if (!net_) return ReadSomeDevice(buffer, count, waitMs);
  const int read = net_->ReadSome(buffer, count, waitMs);
  NoteNetworkFault();
  return read;
}

int TComPort::InQueueCount() {
  if (!net_) return DeviceInQueueCount();
  const int waiting = net_->InQueueCount();
  NoteNetworkFault();
  return waiting;
}

void TComPort::DiscardInput() {
  if (!net_) return DiscardDeviceInput();
  net_->DiscardInput();
  NoteNetworkFault();
}
