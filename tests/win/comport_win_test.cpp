// The serial port through the Win32 calls. The tests of BoardPort need the
// virtual board on the COM port that TARNWICK_TEST_COM names.
#include "link/comport.h"
#include "link/registercommand.h"
#include "wine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "test_support.h"

namespace {

// Sends a frame and waits as the program does after every frame.
void Send(TComPort& port, const std::vector<std::uint8_t>& frame) {
  EXPECT_TRUE(port.Write(frame.data(), static_cast<int>(frame.size())));
  Sleep(1);
}

class BoardPort : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* name = std::getenv("TARNWICK_TEST_COM");
    if (name == nullptr || *name == '\0')
      GTEST_SKIP() << "TARNWICK_TEST_COM is not set: name the COM port of the virtual board "
                      "(e.g. COM5) to run the tests that need it";
    portName_ = name;
  }

  TComPort Port() const {
    TComPort port;
    port.PortName = portName_;
    return port;
  }

  // After a failed open the device must be free again. Windows proves it by
  // letting another object take the port, which its exclusive use would
  // refuse otherwise. Wine does not enforce exclusive use, but it gives every
  // new handle the lowest free slot: the next open must get the slot that the
  // port had before the failed open.
  void ExpectDeviceFree(PortHandle slotBefore) const {
    TComPort other = Port();
    ASSERT_TRUE(other.Open());
    if (RunningOnWine()) {
      EXPECT_EQ(other.Handle, slotBefore);
    }
    EXPECT_TRUE(other.Close());
  }

  std::string portName_;
};

}  // namespace

TEST(ComPortWin32, DoesNothingWhileClosed) {
  TComPort port;
  EXPECT_EQ(port.Handle, nullptr);
  std::uint8_t buffer[8] = {};
  EXPECT_FALSE(port.Write(buffer, sizeof buffer));
  EXPECT_FALSE(port.Read(buffer, sizeof buffer));
  EXPECT_EQ(port.ReadSome(buffer, sizeof buffer, 0), 0);
  EXPECT_EQ(port.InQueueCount(), 0);
  EXPECT_FALSE(port.Close());
}

TEST(ComPortWin32, RefusesNamesThatNameNoSerialDeviceAndSaysWhy) {
  struct Row {
    const char* name;
    PortFault fault;
    const char* text;
  };
  const Row rows[] = {
      {"", PortFault::Missing, "No port is chosen"},
      {"COM250", PortFault::Missing, "Port COM250 does not exist"},
      {"NoSuchPort", PortFault::Missing, "Port NoSuchPort does not exist"},
      {"NUL", PortFault::NotSerial, "NUL is not a serial port"},  // a device, not a line
  };
  TComPort port;
  for (const Row& row : rows) {
    port.PortName = row.name;
    EXPECT_FALSE(port.Open()) << row.name;
    EXPECT_FALSE(port.Opened) << row.name;
    EXPECT_EQ(port.Handle, NoPortHandle) << row.name;
    EXPECT_EQ(static_cast<int>(port.Fault), static_cast<int>(row.fault)) << row.name;
    EXPECT_EQ(port.FaultText(), row.text) << row.name;
  }
}

TEST_F(BoardPort, FollowsItsStateTable) {
  TComPort port = Port();
  ASSERT_TRUE(port.Open());
  EXPECT_TRUE(port.Opened);
  const PortHandle handle = port.Handle;
  EXPECT_NE(handle, NoPortHandle);

  // A second open changes nothing: the port stays open and usable.
  EXPECT_FALSE(port.Open());
  EXPECT_TRUE(port.Opened);
  EXPECT_EQ(port.Handle, handle);
  Send(port, RegisterFrame(CommandRead, 7, 0));
  std::uint8_t answer[6] = {};
  EXPECT_EQ(WaitForBytes(port, 6), 6);
  EXPECT_TRUE(port.Read(answer, 6));  // the board shares the line with the next test

  EXPECT_TRUE(port.Close());
  EXPECT_FALSE(port.Opened);
  EXPECT_EQ(port.Handle, NoPortHandle);
  EXPECT_FALSE(port.Close());
  EXPECT_EQ(port.InQueueCount(), 0);
}

