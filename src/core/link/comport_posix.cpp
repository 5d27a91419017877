// The serial port on POSIX systems: termios in raw mode, held under a lock,
// reads bounded by poll().
#include "link/comport.h"
#include "link/customrate.h"
#include "link/portpath.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

speed_t StandardSpeed(std::uint32_t rate) {
  switch (rate) {
    case 50: return B50;
    case 75: return B75;
    case 110: return B110;
    case 134: return B134;
    case 150: return B150;
    case 200: return B200;
    case 300: return B300;
    case 600: return B600;
    case 1200: return B1200;
    case 1800: return B1800;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    case 230400: return B230400;
    case 460800: return B460800;
    case 500000: return B500000;
    case 576000: return B576000;
    case 921600: return B921600;
    case 1000000: return B1000000;
    case 1152000: return B1152000;
    case 1500000: return B1500000;
    case 2000000: return B2000000;
    case 2500000: return B2500000;
    case 3000000: return B3000000;
    case 3500000: return B3500000;
    case 4000000: return B4000000;
    default: return B0;
  }
}

bool SetFrameFormat(termios& settings, std::uint8_t byteSize, std::uint8_t parity,
                    std::uint8_t stopBits) {
  settings.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB);
  switch (byteSize) {
    case 5: settings.c_cflag |= CS5; break;
    case 6: settings.c_cflag |= CS6; break;
    case 7: settings.c_cflag |= CS7; break;
    case 8: settings.c_cflag |= CS8; break;
    default: return false;
  }
  switch (parity) {
    case 0: break;                                          // none
    case 1: settings.c_cflag |= PARENB | PARODD; break;     // odd
    case 2: settings.c_cflag |= PARENB; break;              // even
    default: return false;
  }
  switch (stopBits) {
    case 0: break;                                // one
    case 2: settings.c_cflag |= CSTOPB; break;    // two
    default: return false;
  }
  return true;
}

// Raw bytes at the port's rate, no flow control, reads that never block in
// the driver (the read time-outs are kept by poll()). A line that cannot be
// read back is no serial line; one that refuses the settings refuses the rate,
// the only one the user chooses.
PortFault Configure(int fd, const TComPort& port) {
  termios settings{};
  if (tcgetattr(fd, &settings) != 0) return PortFault::NotSerial;
  if (port.BaudRate == 0) return PortFault::RateRefused;  // a rate of 0 would hang up the line
  cfmakeraw(&settings);
  settings.c_cflag |= CLOCAL | CREAD;
  settings.c_cflag &= ~CRTSCTS;
  settings.c_cc[VMIN] = 0;
  settings.c_cc[VTIME] = 0;
  if (!SetFrameFormat(settings, port.ByteSize, port.Parity, port.StopBits))
    return PortFault::RateRefused;
  const speed_t standard = StandardSpeed(port.BaudRate);
  if (standard != B0 && cfsetspeed(&settings, standard) != 0) return PortFault::RateRefused;
  if (tcsetattr(fd, TCSANOW, &settings) != 0) return PortFault::RateRefused;
  if (standard == B0 && !SetCustomRate(fd, port.BaudRate)) return PortFault::RateRefused;
  // A driver may take a rate it cannot make and quietly keep another.
  return CurrentRate(fd) == port.BaudRate ? PortFault::None : PortFault::RateRefused;
}

// DTR up while the port is open. A line without modem signals (a pty)
// answers that it has none, which is no reason to refuse the port.
bool RaiseDtr(int fd) {
  int dtr = TIOCM_DTR;
  return ioctl(fd, TIOCMBIS, &dtr) == 0 || errno == ENOTTY || errno == EINVAL;
}

// Nobody else of ours may use the device while we hold it. The lock is the
// descriptor's, so the kernel drops it however the holder ends. TIOCEXCL is
// not used: it belongs to the device and outlives a killed holder while
// anyone else keeps the device open (a pty's other side), refusing every
// later open but root's until the device is closed by all.
PortFault TakeExclusively(int fd) {
  return flock(fd, LOCK_EX | LOCK_NB) == 0 ? PortFault::None : PortFault::Busy;
}

PortFault OpenFault(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
    case ENXIO:  // a node without a device behind it
    case ENODEV:
      return PortFault::Missing;
    case EACCES:
    case EPERM:
      return PortFault::NoPermission;
    case EISDIR:
      return PortFault::NotSerial;
    default:
      return PortFault::Busy;  // EBUSY: another program took it exclusively
  }
}

