// The board behind Debian's ser2net over loopback, as RFC 2217 (Telnet) and as
// raw bytes. BM_BlockRoundTrip: one capture request and its 4096-byte answer
// through the link (what tarnwick-ctl capture does per block), its median
// with ser2net's low-latency settings and with its defaults. BM_Recording:
// tarnwick-ctl capture in blocks per second beside the most that a plain
// socket loop gets through the same server; the two take turns, as in
// capture_bench, so that on a shared machine both meet the same load.
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "board/ptyboard.h"
#include "capture/captureblock.h"
#include "ctl/ctl.h"
#include "link/comport.h"
#include "link/telnet.h"
#include "ser2net.h"
#include "turns.h"

namespace {

constexpr std::array<std::uint8_t, 8> CaptureRequest{0xFF, 0xFF, 0xFF, 0xFF,
                                                      0xBC, 0x00, 0x00, 0x00};

using Clock = std::chrono::steady_clock;

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::ranges::nth_element(values, values.begin() + values.size() / 2);
  return values[values.size() / 2];
}

void BM_BlockRoundTrip(benchmark::State& state, Ser2netMode mode, bool lowLatency) {
  PtyBoard board;
  Ser2net server(board.PortPath(), mode, lowLatency);
  TComPort port;
  port.PortName = server.PortName();
  if (!port.Open()) {
    state.SkipWithError(port.FaultText().c_str());
    return;
  }
  std::array<std::uint8_t, BlockBytes> block{};
  const auto toTheEnd = [](int) { return true; };
  std::vector<double> seconds;
  for (auto _ : state) {
    const auto start = Clock::now();
    // As tarnwick-ctl capture asks: no watching the line after the block.
    if (FetchBlock(port, block, Clock::now, std::chrono::milliseconds(0), toTheEnd) !=
        BlockResult::Whole) {
      state.SkipWithError("a block did not come whole");
      break;
    }
    seconds.push_back(SecondsSince(start));
  }
  port.Close();
  state.counters["median_ms"] = Median(seconds) * 1e3;
}

// The request, then reads until the 4096 data bytes of the answer are in,
// BlocksPerTurn times; false if the server ended the connection or an answer
// was over-long.
bool ReadPlainly(std::uint16_t serverPort, Ser2netMode mode) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(serverPort);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const int on = 1;
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  if (fd < 0 || connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    if (fd >= 0) close(fd);
    return false;
  }
  // Telnet's data bytes 0xFF go doubled, and the server's option talk is
  // no data; nothing is answered: the server sends the data regardless.
  const bool telnet = mode == Ser2netMode::Rfc2217;
  std::vector<std::uint8_t> request;
  if (telnet) telnet::AppendEscaped(request, CaptureRequest.data(), CaptureRequest.size());
  else request.assign(CaptureRequest.begin(), CaptureRequest.end());
  telnet::Parser parser;
  std::vector<std::uint8_t> data;
  std::vector<telnet::Command> commands;
  std::array<std::uint8_t, 65536> buffer{};
  bool whole = true;
  for (int i = 0; i < BlocksPerTurn && whole; ++i) {
    whole = send(fd, request.data(), request.size(), 0) == static_cast<ssize_t>(request.size());
    std::size_t received = 0;
    while (whole && received < BlockBytes) {
      const ssize_t count = recv(fd, buffer.data(), buffer.size(), 0);
      whole = count > 0;
      if (whole && telnet) {
        data.clear();
        commands.clear();
        parser.Feed(buffer.data(), static_cast<std::size_t>(count), data, commands);
        received += data.size();
      } else if (whole) {
        received += static_cast<std::size_t>(count);
      }
    }
    whole = whole && received == BlockBytes;
  }
  close(fd);
  return whole;
}

void BM_Recording(benchmark::State& state, Ser2netMode mode) {
  PtyBoard board;
  Ser2net server(board.PortPath(), mode);
  RecordInTurns(state, server.PortName(), "raw", [&] { return ReadPlainly(server.Port(), mode); });
}

// Run for 2 s of the clock, not of this process's CPU, which is a fraction:
// most of a round trip is spent waiting for the server.
BENCHMARK_CAPTURE(BM_BlockRoundTrip, rfc2217_low_latency, Ser2netMode::Rfc2217, true)
    ->UseRealTime()->MinTime(2)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_BlockRoundTrip, raw_low_latency, Ser2netMode::Raw, true)
    ->UseRealTime()->MinTime(2)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_BlockRoundTrip, rfc2217_defaults, Ser2netMode::Rfc2217, false)
    ->UseRealTime()->MinTime(2)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_BlockRoundTrip, raw_defaults, Ser2netMode::Raw, false)
    ->UseRealTime()->MinTime(2)->Unit(benchmark::kMicrosecond);
// Several turns each: one alone says little on a shared machine.
BENCHMARK_CAPTURE(BM_Recording, rfc2217, Ser2netMode::Rfc2217)
    ->UseManualTime()->MinTime(5)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Recording, raw, Ser2netMode::Raw)
    ->UseManualTime()->MinTime(5)->Unit(benchmark::kMillisecond);

}  // namespace
