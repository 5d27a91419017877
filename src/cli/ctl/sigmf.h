#pragma once
// The metadata of a recording in SigMF 1.0.0. The data file beside it holds
// the capture blocks exactly as the board sent them: 1024 samples each, I
// then Q, signed 16-bit big-endian, which SigMF names "ci16_be".
#include <chrono>
#include <string>
#include <vector>

struct SigmfRecording {
  double sampleRate = 0;  // Hz
  std::string hardware;
  // One per block, in order. Blocks follow one another in the data file but
  // not in time, so each is a capture segment with its own arrival.
  std::vector<std::chrono::system_clock::time_point> arrivals;
};

// The text of the .sigmf-meta file.
std::string SigmfMeta(const SigmfRecording& recording);
