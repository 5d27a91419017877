#include "link/tcpconnection.h"
#include "link/deadline.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

PortFault ConnectFault(int error) {
  switch (error) {
    case ECONNREFUSED: return PortFault::Refused;
    case ETIMEDOUT: return PortFault::NoAnswer;
    default: return PortFault::Unreachable;  // ENETUNREACH, EHOSTUNREACH, ...
  }
}

// One address: the connected socket, or -1 with the fault.
int ConnectTo(const addrinfo& address, Clock::time_point deadline, PortFault& fault) {
  const int fd = socket(address.ai_family, address.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                        address.ai_protocol);
  if (fd < 0) {
    fault = PortFault::Unreachable;
    return -1;
  }
  int error = connect(fd, address.ai_addr, address.ai_addrlen) == 0 ? 0 : errno;
  if (error == EINPROGRESS) {
    pollfd waiting{fd, POLLOUT, 0};
    int ready;
    do ready = poll(&waiting, 1, MsLeft(deadline));
    while (ready < 0 && errno == EINTR);
    socklen_t size = sizeof error;
    if (ready <= 0) error = ETIMEDOUT;
    else if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0) error = errno;
  }
  const int flags = fcntl(fd, F_GETFL);
  const int one = 1;
  if (error == 0 && (flags < 0 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0 ||
                     setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one) != 0))
    error = errno;
  if (error != 0) {
    close(fd);
    fault = ConnectFault(error);
    return -1;
  }
  return fd;
}

}  // namespace

PortFault TcpConnection::Connect(const std::string& host, std::uint16_t port, int timeoutMs) {
  Close();
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* addresses = nullptr;
  if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &addresses) != 0)
    return PortFault::UnknownHost;
  PortFault fault = PortFault::Unreachable;
  for (const addrinfo* address = addresses; address && socket_ < 0; address = address->ai_next)
    socket_ = ConnectTo(*address, deadline, fault);
  freeaddrinfo(addresses);
  return socket_ >= 0 ? PortFault::None : fault;
}

void TcpConnection::Close() {
  if (socket_ >= 0) close(static_cast<int>(socket_));
  socket_ = -1;
}

bool TcpConnection::ShutDownSending() {
  return shutdown(static_cast<int>(socket_), SHUT_WR) == 0;
}

bool TcpConnection::SendAll(const std::uint8_t* bytes, std::size_t count) {
  for (std::size_t sent = 0; sent < count;) {
    // MSG_NOSIGNAL: a server gone away is an error to report, not SIGPIPE.
    const ssize_t n = send(static_cast<int>(socket_), bytes + sent, count - sent, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    sent += static_cast<std::size_t>(n);
  }
  return true;
}

int TcpConnection::Receive(std::uint8_t* buffer, std::size_t count, int waitMs) {
  if (socket_ < 0) return -1;
  pollfd waiting{static_cast<int>(socket_), POLLIN, 0};
  const int ready = poll(&waiting, 1, waitMs > 0 ? waitMs : 0);
  if (ready == 0 || (ready < 0 && errno == EINTR)) return 0;
  if (ready < 0) return -1;
  const ssize_t n = recv(static_cast<int>(socket_), buffer, count, MSG_DONTWAIT);
  if (n > 0) return static_cast<int>(n);
  if (n < 0 && (errno == EINTR || errno == EAGAIN)) return 0;
  return -1;  // 0: the server closed the connection
}
