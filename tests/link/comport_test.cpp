// The serial port against the virtual board, through a real pty.
#include "link/comport.h"
#include "link/portpath.h"
#include "board/ptyboard.h"

#include <algorithm>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "test_support.h"

namespace {

const std::uint8_t ReadRegister7[] = {0xFF, 0xFF, 0xFF, 0xFF, 0xBB, 0x07, 0x00, 0x00};

TComPort PortOn(const PtyBoard& board) {
  TComPort port;
  port.PortName = board.PortPath();
  return port;
}

}  // namespace

TEST(DevicePath, MapsPortNamesToDevices) {
  EXPECT_EQ(DevicePath("/dev/pts/4"), "/dev/pts/4");
  EXPECT_EQ(DevicePath("COM1"), "/dev/ttyS0");
  EXPECT_EQ(DevicePath("com12"), "/dev/ttyS11");
  EXPECT_EQ(DevicePath("ttyUSB0"), "/dev/ttyUSB0");
  EXPECT_EQ(DevicePath("COM0"), "/dev/COM0");
  EXPECT_EQ(DevicePath("COMx"), "/dev/COMx");
  EXPECT_EQ(DevicePath(""), "");
}

TEST(ComPort, StartsClosedWithTheFixedLineSettings) {
  TComPort port;
  EXPECT_EQ(port.PortName, "COM1");
  EXPECT_EQ(port.BaudRate, 115200u);
  EXPECT_EQ(port.ByteSize, 8);
  EXPECT_EQ(port.Parity, 0);
  EXPECT_EQ(port.StopBits, 0);
  EXPECT_EQ(port.ReadTotalTimeoutConstant, 1000u);
  EXPECT_EQ(port.ReadTotalTimeoutMultiplier, 0u);
  EXPECT_EQ(port.ReadIntervalTimeout, 0xFFFFFFFFu);
  EXPECT_FALSE(port.Opened);
  EXPECT_EQ(port.Handle, NoPortHandle);
}

TEST(ComPort, FollowsItsStateTable) {
  PtyBoard board;
  TComPort port = PortOn(board);
  ASSERT_TRUE(port.Open());
  EXPECT_TRUE(port.Opened);
  const PortHandle handle = port.Handle;

  // A second open changes nothing: the port stays open and usable.
  EXPECT_FALSE(port.Open());
  EXPECT_TRUE(port.Opened);
  EXPECT_EQ(port.Handle, handle);
  board.SetRegister(7, 0x5A);
  EXPECT_TRUE(port.Write(ReadRegister7, sizeof ReadRegister7));
  ASSERT_EQ(WaitForBytes(port, 6), 6);
  std::uint8_t answer[40] = {};
  EXPECT_TRUE(port.Read(answer, 6));
  EXPECT_EQ(answer[5], 0x5A);
  EXPECT_EQ(port.InQueueCount(), 0);

  EXPECT_TRUE(port.Close());
  EXPECT_FALSE(port.Opened);
  EXPECT_EQ(port.Handle, NoPortHandle);
  EXPECT_FALSE(port.Close());
}

TEST(ComPort, DoesNothingWhileClosed) {
  PtyBoard board;
  TComPort port = PortOn(board);
  std::uint8_t buffer[8] = {};
  EXPECT_FALSE(port.Write(ReadRegister7, sizeof ReadRegister7));
  EXPECT_FALSE(port.Read(buffer, sizeof buffer));
  EXPECT_EQ(port.ReadSome(buffer, sizeof buffer, 0), 0);
  EXPECT_EQ(port.InQueueCount(), 0);
  EXPECT_FALSE(port.Close());
  // Nothing reached the board: what is written once open is the first it gets.
  ASSERT_TRUE(port.Open() && port.Write(ReadRegister7, sizeof ReadRegister7));
  ASSERT_EQ(WaitForBytes(port, 6), 6);
  EXPECT_TRUE(std::ranges::equal(board.Received(), ReadRegister7));
}

TEST(ComPort, RefusesNamesThatNameNoDevice) {
  TComPort port;
  port.PortName = "";
  EXPECT_FALSE(port.Open());
  port.PortName = "/dev/tarnwick-no-such-port";
  EXPECT_FALSE(port.Open());
  port.PortName = "/dev/null";  // a device, but not a serial line
  EXPECT_FALSE(port.Open());
  EXPECT_FALSE(port.Opened);
  EXPECT_EQ(port.Handle, NoPortHandle);
}