TEST_F(BoardPort, WritesReachTheBoardAndReadAnswersComeBack) {
  TComPort port = Port();
  ASSERT_TRUE(port.Open());
  Send(port, RegisterFrame(CommandWrite, 7, 0x5A));
  Send(port, RegisterFrame(CommandWrite, 1200, 0x12345678));  // registers 12 to 15

  Send(port, RegisterFrame(CommandRead, 7, 0));
  ASSERT_EQ(WaitForBytes(port, 6), 6);
  std::uint8_t answer[40] = {};
  EXPECT_TRUE(port.Read(answer, port.InQueueCount()));
  EXPECT_EQ(answer[5], 0x5A);
  EXPECT_EQ(port.InQueueCount(), 0);

  Send(port, RegisterFrame(CommandRead, 1200, 0));
  ASSERT_EQ(WaitForBytes(port, 6), 6);
  EXPECT_TRUE(port.Read(answer, 6));
  EXPECT_EQ(std::vector<std::uint8_t>(answer + 2, answer + 6),
            (std::vector<std::uint8_t>{0x12, 0x34, 0x56, 0x78}));

  // An answer nobody collected is dropped before the next request.
  Send(port, RegisterFrame(CommandRead, 7, 0));
  ASSERT_EQ(WaitForBytes(port, 6), 6);
  port.DiscardInput();
  EXPECT_EQ(port.InQueueCount(), 0);
  EXPECT_TRUE(port.Close());
}

TEST_F(BoardPort, ReadsBoundedByTheTimeOutAndAtOnceForNothing) {
  TComPort port = Port();
  port.ReadTotalTimeoutConstant = 100;
  ASSERT_TRUE(port.Open());
  std::uint8_t buffer[16] = {};
  const ULONGLONG start = GetTickCount64();
  EXPECT_TRUE(port.Read(buffer, 0));
  EXPECT_TRUE(port.Read(buffer, -1));  // a negative count reads nothing
  EXPECT_LT(GetTickCount64() - start, 50u);

  // A silent line: the read ends after its time-out, successfully.
  EXPECT_TRUE(port.Read(buffer, sizeof buffer));
  const ULONGLONG elapsed = GetTickCount64() - start;
  EXPECT_GE(elapsed, 80u);
  EXPECT_LT(elapsed, 900u);
  EXPECT_TRUE(port.Write(buffer, -1));
  EXPECT_TRUE(port.Close());
}

TEST_F(BoardPort, ReadSomeTakesWhatHasComeAndLeavesThePortsTimeOuts) {
  TComPort port = Port();
  port.ReadTotalTimeoutConstant = 100;
  ASSERT_TRUE(port.Open());
  std::uint8_t answer[40] = {};
  ULONGLONG start = GetTickCount64();
  EXPECT_EQ(port.ReadSome(answer, sizeof answer, 0), 0);
  EXPECT_LT(GetTickCount64() - start, 50u);
  EXPECT_EQ(port.ReadSome(answer, sizeof answer, 60), 0);  // a silent line takes the wait
  EXPECT_GE(GetTickCount64() - start, 40u);

  Send(port, RegisterFrame(CommandRead, 7, 0));
  start = GetTickCount64();
  int received = port.ReadSome(answer, 4, 5000);
  EXPECT_LT(GetTickCount64() - start, 1000u);
  EXPECT_GT(received, 0);
  EXPECT_LE(received, 4);  // never more than asked for: the rest waits
  for (int i = 0; i < 100 && received < 6; ++i)
    received += port.ReadSome(answer + received, sizeof answer - received, 10);
  EXPECT_EQ(received, 6);
  EXPECT_EQ(port.InQueueCount(), 0);

  // Read waits for its whole count by the port's own time-out again.
  start = GetTickCount64();
  EXPECT_TRUE(port.Read(answer, sizeof answer));
  EXPECT_GE(GetTickCount64() - start, 80u);
  EXPECT_TRUE(port.Close());
}

