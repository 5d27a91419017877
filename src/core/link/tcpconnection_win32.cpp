#include "link/tcpconnection.h"
#include "link/deadline.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;

// Winsock works only once started; started once, it stays for the program.
bool WinsockStarted() {
  static const bool started = [] {
    WSADATA data{};
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  return started;
}

timeval Interval(int ms) {
  ms = ms > 0 ? ms : 0;
  return timeval{ms / 1000, (ms % 1000) * 1000};
}

PortFault ConnectFault(int error) {
  switch (error) {
    case WSAECONNREFUSED: return PortFault::Refused;
    case WSAETIMEDOUT: return PortFault::NoAnswer;
    default: return PortFault::Unreachable;
  }
}

// One address: the connected socket, or INVALID_SOCKET with the fault.
// select() rather than WSAPoll: WSAPoll does not report a refused connect on
// every Windows version.
SOCKET ConnectTo(const addrinfo& address, Clock::time_point deadline, PortFault& fault) {
  const SOCKET s = socket(address.ai_family, address.ai_socktype, address.ai_protocol);
  if (s == INVALID_SOCKET) {
    fault = PortFault::Unreachable;
    return INVALID_SOCKET;
  }
  u_long nonBlocking = 1;
  ioctlsocket(s, FIONBIO, &nonBlocking);
  int error = connect(s, address.ai_addr, static_cast<int>(address.ai_addrlen)) == 0
                  ? 0 : WSAGetLastError();
  if (error == WSAEWOULDBLOCK) {
    fd_set writable, failed;
    FD_ZERO(&writable);
    FD_ZERO(&failed);
    FD_SET(s, &writable);
    FD_SET(s, &failed);
    timeval wait = Interval(MsLeft(deadline));
    const int ready = select(0, nullptr, &writable, &failed, &wait);
    int size = sizeof error;
    if (ready <= 0) error = WSAETIMEDOUT;
    else if (getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size) != 0)
      error = WSAGetLastError();
  }
  nonBlocking = 0;
  const BOOL one = TRUE;
  if (error == 0 && (ioctlsocket(s, FIONBIO, &nonBlocking) != 0 ||
                     setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&one),
                                sizeof one) != 0))
    error = WSAGetLastError();
  if (error != 0) {
    closesocket(s);
    fault = ConnectFault(error);
    return INVALID_SOCKET;
  }
  return s;
}

SOCKET Socket(std::intptr_t handle) { return static_cast<SOCKET>(handle); }

}  // namespace

PortFault TcpConnection::Connect(const std::string& host, std::uint16_t port, int timeoutMs) {
  Close();
  if (!WinsockStarted()) return PortFault::Unreachable;
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_protocol = IPPROTO_TCP;
  addrinfo* addresses = nullptr;
  if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &addresses) != 0)
    return PortFault::UnknownHost;
  PortFault fault = PortFault::Unreachable;
  for (const addrinfo* address = addresses; address && socket_ < 0; address = address->ai_next) {
    const SOCKET s = ConnectTo(*address, deadline, fault);
    if (s != INVALID_SOCKET) socket_ = static_cast<std::intptr_t>(s);
  }
  freeaddrinfo(addresses);
  return socket_ >= 0 ? PortFault::None : fault;
}

void TcpConnection::Close() {
  if (socket_ >= 0) closesocket(Socket(socket_));
  socket_ = -1;
}

bool TcpConnection::ShutDownSending() { return shutdown(Socket(socket_), SD_SEND) == 0; }

bool TcpConnection::SendAll(const std::uint8_t* bytes, std::size_t count) {
  for (std::size_t sent = 0; sent < count;) {
    const int n = send(Socket(socket_), reinterpret_cast<const char*>(bytes + sent),
                       static_cast<int>(count - sent), 0);
    if (n <= 0) return false;
    sent += static_cast<std::size_t>(n);
  }
  return true;
}

int TcpConnection::Receive(std::uint8_t* buffer, std::size_t count, int waitMs) {
  if (socket_ < 0) return -1;
  fd_set readable;
  FD_ZERO(&readable);
  FD_SET(Socket(socket_), &readable);
  timeval wait = Interval(waitMs);
  const int ready = select(0, &readable, nullptr, nullptr, &wait);
  if (ready == 0) return 0;
  if (ready < 0) return -1;
  const int n = recv(Socket(socket_), reinterpret_cast<char*>(buffer), static_cast<int>(count), 0);
  return n > 0 ? n : -1;  // 0: the server closed the connection
}
