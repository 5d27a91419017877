#pragma once
// A TCP connection to a port server, the little of one that a port needs, on
// POSIX sockets or on Winsock.
#include <cstddef>
#include <cstdint>
#include <string>

#include "link/portfault.h"

class TcpConnection {
 public:
  TcpConnection() = default;
  ~TcpConnection() { Close(); }
  TcpConnection(const TcpConnection&) = delete;
  TcpConnection& operator=(const TcpConnection&) = delete;

  // Connects to the first of the host's addresses that takes the connection
  // within timeoutMs in all: None, UnknownHost, Refused, NoAnswer or
  // Unreachable. Small writes leave at once (no Nagle): a request is a
  // handful of bytes, and waiting to fill a segment would delay its answer.
  PortFault Connect(const std::string& host, std::uint16_t port, int timeoutMs);
  void Close();
  // Closes our side first and waits at most waitMs for the server to close
  // its own: a port server lets the port go only then, and a connection
  // made meanwhile would find the port still in use.
  void HangUp(int waitMs);
  bool IsOpen() const;
  // False when the connection has failed.
  bool SendAll(const std::uint8_t* bytes, std::size_t count);
  // Bytes received, waiting at most waitMs for the first: their count, 0 when
  // nothing came in time, -1 once the other side has closed or the
  // connection has failed.
  int Receive(std::uint8_t* buffer, std::size_t count, int waitMs);

 private:
  // Tells the server we send no more: false when the connection has failed.
  bool ShutDownSending();

  std::intptr_t socket_ = -1;
};
