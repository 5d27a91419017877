#pragma once
// A serial port on another machine, reached through a port server: raw bytes
// over TCP, or Telnet with the Com Port Control Option (RFC 2217), which also
// sets the line and purges the server's buffer. It serves TComPort when the
// port's name is a network port's.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "link/netportname.h"
#include "link/portfault.h"
#include "link/tcpconnection.h"
#include "link/telnet.h"

class NetPort {
 public:
  using Warning = std::function<void(const std::string&)>;

  // Connects (once in the object's life) and, for RFC 2217, negotiates and
  // sets the line to the rate, 8 data bits, no parity, one stop bit, no flow
  // control. An answer the server never gives costs at most a short wait and
  // a warning.
  PortFault Open(const NetPortName& name, std::uint32_t baudRate, const Warning& warn);
  // Hangs up, and lets the server free the port before the next connection.
  void Close();
  // The rate the server said it set the line to; 0 when it said none.
  std::uint32_t ReportedBaudRate() const { return reportedBaudRate_; }

  bool Write(const void* data, int count);
  // As TComPort's: up to count bytes, waiting at most waitMs for the first;
  // Lost() is true once the server has closed the connection.
  int ReadSome(void* buffer, int count, int waitMs);
  bool Read(void* buffer, int count, int timeoutMs);
  int InQueueCount();
  // Drops what has come, and has the server drop what it holds for us.
  void DiscardInput();
  bool Lost() const { return lost_; }

 private:
  // What each side of the connection has agreed to for one Telnet option.
  struct OptionState {
    bool wanted = false;  // we want it on
    bool on = false;
    bool asked = false;   // we asked for it and wait for the answer
  };
  using Options = std::array<OptionState, 256>;

  void Send(const std::vector<std::uint8_t>& bytes);
  void Ask(std::uint8_t verb, std::uint8_t option);
  void SendComPortRequest(std::uint8_t code, const std::vector<std::uint8_t>& value);
  // Takes in what the server sent, waiting at most waitMs: the count of
  // bytes received, -1 once the connection has closed.
  int Pump(int waitMs);
  void Handle(const telnet::Command& command);
  void HandleOption(std::uint8_t verb, std::uint8_t option);
  void HandleComPortAnswer(const std::vector<std::uint8_t>& payload);
  PortFault Negotiate(std::uint32_t baudRate, const Warning& warn);
  PortFault AwaitRawGreeting();
  PortFault ClosedAtOpen() const;
  bool ComPortControl() const { return telnet_ && local_[telnet::OptionComPort].on; }

  TcpConnection connection_;
  std::string endpoint_;
  bool telnet_ = false;
  bool lost_ = false;
  telnet::Parser parser_;
  std::vector<std::uint8_t> data_;  // received data not yet read
  std::size_t dataRead_ = 0;        // how much of data_ has been read
  Options local_;   // options about us: the server says DO or DONT
  Options remote_;  // options about the server: it says WILL or WONT
  std::array<bool, 256> answered_{};  // com port requests the server answered, by code
  std::uint32_t reportedBaudRate_ = 0;
};
