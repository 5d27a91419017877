// The serial port against the virtual board, through a real pty.
#include "link/comport.h"
#include "link/portpath.h"
#include "board/ptyboard.h"

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
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

constexpr int CannotDropPrivileges = 99;

// Runs body in a child process as user nobody (when we are root: a tester
// without privileges is such a user already); its exit status, -1 when it
// did not exit.
bool BecomeNobody() {
  constexpr id_t Nobody = 65534;
  return geteuid() != 0 || (setgroups(0, nullptr) == 0 && setgid(Nobody) == 0 && setuid(Nobody) == 0);
}

int AsNobody(const std::function<int()>& body) {
  const pid_t child = fork();
  if (child == 0) _exit(BecomeNobody() ? body() : CannotDropPrivileges);
  int status = 0;
  if (waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

bool OpensAt(const std::string& path) {
  TComPort port;
  port.PortName = path;
  return port.Open();
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

TEST(ComPort, SaysWhyItCannotOpen) {
  PtyBoard board, held;
  TComPort holder = PortOn(held);  // another program's
  ASSERT_TRUE(holder.Open());
  const auto folder =
      std::filesystem::temp_directory_path() / ("tarnwick-port-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  const std::string file = (folder / "port").string();
  std::ofstream(file) << "not a port";
  const std::string pty = board.PortPath(), dir = folder.string();
  // The system refuses nobody a device that only its owner may use; root
  // is refused nothing, so that row runs as nobody.
  ASSERT_EQ(chmod(pty.c_str(), 0600), 0);

  struct Row {
    const char* what;
    std::string name;
    std::uint32_t rate;
    bool asNobody;
    PortFault fault;
    std::string text;
  };
  const Row rows[] = {
      {"a missing device", "/dev/tarnwick-no-such-port", 115200, false, PortFault::Missing,
       "Port /dev/tarnwick-no-such-port does not exist"},
      {"a missing COM port, by its device", "COM200", 115200, false, PortFault::Missing,
       "Port /dev/ttyS199 does not exist"},
      {"no name", "", 115200, false, PortFault::Missing, "No port is chosen"},
      {"a regular file", file, 115200, false, PortFault::NotSerial, file + " is not a serial port"},
      {"a folder", dir, 115200, false, PortFault::NotSerial, dir + " is not a serial port"},
      {"a device that is no terminal", "/dev/null", 115200, false, PortFault::NotSerial,
       "/dev/null is not a serial port"},
      {"a port another opener holds", held.PortPath(), 115200, false, PortFault::Busy,
       "Port is busy"},
      {"no line runs at 0 baud", pty, 0, false, PortFault::RateRefused,
       "Port " + pty + " does not take 0 baud"},
      {"a device of another user", pty, 115200, true, PortFault::NoPermission,
       "No permission to open port " + pty + ": join the dialout group"},
  };
  for (const Row& row : rows) {
    const auto tryIt = [&] {
      TComPort port;
      port.PortName = row.name;
      port.BaudRate = row.rate;
      const bool opened = port.Open();
      return !opened && !port.Opened && port.Handle == NoPortHandle && port.Fault == row.fault &&
             port.FaultText() == row.text;
    };
    if (!row.asNobody) {
      EXPECT_TRUE(tryIt()) << row.what;
      continue;
    }
    const int status = AsNobody([&] { return tryIt() ? 0 : 1; });
    if (status == CannotDropPrivileges) {
      ADD_FAILURE() << row.what << ": could not become user nobody (65534) to test it";
      continue;
    }
    EXPECT_EQ(status, 0) << row.what;
  }

  // A failed open holds nothing, and a good one forgets the last fault.
  TComPort port = PortOn(board);
  port.BaudRate = 0;
  EXPECT_FALSE(port.Open());
  port.BaudRate = 115200;
  EXPECT_TRUE(port.Open());
  EXPECT_EQ(port.Fault, PortFault::None);
  EXPECT_TRUE(port.Close());
  std::filesystem::remove_all(folder);
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

TEST(ComPort, IsExclusiveWhileHeldAndNeverAfterTheHolder) {
  PtyBoard board;
  TComPort first = PortOn(board);
  TComPort second = PortOn(board);
  ASSERT_TRUE(first.Open());
  EXPECT_FALSE(second.Open());
  EXPECT_FALSE(second.Opened);

  const pid_t child = fork();
  if (child == 0) _exit(OpensAt(board.PortPath()) ? 1 : 0);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "another process opened the port";

  // Once released, the device can be taken by the other object, and by
  // another user's program: root, whom the device's own exclusive flag does
  // not bind, would not notice a device left exclusive.
  EXPECT_TRUE(first.Close());
  EXPECT_TRUE(second.Open());
  EXPECT_TRUE(second.Close());
  ASSERT_EQ(chmod(board.PortPath().c_str(), 0666), 0);
  status = AsNobody([&] { return OpensAt(board.PortPath()) ? 0 : 1; });
  if (status == CannotDropPrivileges) GTEST_SKIP() << "could not become user nobody (65534)";
  EXPECT_EQ(status, 0) << "another user could not open the port";

  // A holder that is killed never closes the port; while the board keeps
  // its side open, the same user must still get it afterwards.
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t holder = fork();
  if (holder == 0) {
    close(ready[0]);
    TComPort port;
    port.PortName = board.PortPath();
    if (!BecomeNobody() || !port.Open()) _exit(1);
    const char yes = 'y';
    if (write(ready[1], &yes, 1) == 1) pause();
    _exit(1);
  }
  close(ready[1]);
  char answer = 0;
  const bool held = read(ready[0], &answer, 1) == 1;
  close(ready[0]);
  kill(holder, SIGKILL);
  ASSERT_TRUE(held) << "user nobody could not open the port";
  ASSERT_EQ(waitpid(holder, &status, 0), holder);
  EXPECT_EQ(AsNobody([&] { return OpensAt(board.PortPath()) ? 0 : 1; }), 0)
      << "the port stayed exclusive after its holder was killed";
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
