// Sample decoding and the display of every mode: blocks of any bytes, any
// flags and any sample rate (zero, negative, NaN, infinite, huge, tiny), one
// after another as a run gives them. Every point handed to the chart is
// finite; the time graphs and the constellation show the block's samples,
// big-endian signed 16-bit; a spectrum lies between the floor of an empty
// bin and the level of a full-scale tone.
//
// Input: records of a byte of flags, the rate as the 8 bytes of a double and
// a block of 4096 bytes; what the input lacks reads as zero.
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#include "capture/display.h"
#include "capture/history.h"
#include "fuzz_support.h"

namespace {

// In dB: an empty bin shows -200; 16-bit samples can reach no more than a
// full-scale complex tone, about 120. The physical axis is 80 dB lower.
constexpr double Floor = -200 - 80, Ceiling = 121;

struct Record {
  DisplaySettings settings;
  std::array<std::uint8_t, BlockBytes> block{};
};

// Takes the next record off the input; what is missing is zero.
Record NextRecord(std::span<const std::uint8_t>& input) {
  Record record;
  std::array<std::uint8_t, 1 + sizeof(double) + BlockBytes> bytes{};
  const std::size_t taken = std::min(bytes.size(), input.size());
  std::memcpy(bytes.data(), input.data(), taken);
  input = input.subspan(taken);

  DisplaySettings& s = record.settings;
  const std::uint8_t flags = bytes[0];
  s.QamMode = flags & 1, s.Spectrum = flags & 2, s.Average = flags & 4, s.Graph1 = flags & 8,
  s.Graph2 = flags & 16, s.RealAxis = flags & 32, s.ComplexFft = flags & 64;
  std::memcpy(&s.FreqMHz, &bytes[1], sizeof(double));
  std::memcpy(record.block.data(), &bytes[1 + sizeof(double)], BlockBytes);
  return record;
}

double Sample(const std::array<std::uint8_t, BlockBytes>& block, int k, int offset) {
  return static_cast<std::int16_t>(block[4 * k + offset] << 8 | block[4 * k + offset + 1]);
}

void CheckPoints(const Record& record, const DisplayPoints& points) {
  for (const auto* graph : {&points.graph1, &points.graph2, &points.constellation})
    for (const DisplayPoint& p : *graph) Require(std::isfinite(p.x) && std::isfinite(p.y), "every point is finite");

  const DisplaySettings& s = record.settings;
  if (s.QamMode) {
    for (int k = 0; k < BlockLength; ++k)
      Require(points.constellation[k].x == Sample(record.block, k, 0) &&
                  points.constellation[k].y == Sample(record.block, k, 2),
              "the constellation shows the block's samples");
  } else if (s.Spectrum) {
    for (const auto* graph : {&points.graph1, &points.graph2})
      for (const DisplayPoint& p : *graph) Require(p.y >= Floor && p.y <= Ceiling, "a spectrum stays in range");
  } else {
    for (int k = 0; k < static_cast<int>(points.graph1.size()); ++k)
      Require(points.graph1[k].y == Sample(record.block, k, 0), "graph 1 shows the block's I samples");
    for (int k = 0; k < static_cast<int>(points.graph2.size()); ++k)
      Require(points.graph2[k].y == Sample(record.block, k, 2), "graph 2 shows the block's Q samples");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Every input starts as the program does: an empty history.
  SampleHistory history;
  SmoothedSpectrum smoothed;
  DisplayPoints points;
  for (std::span<const std::uint8_t> input(data, size); !input.empty();) {
    const Record record = NextRecord(input);
    if (record.settings.Average) history.Shift();
    history.Decode(record.block);
    ComputeDisplay(record.settings, history, smoothed, points);
    CheckPoints(record, points);
  }
  return 0;
}
