// tarnwick-ctl against the virtual board, through a real pty.
#include "ctl/ctl.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QImage>
#include <chrono>
#include <cmath>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <numbers>
#include <sstream>
#include <thread>

#include "board/ptyboard.h"
#include "link/comport.h"
#include "timelapse.h"

#include "test_support.h"

namespace {

namespace fs = std::filesystem;

struct Result {
  int status;
  std::string out, err;
};

class Ctl : public ::testing::Test {
 protected:
  // The command on the board's port.
  Result Run(std::vector<std::string> arguments,
             const CaptureClock& clock = std::chrono::steady_clock::now) {
    arguments.insert(arguments.begin(), {"--port", board.PortPath()});
    std::ostringstream out, err;
    const int status = RunCtl(arguments, out, err, clock);
    return {status, out.str(), err.str()};
  }

  // The bytes the board has received since the last call, once there are
  // `expected` of them (the board's thread reads them in its own time), or
  // after a second.
  Bytes Received(std::size_t expected = 0) {
    WaitFor([&] { return board.Received().size() >= expected; });
    const Bytes bytes = board.Received();
    board.ClearReceived();
    return bytes;
  }

  PtyBoard board;
};

// The first `count` capture answers of a fresh board, from a board core of
// its own.
Bytes BoardBlocks(int count) {
  BoardCore core;
  const auto now = BoardCore::Clock::now();
  const Bytes request = ShortFrame(0xBC, 0x00);
  for (int i = 0; i < count; ++i) core.Receive(request, now);
  return core.Poll(now);
}

Bytes FileBytes(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

// With a folder of its own for the files a command writes.
class CtlFiles : public Ctl {
 protected:
  void SetUp() override {
    fs::remove_all(folder);
    fs::create_directories(folder);
  }
  void TearDown() override { fs::remove_all(folder); }

  // The meta file beside the data, checked against it: one capture per
  // block of the data file, 1024 samples apart.
  nlohmann::json CheckedMeta() {
    const auto meta = nlohmann::json::parse(std::ifstream(base + ".sigmf-meta"));
    const auto blocks = fs::file_size(base + ".sigmf-data") / 4096;
    EXPECT_EQ(meta["captures"].size(), blocks);
    for (std::size_t i = 0; i < meta["captures"].size(); ++i)
      EXPECT_EQ(meta["captures"][i]["core:sample_start"], i * 1024);
    return meta;
  }

  const fs::path folder = fs::temp_directory_path() / ("tarnwick-ctl-" + std::to_string(getpid()));
  const std::string base = (folder / "rec").string();
};

}  // namespace

TEST_F(Ctl, ReadsAndWritesWithThePanelsFramesAndTexts) {
  EXPECT_EQ(Run({"write", "64", "0x12"}).status, ExitSuccess);
  EXPECT_EQ(Received(8), ShortFrame(0x47, 0x40, 0x12));

  const Result wide = Run({"write", "500", "$FFFFFFFE"});
  EXPECT_EQ(wide.status, ExitSuccess);
  EXPECT_EQ(wide.out + wide.err, "");
  EXPECT_EQ(Received(20), LongFrame(0x47, 5, 0xFFFFFFFE));

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

TEST_F(CtlFiles, RecordsTheBlocksAsTheBoardSentThem) {
  const std::string layout = (folder / "tarnwick.ini").string();
  std::ofstream(layout) << "[CHART]\nFREQ=122.88\n";
  const Result sigmf = Run({"--layout", layout, "capture", "-n", "3", "-o", base});
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

  const Result raw = Run({"capture", "-o", base, "--format", "raw", "--json"});
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
  EXPECT_EQ(result.err, "Timeout\n");
  EXPECT_EQ(result.out, "{\"blocks\":2,\"bytes\":8192,\"data\":\"" + base +
                            ".sigmf-data\",\"meta\":\"" + base + ".sigmf-meta\"}\n");
  EXPECT_EQ(FileBytes(base + ".sigmf-data"), BoardBlocks(2));
  CheckedMeta();
}

// Ctrl+C, a kill, a closed terminal: the recording ends between two blocks
// and its metadata describes the blocks kept.
TEST_F(CtlFiles, ASignalEndsTheRecordingAndKeepsTheWholeBlocksDescribed) {
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    fs::remove(base + ".sigmf-data");  // the signal waits for this recording's blocks
    std::thread sender([&] {
      WaitFor(
          [&] {
            std::error_code error;
            return fs::file_size(base + ".sigmf-data", error) >= 2 * 4096 && !error;
          },
          std::chrono::seconds(5));
      kill(getpid(), signal);
    });
    const Result result = Run({"capture", "-n", "1000000", "-o", base});
    sender.join();
    EXPECT_EQ(result.status, ExitSignal + signal) << signal;
    EXPECT_EQ(result.err, "") << signal;
    EXPECT_EQ(fs::file_size(base + ".sigmf-data") % 4096, 0u) << signal;
    CheckedMeta();
  }
}

namespace {

// Pixels in graph 1's colour: the chart draws them nowhere else.
int RedPixels(const QImage& image) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) count += image.pixel(x, y) == qRgb(255, 0, 0);
  return count;
}

}  // namespace

TEST_F(CtlFiles, PlotDrawsARecordingOrABlockFromTheBoardIntoAPng) {
  const std::string png = (folder / "tone.png").string();
  {  // I a tone of 64 cycles, Q silent: each word big-endian I then Q
    std::ofstream data(base + ".sigmf-data", std::ios::binary);
    for (int k = 0; k < 1024; ++k) {
      const auto i = static_cast<std::int16_t>(std::lround(8000 * std::cos(2 * std::numbers::pi * 64 * k / 1024)));
      data << char(i >> 8) << char(i & 0xFF) << '\0' << '\0';
    }
  }
  const std::string layout = (folder / "absent.ini").string();
  const Result recording = Run({"--layout", layout, "--json", "plot", "-o", png, "--size", "640x360", base});
  EXPECT_EQ(recording.status, ExitSuccess) << recording.err;
  EXPECT_EQ(recording.out, "{\"png\":\"" + png + "\",\"width\":640,\"height\":360}\n");
  const QImage tone(QString::fromStdString(png));
  EXPECT_EQ(tone.size(), QSize(640, 360));
  EXPECT_GT(RedPixels(tone), 500);

  const Result fetched = Run({"--layout", layout, "plot", "-o", png, "--mode", "constellation"});
  EXPECT_EQ(fetched.status, ExitSuccess) << fetched.err;
  EXPECT_EQ(fetched.out, "");
  const QImage board(QString::fromStdString(png));
  EXPECT_EQ(board.size(), QSize(1600, 900));
  EXPECT_GT(RedPixels(board), 500);

  const Result missing = Run({"plot", "-o", png, base + ".bin"});
  EXPECT_EQ(missing.status, ExitUsage);
  EXPECT_NE(missing.err.find(base + ".bin"), std::string::npos);
}
