// The board on another machine: tarnwick-ctl and the link through Debian's
// ser2net in front of the virtual board, over loopback, as RFC 2217 (Telnet,
// where a data byte 0xFF travels doubled) and as raw bytes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

#include "capture/capturesession.h"
#include "link/comport.h"
#include "ser2net.h"

#include "ctl_fixture.h"

using ::testing::HasSubstr;

// The mode by name in failure messages.
void PrintTo(Ser2netMode mode, std::ostream* out) { *out << ModeName(mode); }

namespace {

// The board behind ser2net; tarnwick-ctl's port is the server's.
class Served : public CtlFiles {
 protected:
  explicit Served(Ser2netMode mode) : server(board.PortPath(), mode) { port = server.PortName(); }

  TComPort Link(std::uint32_t baudRate = 115200) const {
    TComPort link;
    link.PortName = port;
    link.BaudRate = baudRate;
    return link;
  }

  Ser2net server;
};

class ThroughSer2net : public Served, public ::testing::WithParamInterface<Ser2netMode> {
 protected:
  ThroughSer2net() : Served(GetParam()) {}
};

INSTANTIATE_TEST_SUITE_P(Modes, ThroughSer2net,
                         ::testing::Values(Ser2netMode::Rfc2217, Ser2netMode::Raw),
                         [](const auto& info) { return ModeName(info.param); });

// The line's rate is the Com Port Control Option's: RFC 2217 only.
class RatesThroughRfc2217 : public Served, public ::testing::WithParamInterface<std::uint32_t> {
 protected:
  RatesThroughRfc2217() : Served(Ser2netMode::Rfc2217) {}
};

INSTANTIATE_TEST_SUITE_P(Rates, RatesThroughRfc2217, ::testing::Values(57600u, 12345u));

}  // namespace

TEST_P(ThroughSer2net, WritesReadsAndChecksTheLinkByteForByte) {
  const Result write = Run({"write", "64", "0x12"});
  EXPECT_EQ(write.status, ExitSuccess);
  EXPECT_EQ(write.out + write.err, "");
  EXPECT_EQ(Received(8), ShortFrame(0x47, 0x40, 0x12));
  // Bytes 0xFF in the value: doubled on the Telnet stream, once at the board,
  // and once again in the answer to the read.
  EXPECT_EQ(Run({"write", "500", "0xFFFF00FF"}).status, ExitSuccess);
  EXPECT_EQ(Received(20), LongFrame(0x47, 5, 0xFFFF00FF));
  EXPECT_EQ(Run({"read", "500"}).out, "4294902015\n");
  EXPECT_EQ(Run({"read", "64"}).out, "18\n");
  // Nothing of the server's own talk counts as a reply.
  const Result check = Run({"--json", "check"});
  EXPECT_EQ(check.status, ExitSuccess);
  EXPECT_EQ(check.out + check.err, "{\"reply\":\"Hello!\",\"bytes\":6}\n");
}

TEST_P(ThroughSer2net, OnceAndARecordingHoldTheBoardsBytes) {
  const Bytes sent = BoardBlocks(101);
  TComPort link = Link();
  CaptureSession once(link);
  ASSERT_TRUE(once.Start(false)) << link.FaultText();
  EXPECT_EQ(once.Capture(false, [](int) { return true; }), BlockResult::Whole);
  once.Release();
  SampleHistory first;
  first.Decode(std::span<const std::uint8_t, BlockBytes>(sent.data(), BlockBytes));
  EXPECT_EQ(once.Samples.HistoryI, first.HistoryI);
  EXPECT_EQ(once.Samples.HistoryQ, first.HistoryQ);

  const Result recording = Run({"capture", "-n", "100", "-o", base, "--rate", "1"});
  EXPECT_EQ(recording.status, ExitSuccess);
  EXPECT_EQ(recording.err, "");
  const Bytes data = FileBytes(base + ".sigmf-data");
  EXPECT_EQ(data, Bytes(sent.begin() + BlockBytes, sent.end()));
  CheckedMeta();
  // The tone passes through -256..-1 and so holds bytes 0xFF: the escaping
  // above was exercised.
  EXPECT_NE(std::ranges::find(data, 0xFF), data.end());
}

