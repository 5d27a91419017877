#pragma once
// tarnwick-ctl capture beside a plain reader of the same port: the two take
// turns, a recording of BlocksPerTurn blocks each per iteration, so that on
// a shared machine both meet the same load.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "ctl/ctl.h"

inline constexpr int BlocksPerTurn = 2000;

inline double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// readPlainly: BlocksPerTurn requests and answers on the port, false on a
// failure. Sets the counters reader_blocks_per_second, ctl_blocks_per_second
// and ctl_share_of_reader.
inline void RecordInTurns(benchmark::State& state, const std::string& port,
                          const std::string& format, const std::function<bool()>& readPlainly) {
  using Clock = std::chrono::steady_clock;
  const auto folder = std::filesystem::temp_directory_path() /
                      ("tarnwick-ctl-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  const std::vector<std::string> capture{"--port", port, "capture", "-n",
                                         std::to_string(BlocksPerTurn), "-o",
                                         (folder / "rec").string(), "--format", format};
  double readerSeconds = 0, ctlSeconds = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    if (!readPlainly()) state.SkipWithError("the plain reader failed");
    const double reader = SecondsSince(start);
    std::ostringstream out, err;
    const auto ctlStart = Clock::now();
    if (RunCtl(capture, out, err) != ExitSuccess) state.SkipWithError(err.str().c_str());
    const double ctl = SecondsSince(ctlStart);
    if (state.error_occurred()) break;
    // Each recording goes to new files, as in use: not into the last one's.
    for (const auto& file : std::filesystem::directory_iterator(folder))
      std::filesystem::remove(file);
    readerSeconds += reader;
    ctlSeconds += ctl;
    state.SetIterationTime(reader + ctl);
  }
  std::filesystem::remove_all(folder);
  const double blocks = static_cast<double>(state.iterations()) * BlocksPerTurn;
  state.counters["reader_blocks_per_second"] = blocks / readerSeconds;
  state.counters["ctl_blocks_per_second"] = blocks / ctlSeconds;
  state.counters["ctl_share_of_reader"] = readerSeconds / ctlSeconds;
}
