#pragma once
// The signal a capture returns: one complex tone (I = A·cos, Q = A·sin, so the
// spectrum shows a single line) with a little noise, its phase running on from
// block to block as a real receiver's would.
#include <cstdint>
#include <random>

inline constexpr int SamplesPerBlock = 1024;

struct SignalOptions {
  double cyclesPerBlock = 37.0;  // tone frequency, in cycles per 1024 samples
  double amplitude = 8000.0;     // peak value of I and Q, in counts
  double noise = 30.0;           // standard deviation of the noise, in counts
};

struct IqSample {
  std::int16_t i = 0;
  std::int16_t q = 0;
};

class ToneGenerator {
 public:
  explicit ToneGenerator(const SignalOptions& options);

  IqSample Next();

 private:
  std::int16_t Quantize(double value);

  SignalOptions options_;
  double phase_ = 0.0;  // in cycles, kept within [0, 1) so precision never drifts
  std::mt19937 random_{2024};  // a fixed seed: runs repeat exactly
  std::normal_distribution<double> standardNormal_{0.0, 1.0};
};
