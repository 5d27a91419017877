// tarnwick-ctl against the virtual board, through a real pty.
#include "ctl/ctl.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <sstream>
#include <thread>

#include "board/ptyboard.h"
#include "link/comport.h"

namespace {

namespace fs = std::filesystem;
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

  // The bytes the board has received since the last call.
  Bytes Received() {
    const Bytes bytes = board.Received();
    board.ClearReceived();
    return bytes;
  }

  // The board reads on a thread of its own: the bytes a command wrote may
  // still be on their way when it returns, so they get a second to arrive.
  void ExpectReceived(const Bytes& expected) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    while (board.Received().size() < expected.size() && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(Received(), expected);
  }

  PtyBoard board;
};

// The first `count` capture answers of a fresh board, from a board core of
// its own.
Bytes BoardBlocks(int count) {
  BoardCore core;
  const auto now = BoardCore::Clock::now();
  const Bytes request{0xFF, 0xFF, 0xFF, 0xFF, 0xBC, 0x00, 0x00, 0x00};
  for (int i = 0; i < count; ++i) core.Receive(request, now);
  return core.Poll(now);
}

Bytes FileBytes(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

class CtlCapture : public Ctl {
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
  ExpectReceived({0xFF, 0xFF, 0xFF, 0xFF, 0x47, 0x40, 0x12, 0x00});

  const Result wide = Run({"write", "500", "$FFFFFFFE"});
  EXPECT_EQ(wide.status, ExitSuccess);
  EXPECT_EQ(wide.out + wide.err, "");
  ExpectReceived({0xFF, 0xFF, 0xFF, 0xFF, 0x47, 5, 0xFF, 0, 0x47, 6, 0xFF, 0,
                  0x47, 7, 0xFF, 0, 0x47, 8, 0xFE, 0});

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

TEST_F(CtlCapture, RecordsTheBlocksAsTheBoardSentThem) {
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

TEST_F(CtlCapture, AShortBlockEndsTheRecordingAndKeepsTheWholeOnes) {
  BoardOptions shortFromTheThird;
  shortFromTheThird.wholeCaptures = 2;
  shortFromTheThird.captureBytes = 4095;
  board.SetOptions(shortFromTheThird);
  const Result result = Run({"capture", "-n", "5", "-o", base, "--json"});
  EXPECT_EQ(result.status, ExitAnswer);
  EXPECT_EQ(result.err, "Timeout\n");
  EXPECT_EQ(result.out, "{\"blocks\":2,\"bytes\":8192,\"data\":\"" + base +
                            ".sigmf-data\",\"meta\":\"" + base + ".sigmf-meta\"}\n");
  EXPECT_EQ(FileBytes(base + ".sigmf-data"), BoardBlocks(2));
  CheckedMeta();
}
