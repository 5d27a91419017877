#pragma once
// tarnwick-ctl run in the test's process against the virtual board, through
// a real pty.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "board/ptyboard.h"
#include "ctl/ctl.h"

#include "test_support.h"

namespace fs = std::filesystem;

struct Result {
  int status;
  std::string out, err;
};

class Ctl : public ::testing::Test {
 protected:
  // The board's signal is set once: SetOptions leaves it as it was.
  explicit Ctl(const BoardOptions& options = {}) : board(options) {}

  // The command on `port`.
  Result Run(std::vector<std::string> arguments,
             const CaptureClock& clock = std::chrono::steady_clock::now) {
    arguments.insert(arguments.begin(), {"--port", port});
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
  // The board's pty, unless a test reaches the board another way.
  std::string port = board.PortPath();
};

// The first `count` capture answers of a fresh board, from a board core of
// its own.
inline Bytes BoardBlocks(int count) {
  BoardCore core;
  const auto now = BoardCore::Clock::now();
  const Bytes request = ShortFrame(0xBC, 0x00);
  for (int i = 0; i < count; ++i) core.Receive(request, now);
  return core.Poll(now);
}

inline Bytes FileBytes(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

// With a folder of its own for the files a command writes.
class CtlFiles : public Ctl {
 protected:
  using Ctl::Ctl;

  void SetUp() override {
    fs::remove_all(folder);
    fs::create_directories(folder);
  }
  void TearDown() override { fs::remove_all(folder); }

  // The meta file beside the data, checked against it: one capture per
  // block of the data file, 1024 samples apart; no temporary file is left.
  nlohmann::json CheckedMeta() {
    const auto meta = nlohmann::json::parse(std::ifstream(base + ".sigmf-meta"));
    const auto blocks = fs::file_size(base + ".sigmf-data") / 4096;
    EXPECT_EQ(meta["captures"].size(), blocks);
    for (std::size_t i = 0; i < meta["captures"].size(); ++i)
      EXPECT_EQ(meta["captures"][i]["core:sample_start"], i * 1024);
    for (const std::string& name : Files()) EXPECT_FALSE(name.ends_with(".recording")) << name;
    return meta;
  }

  std::set<std::string> Files() const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
      names.insert(entry.path().filename().string());
    return names;
  }

  const fs::path folder = fs::temp_directory_path() / ("tarnwick-ctl-" + std::to_string(getpid()));
  const std::string base = (folder / "rec").string();
};
