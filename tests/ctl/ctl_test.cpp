// tarnwick-ctl against the virtual board, through a real pty.
#include "ctl/ctl.h"

#include <gtest/gtest.h>

#include <chrono>
#include <sstream>
#include <thread>

#include "board/ptyboard.h"
#include "link/comport.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Result {
  int status;
  std::string out, err;
};

class Ctl : public ::testing::Test {
 protected:
  // The command on the board's port.
  Result Run(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {"--port", board.PortPath()});
    std::ostringstream out, err;
    const int status = RunCtl(arguments, out, err);
    return {status, out.str(), err.str()};
  }

  // The bytes the board has received since the last call, once there are
  // `expected` of them (the board's thread reads them in its own time), or
  // after a second.
  Bytes Received(std::size_t expected = 0) {
    for (int i = 0; i < 1000 && board.Received().size() < expected; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    const Bytes bytes = board.Received();
    board.ClearReceived();
    return bytes;
  }

  PtyBoard board;
};

}  // namespace

TEST_F(Ctl, ReadsAndWritesWithThePanelsFramesAndTexts) {
  EXPECT_EQ(Run({"write", "64", "0x12"}).status, ExitSuccess);
  EXPECT_EQ(Received(8), (Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0x47, 0x40, 0x12, 0x00}));

  const Result wide = Run({"write", "500", "$FFFFFFFE"});
  EXPECT_EQ(wide.status, ExitSuccess);
  EXPECT_EQ(wide.out + wide.err, "");
  EXPECT_EQ(Received(20), (Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0x47, 5, 0xFF, 0, 0x47, 6, 0xFF, 0,
                               0x47, 7, 0xFF, 0, 0x47, 8, 0xFE, 0}));

  EXPECT_EQ(Run({"read", "500"}).out, "4294967294\n");
  EXPECT_EQ(Run({"read", "500", "--signed"}).out, "-2\n");
  EXPECT_EQ(Run({"read", "x40", "--json"}).out, "{\"address\":64,\"value\":18,\"text\":\"18\"}\n");
}

TEST_F(Ctl, FailuresEndWithTheirStatusAndTheToolsMessage) {
  struct Row {
    std::vector<std::string> arguments;
    int status;
    std::string err;
  };
  const Row rows[] = {
      {{"write", "64", "abc"}, ExitUsage, "'abc' is not a valid integer value.\n"},
      {{"write", "64", "4294967296"}, ExitUsage, "Value is out of range.\n"},
      {{"write", "1x", "-1"}, ExitUsage, "Value is out of range.\n"},  // the value first
      {{"read", "1x"}, ExitUsage, "'1x' is not a valid integer value.\n"},
  };
  for (const Row& row : rows) {
    const Result result = Run(row.arguments);
    EXPECT_EQ(result.status, row.status) << row.arguments[0];
    EXPECT_EQ(result.err, row.err);
  }
  EXPECT_TRUE(Received().empty());

  TComPort holder;  // another program holds the port
  holder.PortName = board.PortPath();
  ASSERT_TRUE(holder.Open());
  const Result busy = Run({"read", "64"});
  EXPECT_EQ(busy.status, ExitPort);
  EXPECT_EQ(busy.err, "Port is busy\n");
  holder.Close();

  BoardOptions absent;
  absent.silent = true;
  board.SetOptions(absent);
  const Result silent = Run({"read", "64"});
  EXPECT_EQ(silent.status, ExitAnswer);
  EXPECT_EQ(silent.err, "Timeout\n");
  EXPECT_EQ(silent.out, "");
  EXPECT_EQ(Run({"check"}).status, ExitAnswer);
}
