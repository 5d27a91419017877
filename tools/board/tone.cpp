#include "board/tone.h"

#include <algorithm>
#include <cmath>
#include <numbers>

ToneGenerator::ToneGenerator(const SignalOptions& options)
    : tones_{{options.cyclesPerBlock, options.amplitude}}, noise_(options.noise) {
  auto amplitudeAt = [&](double dbc) { return options.amplitude * std::pow(10.0, dbc / 20.0); };
  for (const Harmonic& h : options.harmonics) {
    tones_.push_back({h.order * options.cyclesPerBlock, amplitudeAt(h.dbc)});
  }
  for (const Spur& s : options.spurs) tones_.push_back({s.cyclesPerBlock, amplitudeAt(s.dbc)});
}

IqSample ToneGenerator::Next() {
  double i = 0.0, q = 0.0;
  for (Tone& tone : tones_) {
    const double angle = 2.0 * std::numbers::pi * tone.phase;
    i += tone.amplitude * std::cos(angle);
    q += tone.amplitude * std::sin(angle);
    tone.phase += tone.cyclesPerBlock / SamplesPerBlock;
    tone.phase -= std::floor(tone.phase);
  }
  return {Quantize(i), Quantize(q)};
}

std::int16_t ToneGenerator::Quantize(double value) {
  const double noisy = value + noise_ * standardNormal_(random_);
  return static_cast<std::int16_t>(std::clamp(std::round(noisy), -32768.0, 32767.0));
}
