#include "capture/measurement.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <complex>
#include <numbers>
#include <stdexcept>
#include <vector>

namespace {

constexpr int N = BlockLength;
constexpr int ZoneReach = 4;
constexpr int FirstHarmonic = 2;
constexpr int LastHarmonic = 5;
constexpr double FullScale = 32768.0 * 32768.0;

// Owners of the bins; a harmonic's zone is its order.
constexpr int NoiseZone = -1;
constexpr int DcZone = 0;
constexpr int FundamentalZone = 1;

using Complex = std::complex<double>;
using Channel = std::span<const std::int32_t>;

// The window and a radix-2 transform of N points. Their sines and cosines
// cost more than the butterflies, so they are worked out once.
class WindowedTransform {
 public:
  WindowedTransform() {
    double sumOfSquares = 0.0;
    for (int n = 0; n < N; ++n) {
      const double a = 2.0 * std::numbers::pi * n / N;
      window_[n] = 0.35875 - 0.48829 * std::cos(a) + 0.14128 * std::cos(2 * a) -
                   0.01168 * std::cos(3 * a);
      sumOfSquares += window_[n] * window_[n];
    }
    scale_ = 1.0 / (N * sumOfSquares);
    for (int k = 0; k < N / 2; ++k) twiddle_[k] = std::polar(1.0, -2.0 * std::numbers::pi * k / N);
    for (int n = 0, bits = std::countr_zero(unsigned{N}); n < N; ++n) {
      int reversed = 0;
      for (int b = 0; b < bits; ++b) reversed |= (n >> b & 1) << (bits - 1 - b);
      reversed_[n] = reversed;
    }
  }

  // Adds P[k] of one block of re + j·im, bins 0..N−1, to `power`; an empty
  // `im` is a real block.
  void AddPower(Channel re, Channel im, std::span<double, N> power) const {
    std::array<Complex, N> x;
    for (int n = 0; n < N; ++n) {
      x[reversed_[n]] = Complex(re[n] * window_[n], im.empty() ? 0.0 : im[n] * window_[n]);
    }
    for (int half = 1; half < N; half *= 2) {
      const int stride = N / (2 * half);
      for (int start = 0; start < N; start += 2 * half) {
        for (int j = 0; j < half; ++j) {
          // Written out: std::complex's product checks for infinities at a cost.
          const Complex w = twiddle_[j * stride];
          const Complex b = x[start + j + half];
          const Complex t(b.real() * w.real() - b.imag() * w.imag(),
                          b.real() * w.imag() + b.imag() * w.real());
          x[start + j + half] = x[start + j] - t;
          x[start + j] += t;
        }
      }
    }
    for (int k = 0; k < N; ++k) power[k] += std::norm(x[k]) * scale_;
  }

 private:
  std::array<double, N> window_;
  std::array<Complex, N / 2> twiddle_;
  std::array<int, N> reversed_;
  double scale_;
};

// The mean P over the blocks: bins 0..N−1 of I + jQ, or the one-sided bins
// 0..N/2 of one channel.
std::vector<double> MeanPower(Channel i, Channel q, MeasureSource source) {
  static const WindowedTransform transform;
  const bool complex = source == MeasureSource::Iq;
  const Channel re = source == MeasureSource::Q ? q : i;
  std::array<double, N> sum{};
  for (std::size_t start = 0; start < re.size(); start += N) {
    transform.AddPower(re.subspan(start, N), complex ? q.subspan(start, N) : Channel{}, sum);
  }
  const int bins = complex ? N : N / 2 + 1;
  const double blocks = static_cast<double>(re.size() / N);
  std::vector<double> power(bins);
  for (int k = 0; k < bins; ++k) {
    const bool mirrored = !complex && k > 0 && k < N / 2;  // its negative twin adds as much
    power[k] = sum[k] / blocks * (mirrored ? 2.0 : 1.0);
  }
  return power;
}

// Gives the bins within ZoneReach of `centre` that no zone has yet to `zone`.
void Claim(std::vector<int>& owner, int centre, int zone, bool wraps) {
  const int bins = static_cast<int>(owner.size());
  for (int k = centre - ZoneReach; k <= centre + ZoneReach; ++k) {
    const int bin = wraps ? (k + N) % N : k;
    if (bin >= 0 && bin < bins && owner[bin] == NoiseZone) owner[bin] = zone;
  }
}

// The centre of harmonic h of bin k0, as it aliases.
int HarmonicBin(int h, int k0, bool complex) {
  const int bin = h * k0 % N;
  return !complex && bin > N / 2 ? N - bin : bin;
}

double Db(double ratio) { return 10.0 * std::log10(ratio); }

}  // namespace

Measurement Measure(Channel i, Channel q, MeasureSource source, double rateHz) {
  if (i.empty() || i.size() % N != 0 || q.size() != i.size()) {
    throw std::invalid_argument("measurement needs whole blocks of both channels");
  }
  const bool complex = source == MeasureSource::Iq;
  const std::vector<double> power = MeanPower(i, q, source);
  const int bins = static_cast<int>(power.size());

  std::vector<int> owner(bins, NoiseZone);
  Claim(owner, 0, DcZone, complex);
  int k0 = ZoneReach + 1;
  for (int k = 0; k < bins; ++k) {
    if (owner[k] != DcZone && power[k] > power[k0]) k0 = k;
  }
  Claim(owner, k0, FundamentalZone, complex);
  for (int h = FirstHarmonic; h <= LastHarmonic; ++h) Claim(owner, HarmonicBin(h, k0, complex), h, complex);

  std::array<double, LastHarmonic + 1> zonePower{};
  double noise = 0.0, largestSpur = 0.0;
  int noiseBins = 0, binsOutsideDc = 0;
  for (int k = 0; k < bins; ++k) {
    const int zone = owner[k];
    if (zone == NoiseZone) {
      noise += power[k];
      ++noiseBins;
    } else {
      zonePower[zone] += power[k];
    }
    binsOutsideDc += zone != DcZone;
    if (zone != DcZone && zone != FundamentalZone) largestSpur = std::max(largestSpur, power[k]);
  }

  const double fullScale = complex ? FullScale : FullScale / 2;
  const double pf = zonePower[FundamentalZone];
  const double pn = noise * binsOutsideDc / noiseBins;
  double harmonics = 0.0;
  for (int h = FirstHarmonic; h <= LastHarmonic; ++h) harmonics += zonePower[h];

  Measurement m;
  m.fundamentalBin = k0;
  m.fundamentalHz = (complex && k0 > N / 2 ? k0 - N : k0) * rateHz / N;
  m.fundamentalDbfs = Db(pf / fullScale);
  m.snrDb = Db(pf / pn);
  m.sinadDb = Db(pf / (pn + harmonics));
  m.sfdrDbc = Db(power[k0] / largestSpur);
  m.thdDbc = Db(harmonics / pf);
  m.enobBits = (m.sinadDb - 1.76) / 6.02;
  m.noiseFloorDbfs = Db(pn / binsOutsideDc / fullScale);
  for (int h = FirstHarmonic; h <= LastHarmonic; ++h) {
    m.harmonics[h - FirstHarmonic] = {h, HarmonicBin(h, k0, complex), Db(zonePower[h] / pf)};
  }
  return m;
}
