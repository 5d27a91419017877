// tarnwick-ctl against the virtual board, through a real pty.
#include "ctl/ctl.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <sstream>
#include <functional>
#include <set>
#include <thread>

#include "board/ptyboard.h"
#include "link/comport.h"
#include "timelapse.h"

#include "ctl_fixture.h"

TEST_F(Ctl, ReadsAndWritesWithThePanelsFramesAndTexts) {
  EXPECT_EQ(Run({"write", "64", "0x12"}).status, ExitSuccess);
  EXPECT_EQ(Received(8), ShortFrame(0x47, 0x40, 0x12));

  const Result wide = Run({"write", "500", "$FFFFFFFE"});
  EXPECT_EQ(wide.status, ExitSuccess);
  EXPECT_EQ(wide.out + wide.err, "");
  EXPECT_EQ(Received(20), LongFrame(0x47, 5, 0xFFFFFFFE));
  EXPECT_EQ(Run({"write", "500", "$FFFFFFFE", "--json"}).out,
            "{\"address\":500,\"value\":4294967294}\n");

  EXPECT_EQ(Run({"read", "500"}).out, "4294967294\n");
  EXPECT_EQ(Run({"read", "500", "--signed"}).out, "-2\n");
  EXPECT_EQ(Run({"read", "x40", "--json"}).out, "{\"address\":64,\"value\":18,\"text\":\"18\"}\n");
  // A command's usage tells the options every command takes too.
  EXPECT_THAT(Run({"read", "--help"}).out, ::testing::HasSubstr("[--port PORT] [--baud N]"));
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
      // Why the port could not be opened: the rate is the caller's choice.
      {{"--port", "/dev/tarnwick-no-such-port", "read", "64"}, ExitPort,
       "Port /dev/tarnwick-no-such-port does not exist\n"},
      {{"--baud", "0", "read", "64"}, ExitUsage,
       "Port " + board.PortPath() + " does not take 0 baud\n"},
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
  for (const std::vector<std::string>& command : {std::vector<std::string>{"read", "64"},
                                                   {"write", "64", "1"}, {"check"}}) {
    const Result busy = Run(command);
    EXPECT_EQ(busy.status, ExitPort) << command[0];
    EXPECT_EQ(busy.err, "Port is busy\n") << command[0];
  }
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

// Standard output on a full disk, or a pipe whose reader has gone: a
// script must not take the missing result for success.
TEST_F(Ctl, OutputThatCannotBeDeliveredIsAFailure) {
  struct Refusing : std::streambuf {
    int overflow(int) override { return traits_type::eof(); }
  } refusing;
  std::ostream out(&refusing);
  const auto failedDelivery = [&](const std::vector<std::string>& arguments) {
    std::ostringstream err;
    const int status = RunCtl(arguments, out, err);
    out.clear();
    EXPECT_EQ(err.str(), "tarnwick-ctl: unable to write to standard output\n");
    return status;
  };
  EXPECT_EQ(failedDelivery({"--port", board.PortPath(), "--json", "check"}), ExitOutput);
  EXPECT_EQ(failedDelivery({"capture", "--help"}), ExitOutput);
}

TEST_F(CtlFiles, RecordsTheBlocksAsTheBoardSentThem) {
  const std::string layout = (folder / "tarnwick.ini").string();
  std::ofstream(layout) << "[CHART]\nFREQ=122.88\n";
  // The data file's name or the meta file's names the recording.
  const Result sigmf = Run({"--layout", layout, "capture", "-n", "3", "-o", base + ".sigmf-meta"});
  EXPECT_EQ(sigmf.status, ExitSuccess);
  EXPECT_EQ(sigmf.out + sigmf.err, "");
  const Bytes sent = BoardBlocks(4);
  EXPECT_EQ(FileBytes(base + ".sigmf-data"), Bytes(sent.begin(), sent.begin() + 3 * 4096));
  const auto meta = CheckedMeta();
  EXPECT_EQ(meta["global"]["core:datatype"], "ci16_be");
  EXPECT_DOUBLE_EQ(meta["global"]["core:sample_rate"].get<double>(), 122.88e6);
  EXPECT_THAT(meta["captures"][2]["core:datetime"].get<std::string>(),
              ::testing::MatchesRegex("20[0-9]{2}-[01][0-9]-[0-3][0-9]T"
                                      "[0-2][0-9]:[0-5][0-9]:[0-6][0-9][.][0-9]{3}Z"));
  EXPECT_EQ(meta["annotations"], nlohmann::json::array());

  const Result raw = Run({"capture", "-o", base + ".bin", "--format", "raw", "--json"});
  EXPECT_EQ(raw.status, ExitSuccess);
  EXPECT_EQ(raw.out, "{\"blocks\":1,\"bytes\":4096,\"data\":\"" + base + ".bin\"}\n");
  EXPECT_EQ(FileBytes(base + ".bin"), Bytes(sent.begin() + 3 * 4096, sent.end()));
}

TEST_F(CtlFiles, AShortBlockEndsTheRecordingAndKeepsTheWholeOnes) {
  BoardOptions shortFromTheThird;
  shortFromTheThird.wholeCaptures = 2;
  shortFromTheThird.captureBytes = 4095;
  board.SetOptions(shortFromTheThird);
  const Result result = Run({"capture", "-n", "5", "-o", base, "--json"}, TimeLapseClock(10));
  EXPECT_EQ(result.status, ExitAnswer);
  // No rate from --rate or the layout file: the metadata's rate is a guess.
  EXPECT_EQ(result.err,
            "tarnwick-ctl: warning: no sample rate given (--rate MHZ, or FREQ in the layout "
            "file); taking 150 MHz\nTimeout\n");
  EXPECT_EQ(result.out, "{\"blocks\":2,\"bytes\":8192,\"data\":\"" + base +
                            ".sigmf-data\",\"meta\":\"" + base + ".sigmf-meta\"}\n");
  EXPECT_EQ(FileBytes(base + ".sigmf-data"), BoardBlocks(2));
  CheckedMeta();
}

// Ctrl+C, a kill, a closed terminal, a device unplugged: the recording ends
// after the block in hand, keeping it and those before, described.
TEST_F(CtlFiles, WhateverEndsARecordingTheWholeBlocksStayDescribed) {
  struct Row {
    std::function<void()> end;
    int status;
    std::string err;
  };
  const Row rows[] = {
      {[&] { kill(getpid(), SIGINT); }, ExitSignal + SIGINT, ""},
      {[&] { kill(getpid(), SIGTERM); }, ExitSignal + SIGTERM, ""},
      {[&] { kill(getpid(), SIGHUP); }, ExitSignal + SIGHUP, ""},
      {[&] { board.Vanish(); }, ExitAnswer, "Port lost: " + board.PortPath() + " has gone\n"},
  };
  for (const Row& row : rows) {
    board.ClearReceived();
    std::thread ender([&] {
      WaitFor([&] { return board.Received().size() >= 3 * 8; }, std::chrono::seconds(5));
      row.end();
    });
    const Result result = Run({"capture", "-n", "1000000", "-o", base, "--rate", "1"});
    ender.join();
    EXPECT_EQ(result.status, row.status);
    EXPECT_EQ(result.err, row.err);
    EXPECT_GE(fs::file_size(base + ".sigmf-data"), 2 * 4096u);
    CheckedMeta();
  }
}

// Nothing to keep: an earlier recording of the name stays as it was, and a
// signal is taken while the board keeps silent.
TEST_F(CtlFiles, ARecordingWithoutABlockLeavesNoFileAndAnEarlierOneAsItWas) {
  ASSERT_EQ(Run({"capture", "-o", base, "--rate", "1"}).status, ExitSuccess);
  const Bytes data = FileBytes(base + ".sigmf-data"), meta = FileBytes(base + ".sigmf-meta");
  BoardOptions silent;
  silent.silent = true;
  board.SetOptions(silent);
  const auto earlierAsItWas = [&] {
    EXPECT_EQ(Files(), (std::set<std::string>{"rec.sigmf-data", "rec.sigmf-meta"}));
    EXPECT_EQ(FileBytes(base + ".sigmf-data"), data);
    EXPECT_EQ(FileBytes(base + ".sigmf-meta"), meta);
  };

  const Result timeout = Run({"capture", "-n", "5", "-o", base, "--rate", "1", "--json"},
                             TimeLapseClock(50));
  EXPECT_EQ(timeout.status, ExitAnswer);
  EXPECT_EQ(timeout.out, "{\"blocks\":0,\"bytes\":0}\n");
  earlierAsItWas();

  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    board.ClearReceived();
    std::thread sender([&] {
      WaitFor([&] { return board.Received().size() >= 8; });
      kill(getpid(), signal);
    });
    // The real clock: the 5-second wait would end with "Timeout".
    const Result stopped = Run({"capture", "-o", base, "--rate", "1"});
    sender.join();
    EXPECT_EQ(stopped.status, ExitSignal + signal);
    EXPECT_EQ(stopped.err, "");
    earlierAsItWas();
  }
}

