#include "ser2net.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// The kernel's pick for a socket bound to port 0. Another program may take it
// before ser2net does; Launch then fails and the constructor tries another.
std::uint16_t FreeTcpPort() {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  const bool bound = fd >= 0 &&
                     bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                     getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0;
  if (fd >= 0) close(fd);
  if (!bound) throw std::runtime_error("no free TCP port on 127.0.0.1");
  return ntohs(address.sin_port);
}

namespace {

constexpr const char* Program = "/usr/sbin/ser2net";

// Whether a socket listens on 127.0.0.1:port, from the kernel's table rather
// than by connecting: a probing connection would take the server's only
// client slot, and its close could still be under way when the test connects.
bool Listening(std::uint16_t port) {
  char wanted[32];
  std::snprintf(wanted, sizeof wanted, "0100007F:%04X", port);
  std::ifstream table("/proc/net/tcp");
  std::string line;
  std::getline(table, line);  // the column names
  while (std::getline(table, line)) {
    std::istringstream fields(line);
    std::string slot, local, remote, state;
    fields >> slot >> local >> remote >> state;
    if (local == wanted && state == "0A") return true;  // 0A: LISTEN
  }
  return false;
}

std::string Config(const std::string& device, Ser2netMode mode, bool lowLatency,
                   std::uint16_t port) {
  std::string accepter = lowLatency ? "tcp(nodelay)" : "tcp";
  if (mode == Ser2netMode::Rfc2217) accepter = "telnet(rfc2217)," + accepter;
  // A second client is refused ("Port already in use") rather than taking
  // the port from the first: what a shared bench server should do.
  std::string options = "      kickolduser: false\n";
  if (lowLatency) options += "      chardelay: false\n      dev-to-net-bufsize: 8192\n";
  return "%YAML 1.1\n---\n"
         "connection: &tarnwick\n"
         "    accepter: " + accepter + ",127.0.0.1," + std::to_string(port) + "\n"
         "    connector: serialdev," + device + ",115200n81,local\n"
         "    options:\n" + options;
}

// Waits for the child's end for at most `limit`; true once it is reaped.
bool Reaped(pid_t pid, std::chrono::milliseconds limit) {
  const auto end = Clock::now() + limit;
  for (;;) {
    if (waitpid(pid, nullptr, WNOHANG) == pid) return true;
    if (Clock::now() >= end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

}  // namespace

std::string ModeName(Ser2netMode mode) {
  return mode == Ser2netMode::Rfc2217 ? "Rfc2217" : "Raw";
}

Ser2net::Ser2net(const std::string& device, Ser2netMode mode, bool lowLatency) : mode_(mode) {
  static std::atomic<int> instances = 0;
  folder_ = fs::temp_directory_path() /
            ("tarnwick-ser2net-" + std::to_string(getpid()) + "-" + std::to_string(instances++));
  fs::remove_all(folder_);
  fs::create_directories(folder_);
  for (int attempt = 0; attempt < 3; ++attempt)
    if (Launch(device, lowLatency)) return;
  std::ifstream output(folder_ / "output.txt");
  const std::string said{std::istreambuf_iterator<char>(output), {}};
  fs::remove_all(folder_);
  throw std::runtime_error(std::string(Program) + " did not come up: " + said);
}

Ser2net::~Ser2net() {
  Stop();
  std::error_code ignored;
  fs::remove_all(folder_, ignored);
}

std::string Ser2net::Endpoint() const { return "127.0.0.1:" + std::to_string(port_); }

std::string Ser2net::PortName() const {
  return (mode_ == Ser2netMode::Rfc2217 ? "rfc2217://" : "socket://") + Endpoint();
}

bool Ser2net::Launch(const std::string& device, bool lowLatency) {
  port_ = FreeTcpPort();
  const std::string config = (folder_ / "ser2net.yaml").string();
  const std::string pidFile = (folder_ / "ser2net.pid").string();
  const std::string output = (folder_ / "output.txt").string();
  std::ofstream(config) << Config(device, mode_, lowLatency, port_);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(),
                                   O_WRONLY | O_CREAT | O_APPEND, 0644);
  posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
  // Not the test's descriptors: a pty master held by ser2net would outlive
  // the board that closes it, and a socket would outlive its connection.
  posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
  // -n: in the foreground, a child that we reap; -u: no UUCP lock files.
  const char* const arguments[] = {Program, "-n", "-u", "-c", config.c_str(),
                                   "-P", pidFile.c_str(), nullptr};
  pid_t pid = -1;
  const int failed = posix_spawn(&pid, Program, &actions, nullptr,
                                 const_cast<char* const*>(arguments), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (failed != 0) {
    std::ofstream(output, std::ios::app) << "cannot run it: " << std::strerror(failed) << '\n';
    return false;
  }

  const auto end = Clock::now() + std::chrono::seconds(5);
  while (Clock::now() < end) {
    if (Listening(port_)) {
      pid_ = pid;
      return true;
    }
    if (waitpid(pid, nullptr, WNOHANG) == pid) return false;  // it gave up: the port, say
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  return false;
}

void Ser2net::Stop(int signal) {
  const pid_t pid = pid_.exchange(-1);
  if (pid < 0) return;
  kill(pid, signal);
  if (!Reaped(pid, std::chrono::seconds(5))) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
  }
}
