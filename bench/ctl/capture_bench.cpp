// Blocks per second that tarnwick-ctl capture records from the unpaced
// virtual board over a pty, beside the most that a plain reader gets from the
// same pty: the 8-byte request and the 4096-byte answer, nothing else. The
// two take turns, a recording of 2000 blocks each per iteration, so that on
// a shared machine both meet the same load. And the recording's peak memory,
// short and long.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "board/ptyboard.h"
#include "ctl/ctl.h"
#include "turns.h"

namespace {

using Clock = std::chrono::steady_clock;

// Its own open, raw mode, and blocking reads until each answer is in.
bool ReadPlainly(const std::string& port) {
  const int fd = open(port.c_str(), O_RDWR | O_NOCTTY);
  termios settings{};
  if (fd < 0 || tcgetattr(fd, &settings) != 0) return false;
  cfmakeraw(&settings);
  tcsetattr(fd, TCSANOW, &settings);
  const std::array<std::uint8_t, 8> request{0xFF, 0xFF, 0xFF, 0xFF, 0xBC, 0x00, 0x00, 0x00};
  std::array<std::uint8_t, 4096> block{};
  bool whole = true;
  for (int i = 0; i < BlocksPerTurn && whole; ++i) {
    [[maybe_unused]] const ssize_t sent = write(fd, request.data(), request.size());
    for (std::size_t received = 0; received < block.size() && whole;) {
      const ssize_t count = read(fd, block.data() + received, block.size() - received);
      whole = count > 0;
      received += static_cast<std::size_t>(count);
    }
  }
  close(fd);
  return whole;
}

void BM_Recording(benchmark::State& state, const char* format) {
  PtyBoard board;
  RecordInTurns(state, board.PortPath(), format, [&] { return ReadPlainly(board.PortPath()); });
}

// Peak resident memory in kB of tarnwick-ctl recording `blocks` blocks as
// SigMF, run as a program of its own so that the board's memory is not
// counted; -1 when the recording failed.
long PeakKilobytes(const std::string& port, const std::string& base, int blocks) {
  const std::string count = std::to_string(blocks);
  const pid_t child = fork();
  if (child == 0) {
    execl(TARNWICK_CTL, TARNWICK_CTL, "--port", port.c_str(), "capture", "-n", count.c_str(),
          "-o", base.c_str(), "--rate", "1", static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (child < 0 || wait4(child, &status, 0, &usage) != child || status != 0) return -1;
  return usage.ru_maxrss;
}

// The recording's memory stays flat however many blocks it holds: the
// metadata goes to disk as the blocks come.
void BM_RecordingMemory(benchmark::State& state) {
  PtyBoard board;
  const auto folder = std::filesystem::temp_directory_path() /
                      ("tarnwick-ctl-memory-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  const std::string base = (folder / "rec").string();
  long shortPeak = 0, longPeak = 0;
  for (auto _ : state) {
    shortPeak = PeakKilobytes(board.PortPath(), base, 1000);
    longPeak = PeakKilobytes(board.PortPath(), base, 100000);
    if (shortPeak < 0 || longPeak < 0) state.SkipWithError("a recording failed");
  }
  std::filesystem::remove_all(folder);
  state.counters["peak_kB_1000_blocks"] = static_cast<double>(shortPeak);
  state.counters["peak_kB_100000_blocks"] = static_cast<double>(longPeak);
}

// Several turns each: one alone says little on a shared machine.
BENCHMARK_CAPTURE(BM_Recording, sigmf, "sigmf")
    ->UseManualTime()->MinTime(5)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Recording, raw, "raw")
    ->UseManualTime()->MinTime(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RecordingMemory)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
