#include "board/tone.h"

#include <algorithm>
#include <cmath>
#include <numbers>

ToneGenerator::ToneGenerator(const SignalOptions& options) : options_(options) {}

IqSample ToneGenerator::Next() {
  const double angle = 2.0 * std::numbers::pi * phase_;
  const IqSample sample{Quantize(options_.amplitude * std::cos(angle)),
                        Quantize(options_.amplitude * std::sin(angle))};
  phase_ += options_.cyclesPerBlock / SamplesPerBlock;
  phase_ -= std::floor(phase_);
  return sample;
}

std::int16_t ToneGenerator::Quantize(double value) {
  const double noisy = value + options_.noise * standardNormal_(random_);
  return static_cast<std::int16_t>(std::clamp(std::round(noisy), -32768.0, 32767.0));
}