// As a device unplugged: the recording ends at once with its whole blocks
// kept and described, and the message names the server.
TEST_P(ThroughSer2net, AServerThatGoesAwayEndsTheRecordingWithItsBlocks) {
  std::thread stopper([&] {
    WaitFor([&] { return board.Received().size() >= 3 * 8; }, std::chrono::seconds(5));
    server.Stop(SIGKILL);
  });
  const Result result = Run({"capture", "-n", "1000000", "-o", base, "--rate", "1"});
  stopper.join();
  EXPECT_EQ(result.status, ExitAnswer);
  // "Timeout" would be the 5-second wait for a block: the loss went unseen.
  EXPECT_THAT(result.err, ::testing::StartsWith("Port lost"));
  EXPECT_THAT(result.err, HasSubstr(server.Endpoint()));
  const Bytes data = FileBytes(base + ".sigmf-data");
  EXPECT_GE(data.size(), 2u * BlockBytes);
  EXPECT_EQ(data, BoardBlocks(static_cast<int>(data.size() / BlockBytes)));
  CheckedMeta();
}

// ser2net serves one client: the second is told so, and the port is free
// again once the first lets it go.
TEST_P(ThroughSer2net, ASecondClientFindsThePortBusy) {
  TComPort holder = Link();
  ASSERT_TRUE(holder.Open()) << holder.FaultText();
  TComPort second = Link();
  EXPECT_FALSE(second.Open());
  EXPECT_EQ(second.Fault, PortFault::Busy);
  const Result busy = Run({"read", "64"});
  EXPECT_EQ(busy.status, ExitPort);
  EXPECT_THAT(busy.err, HasSubstr(server.Endpoint()));
  holder.Close();
  EXPECT_EQ(Run({"read", "64"}).status, ExitSuccess);
}

// What the server answers to SET-BAUDRATE is the rate in use: the one asked,
// standard or not, confirmed without a warning.
TEST_P(RatesThroughRfc2217, TheServerReportsTheRateAsked) {
  EXPECT_EQ(Run({"--baud", std::to_string(GetParam()), "read", "64"}).status, ExitSuccess);
  TComPort link = Link(GetParam());
  std::vector<std::string> warnings;
  link.Warn = [&](const std::string& warning) { warnings.push_back(warning); };
  ASSERT_TRUE(link.Open()) << link.FaultText();
  EXPECT_EQ(link.ReportedBaudRate, GetParam());
  EXPECT_THAT(warnings, ::testing::IsEmpty());
}

// A script's commands, the panel's cells: each opens the port as soon as
// the one before closed it, and the server must have let that one go.
TEST_P(ThroughSer2net, APortOpenedAgainRightAfterACloseIsFree) {
  for (int round = 0; round < 10; ++round) {
    TComPort link = Link();
    ASSERT_TRUE(link.Open()) << "round " << round << ": " << link.FaultText();
    link.Close();
  }
}

// Nobody listening, no such host, a name without a port: each fails to open
// with its reason, and tarnwick-ctl says so with status 2.
TEST_F(Ctl, NetworkPortsThatCannotBeOpened) {
  const std::string refused = "127.0.0.1:" + std::to_string(FreeTcpPort());
  struct Row {
    std::string endpoint;
    PortFault fault;
  };
  const Row rows[] = {
      {refused, PortFault::Refused},
      {"no-such-host.invalid:1", PortFault::UnknownHost},
      {"127.0.0.1", PortFault::Missing},
  };
  for (const std::string scheme : {"rfc2217://", "socket://"}) {
    for (const Row& row : rows) {
      port = scheme + row.endpoint;
      TComPort link;
      link.PortName = port;
      EXPECT_FALSE(link.Open()) << port;
      EXPECT_EQ(link.Fault, row.fault) << port;
      EXPECT_THAT(link.FaultText(), HasSubstr(row.endpoint)) << port;
      const Result result = Run({"read", "64"});
      EXPECT_EQ(result.status, ExitPort) << port;
      EXPECT_THAT(result.err, HasSubstr(row.endpoint)) << port;
    }
  }
}

// A host that takes no connection is given up on: a listener whose queue is
// full leaves every further connection request unanswered, as a host that is
// off does.
TEST(NetworkPort, AHostThatTakesNoConnectionDidNotAnswer) {
  const int listener = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), size), 0);
  ASSERT_EQ(listen(listener, 0), 0);
  ASSERT_EQ(getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size), 0);
  std::vector<int> waiting;  // they fill the queue, never accepted
  for (int i = 0; i < 3; ++i) {
    waiting.push_back(socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0));
    connect(waiting.back(), reinterpret_cast<sockaddr*>(&address), size);
  }
  TComPort link;
  link.PortName = "rfc2217://127.0.0.1:" + std::to_string(ntohs(address.sin_port));
  EXPECT_FALSE(link.Open());
  EXPECT_EQ(link.FaultText(), "Port 127.0.0.1:" + std::to_string(ntohs(address.sin_port)) +
                                  " did not answer within 3 s");
  for (const int fd : waiting) close(fd);
  close(listener);
}
