#pragma once
// The metadata of a recording in SigMF 1.0.0, written as the recording goes:
// its head, one capture per block, its tail. The data file beside it holds
// the capture blocks exactly as the board sent them: 1024 samples each, I
// then Q, signed 16-bit big-endian, which SigMF names "ci16_be".
#include <chrono>
#include <cstdint>
#include <string>

struct SigmfGlobal {
  double sampleRate = 0;  // Hz
  std::string hardware;
};

// Everything before the first capture.
std::string SigmfHead(const SigmfGlobal& global);
// The capture of block `index` (from 0). Blocks follow one another in the
// data file but not in time, so each is a capture segment with its own time:
// when its request went out, the closest known time of its first sample.
std::string SigmfCapture(std::int64_t index, std::chrono::system_clock::time_point requested);
// Closes the captures and the metadata.
std::string SigmfTail();
