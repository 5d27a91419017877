#pragma once
// Debian's ser2net in front of a serial device (the virtual board's pty), run
// as a child process of the test or benchmark, never as the system's service:
// on 127.0.0.1, at a port that was free when it started, with a configuration
// file of its own. What a board on another machine looks like to the link.
#include <sys/types.h>

#include <atomic>
#include <csignal>
#include <cstdint>
#include <filesystem>
#include <string>

enum class Ser2netMode {
  Rfc2217,  // Telnet with the Com Port Control Option: rfc2217://
  Raw,      // the bytes as they are: socket://
};

// A TCP port on 127.0.0.1 that nobody listened on a moment ago.
std::uint16_t FreeTcpPort();

// What a test names its parameterised cases by.
std::string ModeName(Ser2netMode mode);

class Ser2net {
 public:
  // Starts ser2net serving `device` at 115200 8N1 and returns once it accepts
  // connections. lowLatency: no Nagle, no character delay and an 8192-byte
  // buffer from the device, without which ser2net adds tens of ms to every
  // 4096-byte answer; false keeps ser2net's defaults. std::runtime_error
  // (with ser2net's own output) when it does not come up.
  Ser2net(const std::string& device, Ser2netMode mode, bool lowLatency = true);
  // Stops it, unless that has been done already.
  ~Ser2net();
  Ser2net(const Ser2net&) = delete;
  Ser2net& operator=(const Ser2net&) = delete;

  std::uint16_t Port() const { return port_; }
  // "127.0.0.1:N", as messages name the server.
  std::string Endpoint() const;
  // "rfc2217://127.0.0.1:N" or "socket://127.0.0.1:N".
  std::string PortName() const;

  // Ends the server (SIGTERM: it closes its connections; SIGKILL: the kernel
  // does) and reaps it; a connection in use is gone afterwards. Safe from
  // another thread than the one that started it, and more than once.
  void Stop(int signal = SIGTERM);

 private:
  bool Launch(const std::string& device, bool lowLatency);

  Ser2netMode mode_;
  std::filesystem::path folder_;  // the configuration, pid file and ser2net's output
  std::uint16_t port_ = 0;
  std::atomic<pid_t> pid_ = -1;
};
