#pragma once
// The signal a capture returns: one complex tone (I = A·cos, Q = A·sin, so the
// spectrum shows a single line) with a little noise, its phase running on from
// block to block as a real receiver's would. Harmonics and spurs, complex
// tones as well, give a converter's measurements a known truth.
#include <cstdint>
#include <random>
#include <vector>

inline constexpr int SamplesPerBlock = 1024;

// Levels are relative to the tone, in dB (dBc): −60 is a thousandth of its amplitude.
struct Harmonic {
  int order = 2;  // at order × the tone's frequency
  double dbc = -60.0;
};
struct Spur {
  double cyclesPerBlock = 0.0;
  double dbc = -60.0;
};

struct SignalOptions {
  double cyclesPerBlock = 37.0;  // tone frequency, in cycles per 1024 samples
  double amplitude = 8000.0;     // peak value of I and Q, in counts
  double noise = 30.0;           // standard deviation of the noise, in counts
  std::vector<Harmonic> harmonics{};
  std::vector<Spur> spurs{};
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
  struct Tone {
    double cyclesPerBlock;
    double amplitude;
    double phase = 0.0;  // in cycles, kept within [0, 1) so precision never drifts
  };

  std::int16_t Quantize(double value);

  std::vector<Tone> tones_;  // the tone first, then its harmonics and the spurs
  double noise_;
  std::mt19937 random_{2024};  // a fixed seed: runs repeat exactly
  std::normal_distribution<double> standardNormal_{0.0, 1.0};
};