TEST_F(BoardPort, AFailedConfigurationLeavesTheDeviceFree) {
  TComPort port = Port();
  ASSERT_TRUE(port.Open());
  const PortHandle slot = port.Handle;
  ASSERT_TRUE(port.Close());

  TComPort noRate = Port();
  noRate.BaudRate = 0;  // no rate at all: refused before the driver sees it
  EXPECT_FALSE(noRate.Open());
  EXPECT_FALSE(noRate.Opened);
  EXPECT_EQ(noRate.Handle, NoPortHandle);
  EXPECT_EQ(noRate.FaultText(), "Port " + noRate.PortName + " does not take 0 baud");
  ExpectDeviceFree(slot);

  TComPort badFrame = Port();
  badFrame.ByteSize = 9;  // a frame that no driver makes: SetCommState fails
  EXPECT_FALSE(badFrame.Open());
  EXPECT_FALSE(badFrame.Opened);
  EXPECT_EQ(badFrame.Handle, NoPortHandle);
  ExpectDeviceFree(slot);

  port.BaudRate = 9600;
  EXPECT_TRUE(port.Open());
  EXPECT_TRUE(port.Close());
}

TEST_F(BoardPort, IsHeldExclusively) {
  TComPort first = Port();
  TComPort second = Port();
  ASSERT_TRUE(first.Open());
  if (RunningOnWine()) {
    first.Close();
    GTEST_SKIP() << "Wine opens a COM port a second time although it is held with share mode 0";
  }
  EXPECT_FALSE(second.Open());
  EXPECT_FALSE(second.Opened);
  EXPECT_EQ(second.FaultText(), "Port is busy");
  EXPECT_TRUE(first.Close());
  EXPECT_TRUE(second.Open());
  EXPECT_TRUE(second.Close());
}

TEST_F(BoardPort, IsListedByEnumPortsAtEveryCall) {
  std::vector<std::string> list{"kept"};
  TComPort::EnumPorts(list);
  TComPort::EnumPorts(list);
  ASSERT_FALSE(list.empty());
  EXPECT_EQ(list.front(), "kept");
  const auto ours = std::count_if(list.begin(), list.end(), [&](const std::string& entry) {
    return entry.rfind(portName_ + "  ", 0) == 0;
  });
  EXPECT_EQ(ours, 2) << "entries: " << ::testing::PrintToString(list);
}

// The board through the port server that TARNWICK_TEST_NETPORT names: Winsock,
// the line settings, and the Telnet escaping of 0xFF both ways.
TEST(NetPortWin32, ReachesTheBoardThroughAPortServer) {
  const char* name = std::getenv("TARNWICK_TEST_NETPORT");
  if (name == nullptr || *name == '\0')
    GTEST_SKIP() << "TARNWICK_TEST_NETPORT is not set: name a port server in front of the "
                    "virtual board (e.g. rfc2217://127.0.0.1:27500)";
  TComPort port;
  port.PortName = name;
  port.BaudRate = 57600;
  ASSERT_TRUE(port.Open()) << port.FaultText();
  EXPECT_EQ(port.ReportedBaudRate, 57600u);
  Send(port, RegisterFrame(CommandWrite, 7, 0xFF));
  Send(port, RegisterFrame(CommandRead, 7, 0));
  ASSERT_EQ(WaitForBytes(port, 6), 6);
  std::uint8_t answer[6] = {};
  EXPECT_TRUE(port.Read(answer, 6));
  EXPECT_EQ(answer[5], 0xFF);

  // A block holds 0xFF bytes: undone escaping would make it longer, lost
  // bytes shorter.
  Send(port, RegisterFrame(CommandCapture, 0, 0));
  ASSERT_EQ(WaitForBytes(port, 4096), 4096);
  std::vector<std::uint8_t> block(4096);
  EXPECT_TRUE(port.Read(block.data(), 4096));
  EXPECT_NE(std::ranges::find(block, 0xFF), block.end());
  Sleep(100);
  EXPECT_EQ(port.InQueueCount(), 0);
  EXPECT_TRUE(port.Close());

  port.PortName = "rfc2217://127.0.0.1:1";
  EXPECT_FALSE(port.Open());
  EXPECT_EQ(port.FaultText(), "Port 127.0.0.1:1 refuses the connection: no port server listens there");
}
