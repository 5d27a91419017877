// What a TCP connection does the same on every system.
#include "link/tcpconnection.h"

#include "link/deadline.h"

void TcpConnection::HangUp(int waitMs) {
  if (!IsOpen()) return;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
  if (ShutDownSending()) {
    std::uint8_t rest[4096];
    while (Receive(rest, sizeof rest, MsLeft(deadline)) > 0) {
    }
  }
  Close();
}

bool TcpConnection::IsOpen() const { return socket_ >= 0; }
