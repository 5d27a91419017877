#pragma once
// The program's only link to the board: one serial device, or a port server
// on another machine when the name is a network port's, opened and
// configured on demand, with synchronous writes and bounded reads. It knows
// nothing of the protocol and reports nothing but through Warn: every
// operation answers with a plain result.
#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "link/portfault.h"

#ifdef _WIN32
using PortHandle = void*;
inline const PortHandle NoPortHandle = nullptr;
#else
using PortHandle = int;
inline constexpr PortHandle NoPortHandle = -1;
#endif

class NetPort;

class TComPort {
 public:
  TComPort();
  ~TComPort();
  TComPort(TComPort&&) noexcept;
  TComPort& operator=(TComPort&&) noexcept;

  std::string PortName = "COM1";
  std::uint32_t BaudRate = 115200;
  std::uint8_t ByteSize = 8;
  std::uint8_t Parity = 0;    // none
  std::uint8_t StopBits = 0;  // one stop bit
  std::uint32_t ReadTotalTimeoutConstant = 1000;  // ms
  std::uint32_t ReadTotalTimeoutMultiplier = 0;   // ms per byte asked for
  std::uint32_t ReadIntervalTimeout = 0xFFFFFFFF;
  // True exactly while Handle is an open, fully configured device.
  bool Opened = false;
  PortHandle Handle = NoPortHandle;
  // Why the last Open failed, None after one that succeeded; Lost once a
  // read finds the open port's device gone.
  PortFault Fault = PortFault::None;
  // The rate a port server said it set the line to (RFC 2217); 0 for a
  // device or a server that said none.
  std::uint32_t ReportedBaudRate = 0;
  // What the user should know but that fails nothing, such as a port server
  // that did not confirm a setting: the debug window, or standard error.
  std::function<void(const std::string&)> Warn = [](const std::string&) {};

  bool Open();
  bool Close();
  // What the user is told of the last failed Open, with the device's path.
  std::string FaultText() const;
  // True whenever the port is open, whatever the device did with the bytes.
  bool Write(const void* data, int count);
  // Waits for count bytes at most as long as the read time-outs allow.
  bool Read(void* buffer, int count);
  // Reads what has come, up to count bytes, waiting at most waitMs for the
  // first byte: the count read, 0 when nothing came in time. A closed port,
  // or one whose device has gone, is a silent line: the wait passes and
  // nothing comes.
  int ReadSome(void* buffer, int count, int waitMs);
  int InQueueCount();
  // Drops whatever waits in the receive queue: a late answer to an earlier
  // request must not pass for the answer to the next one.
  void DiscardInput();
  // Appends one entry per serial port: port name, two spaces, device name.
  static void EnumPorts(std::vector<std::string>& list);

 private:
  // The serial device of this system, behind the calls above unless the
  // port is on another machine.
  bool OpenDevice();
  bool CloseDevice();
  std::string DeviceFaultText() const;
  bool WriteDevice(const void* data, int count);
  bool ReadDevice(void* buffer, int count);
  int ReadSomeDevice(void* buffer, int count, int waitMs);
  int DeviceInQueueCount();
  void DiscardDeviceInput();
  bool OpenNetwork();
  // Lost once the server has closed the connection.
  void NoteNetworkFault();

  std::unique_ptr<NetPort> net_;  // the open connection to a port server
  // Each warning is given once: a server that leaves out an answer leaves it
  // out at every connection, and the panel connects at every click.
  std::set<std::string> warned_;
};

// Closes the port when the scope ends, however it ends: an exception on the
// way must not leave the device open for the next user to write into.
class PortCloser {
 public:
  explicit PortCloser(TComPort& port) : port_(port) {}
  ~PortCloser() { port_.Close(); }
  PortCloser(const PortCloser&) = delete;
  PortCloser& operator=(const PortCloser&) = delete;

 private:
  TComPort& port_;
};
