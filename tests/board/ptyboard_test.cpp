#include "board/ptyboard.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "test_support.h"

namespace {

using namespace std::chrono_literals;

// The host side of the link, as the tool's serial port would open it.
class Client {
 public:
  explicit Client(const std::string& path) : fd_(open(path.c_str(), O_RDWR | O_NOCTTY)) {
    EXPECT_TRUE(fd_.Valid()) << path << ": " << errno;
    termios settings{};
    tcgetattr(fd_.Get(), &settings);
    cfmakeraw(&settings);
    settings.c_cflag |= CLOCAL | CREAD;
    tcsetattr(fd_.Get(), TCSANOW, &settings);
  }

  void Write(const Bytes& bytes) {
    ASSERT_EQ(write(fd_.Get(), bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }

  // Everything that arrives until `count` bytes are in or `patience` passes
  // without a byte.
  Bytes Read(std::size_t count, std::chrono::milliseconds patience = 1000ms) {
    Bytes bytes;
    std::uint8_t buffer[8192];
    pollfd watched{fd_.Get(), POLLIN, 0};
    while (bytes.size() < count && poll(&watched, 1, static_cast<int>(patience.count())) > 0) {
      const ssize_t got = read(fd_.Get(), buffer, sizeof buffer);
      if (got <= 0) break;
      bytes.insert(bytes.end(), buffer, buffer + got);
    }
    return bytes;
  }

  int Fd() const { return fd_.Get(); }

 private:
  UniqueFd fd_;
};

TEST(PtyBoard, WrittenRegisterReadsBackThroughThePort) {
  PtyBoard board;
  EXPECT_EQ(board.PortPath().rfind("/dev/pts/", 0), 0u);
  Client client(board.PortPath());
  client.Write(ShortFrame(0x47, 7, 0x2C));
  client.Write(ShortFrame(0xBB, 7));
  EXPECT_EQ(client.Read(6), (Bytes{0xBB, 7, 0, 0, 0, 0x2C}));
  EXPECT_EQ(board.Register(7), 0x2C);

  board.SetRegister(200, 0x81);
  client.Write(ShortFrame(0xBB, 200));
  EXPECT_EQ(client.Read(6), (Bytes{0xBB, 200, 0, 0, 0, 0x81}));
}

TEST(PtyBoard, CaptureDeliversExactlyOneBlock) {
  PtyBoard board;
  Client client(board.PortPath());
  client.Write(ShortFrame(0xBC, 0));
  EXPECT_EQ(client.Read(4096).size(), 4096u);
  EXPECT_TRUE(client.Read(1, 30ms).empty());
}

TEST(PtyBoard, LogsEveryReceivedByteInOrder) {
  PtyBoard board;
  Client client(board.PortPath());
  const Bytes hello{'H', 'e', 'l', 'l', 'o', '!'};
  client.Write(hello);
  EXPECT_EQ(client.Read(6), hello);
  client.Write(ShortFrame(0xBB, 1));
  client.Read(6);
  Bytes expected = hello;
  const Bytes read = ShortFrame(0xBB, 1);
  expected.insert(expected.end(), read.begin(), read.end());
  EXPECT_EQ(board.Received(), expected);
  board.ClearReceived();
  EXPECT_TRUE(board.Received().empty());
}

TEST(PtyBoard, VanishedPortGivesTheClientEofAndEio) {
  PtyBoard board;
  Client client(board.PortPath());
  board.Vanish();
  std::uint8_t byte = 0;
  EXPECT_EQ(read(client.Fd(), &byte, 1), 0);
  int waiting = 0;
  EXPECT_EQ(ioctl(client.Fd(), FIONREAD, &waiting), -1);
  EXPECT_EQ(errno, EIO);
}

}  // namespace
