#include "board/ptyboard.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <system_error>

namespace {

void ThrowUnless(bool ok, const char* what) {
  if (!ok) throw std::system_error(errno, std::generic_category(), what);
}

std::string SlavePath(int master) {
  std::array<char, PATH_MAX> path{};
  ThrowUnless(ptsname_r(master, path.data(), path.size()) == 0, "ptsname_r");
  return path.data();
}

// Binary bytes must pass untouched and must not be echoed back to the client.
void MakeRaw(int fd) {
  termios settings{};
  ThrowUnless(tcgetattr(fd, &settings) == 0, "tcgetattr");
  cfmakeraw(&settings);
  settings.c_cflag |= CLOCAL | CREAD;
  ThrowUnless(tcsetattr(fd, TCSANOW, &settings) == 0, "tcsetattr");
}

}  // namespace

PtyBoard::PtyBoard(const BoardOptions& options) : core_(options) {
  master_ = UniqueFd(posix_openpt(O_RDWR | O_NOCTTY));
  ThrowUnless(master_.Valid(), "posix_openpt");
  ThrowUnless(grantpt(master_.Get()) == 0, "grantpt");
  ThrowUnless(unlockpt(master_.Get()) == 0, "unlockpt");
  // Non-blocking, so that a client that never reads cannot stall the thread.
  ThrowUnless(fcntl(master_.Get(), F_SETFL, O_NONBLOCK) == 0, "fcntl");
  portPath_ = SlavePath(master_.Get());
  slave_ = UniqueFd(open(portPath_.c_str(), O_RDWR | O_NOCTTY));
  ThrowUnless(slave_.Valid(), "open pty slave");
  MakeRaw(slave_.Get());
  wake_ = UniqueFd(eventfd(0, 0));
  ThrowUnless(wake_.Valid(), "eventfd");
  thread_ = std::thread(&PtyBoard::Serve, this);
}

PtyBoard::~PtyBoard() { StopServing(); }

const std::string& PtyBoard::PortPath() const { return portPath_; }

std::vector<std::uint8_t> PtyBoard::Received() const {
  std::lock_guard lock(mutex_);
  return received_;
}

void PtyBoard::ClearReceived() {
  std::lock_guard lock(mutex_);
  received_.clear();
}

void PtyBoard::SetOptions(const BoardOptions& options) {
  std::lock_guard lock(mutex_);
  core_.SetOptions(options);
}

void PtyBoard::SendUnasked(const std::vector<std::uint8_t>& bytes) {
  std::lock_guard lock(mutex_);
  [[maybe_unused]] const ssize_t written = write(master_.Get(), bytes.data(), bytes.size());
}

std::uint8_t PtyBoard::Register(int index) const {
  std::lock_guard lock(mutex_);
  return core_.Register(index);
}

void PtyBoard::SetRegister(int index, std::uint8_t value) {
  std::lock_guard lock(mutex_);
  core_.SetRegister(index, value);
}

void PtyBoard::Vanish() {
  StopServing();
  master_.Reset();
  slave_.Reset();
}

void PtyBoard::StopServing() {
  if (!thread_.joinable()) return;
  const std::uint64_t one = 1;
  [[maybe_unused]] const ssize_t written = write(wake_.Get(), &one, sizeof one);
  thread_.join();
}

void PtyBoard::Serve() {
  std::vector<std::uint8_t> outbox;  // answer bytes the client has not taken yet
  for (;;) {
    const short outputWanted = outbox.empty() ? 0 : POLLOUT;
    std::array<pollfd, 2> watched{{{master_.Get(), static_cast<short>(POLLIN | outputWanted), 0},
                                   {wake_.Get(), POLLIN, 0}}};
    if (poll(watched.data(), watched.size(), MillisecondsToNextDeadline()) < 0 && errno != EINTR) {
      return;
    }
    if (watched[1].revents != 0) return;
    if (watched[0].revents & POLLIN) TakeInput();
    CollectAnswers(outbox);
    SendOutput(outbox);
  }
}

int PtyBoard::MillisecondsToNextDeadline() const {
  std::lock_guard lock(mutex_);
  const auto deadline = core_.NextDeadline();
  if (!deadline) return -1;
  // Rounded up: waking before the deadline would only mean another turn.
  const auto wait =
      std::chrono::ceil<std::chrono::milliseconds>(*deadline - BoardCore::Clock::now());
  return static_cast<int>(std::max<std::chrono::milliseconds::rep>(wait.count(), 0));
}

void PtyBoard::TakeInput() {
  std::array<std::uint8_t, 4096> buffer{};
  const ssize_t count = read(master_.Get(), buffer.data(), buffer.size());
  if (count <= 0) return;
  const std::span<const std::uint8_t> bytes(buffer.data(), static_cast<std::size_t>(count));
  std::lock_guard lock(mutex_);
  received_.insert(received_.end(), bytes.begin(), bytes.end());
  core_.Receive(bytes, BoardCore::Clock::now());
}

void PtyBoard::CollectAnswers(std::vector<std::uint8_t>& outbox) {
  std::lock_guard lock(mutex_);
  const std::vector<std::uint8_t> due = core_.Poll(BoardCore::Clock::now());
  outbox.insert(outbox.end(), due.begin(), due.end());
}

void PtyBoard::SendOutput(std::vector<std::uint8_t>& outbox) {
  while (!outbox.empty()) {
    const ssize_t written = write(master_.Get(), outbox.data(), outbox.size());
    if (written <= 0) return;  // the pty is full: poll reports when it has room
    outbox.erase(outbox.begin(), outbox.begin() + written);
  }
}
