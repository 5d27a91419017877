// The link check against the virtual board.
#include "board/ptyboard.h"
#include "link/comport.h"
#include "link/linkcheck.h"

#include <gtest/gtest.h>

TEST(LinkCheck, LogsTheEchoOfABoardAndClosesThePort) {
  PtyBoard board;
  TComPort port;
  port.PortName = board.PortPath();
  EXPECT_EQ(RunLinkCheck(port), ">>6 : Hello!");
  EXPECT_FALSE(port.Opened);
  const std::vector<std::uint8_t> hello{'H', 'e', 'l', 'l', 'o', '!'};
  EXPECT_EQ(board.Received(), hello);

  // A port that was open before the check is closed after it.
  ASSERT_TRUE(port.Open());
  EXPECT_EQ(RunLinkCheck(port), ">>6 : Hello!");
  EXPECT_FALSE(port.Opened);
}

TEST(LinkCheck, LogsNothingReceivedWithoutABoard) {
  BoardOptions options;
  options.silent = true;
  PtyBoard silent(options);
  TComPort port;
  port.PortName = silent.PortPath();
  EXPECT_EQ(RunLinkCheck(port), ">>0 : ");
  port.PortName = "/dev/tarnwick-no-such-port";
  EXPECT_EQ(RunLinkCheck(port), ">>0 : ");
}