TEST(ComPort, ReadsBoundedByTheTimeOutAndAtOnceForNothing) {
  PtyBoard board;
  TComPort port = PortOn(board);
  port.ReadTotalTimeoutConstant = 30;
  ASSERT_TRUE(port.Open());
  std::uint8_t buffer[16] = {};
  EXPECT_TRUE(port.Read(buffer, 0));
  // A silent line: the read ends after its time-out, successfully.
  EXPECT_TRUE(port.Read(buffer, sizeof buffer));
  EXPECT_TRUE(port.Close());
}

TEST(ComPort, ReadSomeTakesWhatHasComeAndWaitsOnlyForTheFirstByte) {
  PtyBoard board;
  TComPort port = PortOn(board);
  ASSERT_TRUE(port.Open());
  std::uint8_t answer[40] = {};
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(port.ReadSome(answer, sizeof answer, 30), 0);  // a silent line takes the wait
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(30));

  board.SetRegister(7, 0x5A);
  ASSERT_TRUE(port.Write(ReadRegister7, sizeof ReadRegister7));
  const auto asked = std::chrono::steady_clock::now();
  int received = port.ReadSome(answer, 4, 5000);
  EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::seconds(1));
  EXPECT_GT(received, 0);
  EXPECT_LE(received, 4);  // never more than asked for: the rest waits
  for (int i = 0; i < 100 && received < 6; ++i)
    received += port.ReadSome(answer + received, sizeof answer - received, 10);
  EXPECT_EQ(received, 6);
  EXPECT_EQ(answer[5], 0x5A);
  EXPECT_TRUE(port.Close());
}

TEST(ComPort, IsExclusiveWithinTheProcessAndAcrossProcesses) {
  PtyBoard board;
  TComPort first = PortOn(board);
  TComPort second = PortOn(board);
  ASSERT_TRUE(first.Open());
  EXPECT_FALSE(second.Open());
  EXPECT_FALSE(second.Opened);

  const pid_t child = fork();
  if (child == 0) {
    TComPort other;
    other.PortName = board.PortPath();
    _exit(other.Open() ? 1 : 0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "another process opened the port";

  // Once released, the device can be taken by the other object, and by
  // another user's program: root, whom exclusive use does not bind, would
  // not notice a device left exclusive.
  EXPECT_TRUE(first.Close());
  EXPECT_TRUE(second.Open());
  EXPECT_TRUE(second.Close());
  ASSERT_EQ(chmod(board.PortPath().c_str(), 0666), 0);
  const pid_t nobody = fork();
  if (nobody == 0) {
    constexpr id_t Nobody = 65534;
    if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(Nobody) != 0 || setuid(Nobody) != 0))
      _exit(2);
    TComPort other;
    other.PortName = board.PortPath();
    _exit(other.Open() ? 0 : 1);
  }
  ASSERT_EQ(waitpid(nobody, &status, 0), nobody);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "another user could not open the port";
}

TEST(ComPort, ARefusedRateLeavesTheDeviceFree) {
  PtyBoard board;
  TComPort port = PortOn(board);
  port.BaudRate = 0;
  EXPECT_FALSE(port.Open());
  EXPECT_FALSE(port.Opened);
  EXPECT_EQ(port.Handle, NoPortHandle);

  // Nothing is held: the device opens at a rate the driver takes, standard
  // or not.
  for (std::uint32_t rate : {9600u, 250000u, 115200u}) {
    port.BaudRate = rate;
    EXPECT_TRUE(port.Open()) << rate;
    EXPECT_TRUE(port.Close()) << rate;
  }
}

TEST(ComPort, ReportsQueueAndOperationsWhenThePeerVanishes) {
  PtyBoard board;
  TComPort port = PortOn(board);
  port.ReadTotalTimeoutConstant = 50;
  ASSERT_TRUE(port.Open());
  board.Vanish();
  std::uint8_t buffer[8] = {};
  EXPECT_EQ(port.InQueueCount(), 0);
  EXPECT_FALSE(port.Read(buffer, sizeof buffer));
  // A gone device is a silent line for a waiting reader: no spinning.
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(port.ReadSome(buffer, sizeof buffer, 20), 0);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(20));
  EXPECT_TRUE(port.Write(ReadRegister7, sizeof ReadRegister7));  // failures of writes are not told
  EXPECT_TRUE(port.Close());
  EXPECT_FALSE(port.Opened);
}