// A limit on the size of files stands in for a full disk: a write beyond it
// fails as there, only with EFBIG for ENOSPC.
TEST_F(CtlFiles, AFileThatCannotBeWrittenEndsTheRecordingAndKeepsWhatWasWritten) {
  const auto withFilesUpTo = [&](rlim_t bytes, std::vector<std::string> arguments) {
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    const rlimit before = limit;
    limit.rlim_cur = bytes;
    const auto signalBefore = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &limit);
    const Result result = Run(arguments);
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, signalBefore);
    return result;
  };

  board.ClearReceived();
  const Result full = withFilesUpTo(5 * 4096 + 100, {"capture", "-n", "100000", "-o", base,
                                                     "--rate", "1", "--json"});
  EXPECT_EQ(full.status, ExitOutput);
  EXPECT_EQ(full.err, "Unable to write to " + base + ".sigmf-data\n");
  EXPECT_EQ(full.out, "{\"blocks\":5,\"bytes\":20480,\"data\":\"" + base +
                          ".sigmf-data\",\"meta\":\"" + base + ".sigmf-meta\"}\n");
  EXPECT_EQ(FileBytes(base + ".sigmf-data"), BoardBlocks(5));
  CheckedMeta();
  EXPECT_LE(board.Received().size(), 256 * 8u);  // the board is asked no more

  fs::remove_all(folder);
  fs::create_directories(folder);
  const Result noMeta = withFilesUpTo(100, {"capture", "-o", base, "--rate", "1"});
  EXPECT_EQ(noMeta.status, ExitOutput);
  EXPECT_EQ(noMeta.err, "Unable to write to " + base + ".sigmf-meta\n");
  EXPECT_TRUE(Files().empty());
}