// The open device, or -1 with the fault.
int OpenPath(const std::string& path, PortFault& fault) {
  const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    fault = OpenFault(errno);
    return -1;
  }
  if (!isatty(fd)) {
    close(fd);
    fault = PortFault::NotSerial;
    return -1;
  }
  const int flags = fcntl(fd, F_GETFL);
  if (flags < 0 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
    close(fd);
    fault = PortFault::NotSerial;
    return -1;
  }
  return fd;
}

}  // namespace

bool TComPort::OpenDevice() {
  Fault = PortFault::Missing;
  const std::string path = DevicePath(PortName);
  if (path.empty()) return false;
  const int fd = OpenPath(path, Fault);
  if (fd < 0) return false;
  Fault = TakeExclusively(fd);
  if (Fault == PortFault::None) Fault = Configure(fd, *this);
  if (Fault == PortFault::None && !RaiseDtr(fd)) Fault = PortFault::NotSerial;
  if (Fault != PortFault::None) {
    close(fd);  // also drops the lock: the object ends closed and holds nothing
    return false;
  }
  Handle = fd;
  Opened = true;
  return true;
}

std::string TComPort::DeviceFaultText() const {
  return PortFaultText(Fault, DevicePath(PortName), BaudRate);
}

bool TComPort::CloseDevice() {
  // Linux releases the descriptor even when close() reports an error;
  // only a descriptor that was not open leaves us where we were.
  if (close(Handle) != 0 && errno == EBADF) return false;
  Handle = NoPortHandle;
  Opened = false;
  return true;
}

bool TComPort::WriteDevice(const void* data, int count) {
  if (!Opened) return false;
  const auto* bytes = static_cast<const unsigned char*>(data);
  for (int sent = 0; sent < count;) {
    const ssize_t n = write(Handle, bytes + sent, static_cast<size_t>(count - sent));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;  // a failed write is not reported
    sent += static_cast<int>(n);
  }
  return true;
}

bool TComPort::ReadDevice(void* buffer, int count) {
  if (!Opened) return false;
  using Clock = std::chrono::steady_clock;
  const auto limit = std::chrono::milliseconds(
      std::uint64_t(ReadTotalTimeoutMultiplier) * std::uint64_t(count > 0 ? count : 0) +
      ReadTotalTimeoutConstant);
  const auto deadline = Clock::now() + limit;
  auto* bytes = static_cast<unsigned char*>(buffer);
  for (int received = 0; received < count;) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) break;  // time-out: a successful, shorter read
    pollfd waiting{Handle, POLLIN, 0};
    const int ready = poll(&waiting, 1, static_cast<int>(left.count()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready < 0) return false;
    if (ready == 0) break;
    const ssize_t n = read(Handle, bytes + received, static_cast<size_t>(count - received));
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (n <= 0) return false;  // error, or the device went away
    received += static_cast<int>(n);
  }
  return true;
}

int TComPort::ReadSomeDevice(void* buffer, int count, int waitMs) {
  if (count <= 0) return 0;
  waitMs = std::max(waitMs, 0);
  if (Opened) {
    pollfd waiting{Handle, POLLIN, 0};
    const int ready = poll(&waiting, 1, waitMs);
    if (ready == 0 || (ready < 0 && errno == EINTR)) return 0;
    if (ready > 0) {
      // Raw mode without VMIN: the read takes what is there and never blocks.
      const ssize_t n = read(Handle, buffer, static_cast<size_t>(count));
      if (n > 0) return static_cast<int>(n);
      if (n < 0 && (errno == EINTR || errno == EAGAIN)) return 0;
      // Ready with nothing to read: the device has gone (EOF from an
      // unplugged adapter, EIO from a pty whose other side closed).
      Fault = PortFault::Lost;
    }
  }
  // A device that has gone reports itself ready at once, and would have a
  // waiting caller spin: nothing comes from it, and that takes the wait.
  std::this_thread::sleep_for(std::chrono::milliseconds(waitMs));
  return 0;
}

int TComPort::DeviceInQueueCount() {
  if (!Opened) return 0;
  int waiting = 0;
  return ioctl(Handle, FIONREAD, &waiting) == 0 ? waiting : 0;
}

void TComPort::DiscardDeviceInput() {
  if (Opened) tcflush(Handle, TCIFLUSH);
}
