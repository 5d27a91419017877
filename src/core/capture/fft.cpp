#include "capture/fft.h"

#include <array>
#include <bit>
#include <cmath>
#include <utility>
#include <vector>

namespace {

constexpr std::int32_t MaxLength = 1024;
constexpr int MaxStages = 10;  // log2 of the longest length
constexpr double TwoPi = 6.283185307179586;

struct Twiddle {
  long double cos, sin;
};

// Sines and cosines cost far more than the butterflies, so they are worked
// out once for every length served; a transform only reads them.
struct Tables {
  std::vector<Twiddle> twiddle;     // n + 1 turns of 2π/n
  std::vector<long double> window;  // n weights
};

Tables BuildTables(std::int32_t n) {
  Tables tables;
  // The angles are formed in double precision; the sine and cosine of each
  // are taken in extended precision.
  const double step = TwoPi / n;
  for (std::int32_t i = 0; i <= n; ++i) {
    const long double angle = i * step;
    tables.twiddle.push_back({std::cos(angle), std::sin(angle)});
  }
  // A Hann window over n + 2 points whose zeros fall at i = −1 and i = n, just
  // outside the block: no sample is thrown away by a weight of 0.
  for (std::int32_t i = 0; i < n; ++i) {
    const long double angle = TwoPi * (i + 1) / (n + 1);
    tables.window.push_back(0.5L * (1 - std::cos(angle)));
  }
  return tables;
}

// The tables of length 2^stages, for 1 to 10 stages.
const Tables& TablesOf(int stages) {
  static const auto all = [] {
    std::array<Tables, MaxStages + 1> tables;
    for (int s = 1; s <= MaxStages; ++s) tables[s] = BuildTables(1 << s);
    return tables;
  }();
  return all[stages];
}

bool IsServedLength(std::int32_t length) {
  return length >= 2 && length <= MaxLength && std::has_single_bit(static_cast<unsigned>(length));
}

// The imaginary part enters with its sign inverted: the butterflies turn by
// e^(+iθ), and the conjugated input makes the result the conjugate of the
// forward transform, with positive frequencies in the lower bins.
void LoadWindowed(const Tables& tables, std::int32_t n, bool complex, const long double* inRe,
                  const long double* inIm, long double* re, long double* im) {
  for (std::int32_t j = 0; j < n; ++j) {
    re[j] = inRe[j] * tables.window[j];
    im[j] = complex ? -inIm[j] * tables.window[j] : 0;
  }
}

// Decimation in frequency: each stage halves the span and turns the lower
// difference of every pair by the twiddle of its place in the group.
void RunButterflies(const Tables& tables, std::int32_t n, int stages, long double* re,
                    long double* im) {
  for (int s = 0; s < stages; ++s) {
    const std::int32_t span = n >> s, half = span / 2, twiddleStride = 1 << s;
    for (std::int32_t begin = 0; begin < n; begin += span) {
      for (std::int32_t k = begin; k < begin + half; ++k) {
        const std::int32_t k2 = k + half;
        // Read each pair once: for all the compiler knows the two arrays
        // overlap, and it would load them again after every store.
        const long double ar = re[k], ai = im[k], br = re[k2], bi = im[k2];
        const long double dr = ar - br, di = ai - bi;
        re[k] = ar + br;
        im[k] = ai + bi;
        const Twiddle t = tables.twiddle[(k - begin) * twiddleStride];
        re[k2] = dr * t.cos - di * t.sin;
        im[k2] = dr * t.sin + di * t.cos;
      }
    }
  }
}

std::int32_t ReverseBits(std::int32_t k, int bits) {
  std::int32_t reversed = 0;
  for (int b = 0; b < bits; ++b, k >>= 1) reversed = (reversed << 1) | (k & 1);
  return reversed;
}

// The butterflies leave bin k at the bit-reversed place of k.
void ReorderBitReversed(std::int32_t n, int stages, long double* re, long double* im) {
  for (std::int32_t k = 0; k < n; ++k) {
    const std::int32_t r = ReverseBits(k, stages);
    if (r > k) {
      std::swap(re[k], re[r]);
      std::swap(im[k], im[r]);
    }
  }
}

}  // namespace

std::int32_t Fft(std::int32_t length, FftMode mode, std::span<const long double> inRe,
                 std::span<const long double> inIm, std::span<long double> outRe,
                 std::span<long double> outIm) {
  const bool complex = mode == FftMode::Complex;
  const auto n = static_cast<std::size_t>(length);
  if (!IsServedLength(length) || inRe.size() < n || (complex && inIm.size() < n) ||
      outRe.size() < n || outIm.size() < n)
    return 0;

  const int stages = std::countr_zero(static_cast<unsigned>(length));
  const Tables& tables = TablesOf(stages);
  LoadWindowed(tables, length, complex, inRe.data(), inIm.data(), outRe.data(), outIm.data());
  RunButterflies(tables, length, stages, outRe.data(), outIm.data());
  ReorderBitReversed(length, stages, outRe.data(), outIm.data());
  return complex ? length : length / 2;
}

long double MagnitudeDb(long double re, long double im) {
  return 20 * std::log10(std::sqrt(re * re + im * im) + 1e-10L);
}
