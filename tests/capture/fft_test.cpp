#include "capture/fft.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <random>
#include <vector>

namespace {

using Samples = std::vector<long double>;
using Bins = std::vector<std::complex<long double>>;

constexpr long double Pi = std::numbers::pi_v<long double>;

// The transform by its definition, term by term: Σ w[j] · conj(z[j]) · e^(+2πi·j·k/n)
// with the Hann weights whose zeros lie at j = −1 and j = n.
Bins DirectSum(const Samples& re, const Samples& im) {
  const std::size_t n = re.size();
  Bins windowed(n), turns(n);
  for (std::size_t j = 0; j < n; ++j) {
    const long double weight = 0.5L * (1 - std::cos(2 * Pi * (j + 1) / (n + 1)));
    windowed[j] = weight * std::conj(std::complex<long double>(re[j], im.empty() ? 0 : im[j]));
    turns[j] = std::polar(1.0L, 2 * Pi * j / n);
  }
  Bins bins(n);
  for (std::size_t k = 0; k < n; ++k)
    for (std::size_t j = 0; j < n; ++j) bins[k] += windowed[j] * turns[j * k % n];
  return bins;
}

struct Transformed {
  std::int32_t count;
  Bins bins;
};

// An empty `im` runs the real mode, which must not read it.
Transformed RunFft(const Samples& re, const Samples& im) {
  const auto n = static_cast<std::int32_t>(re.size());
  Samples outRe(n), outIm(n);
  const FftMode mode = im.empty() ? FftMode::Real : FftMode::Complex;
  Transformed result{Fft(n, mode, re, im, outRe, outIm), Bins(n)};
  for (std::int32_t k = 0; k < n; ++k) result.bins[k] = {outRe[k], outIm[k]};
  return result;
}

Samples RandomSamples(std::size_t n, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> sample(-1448, 1448);
  Samples samples(n);
  for (auto& s : samples) s = sample(random);
  return samples;
}

Samples Tone(std::size_t n, int cycles, long double (*wave)(long double), long double amplitude) {
  Samples samples(n);
  for (std::size_t j = 0; j < n; ++j) samples[j] = amplitude * wave(2 * Pi * cycles * j / n);
  return samples;
}

long double Cos(long double x) { return std::cos(x); }
long double Sin(long double x) { return std::sin(x); }

// The angles of the tables are double precision, so agreement is to about
// 1e-16 of the summed input; a wrong weight, sign or order is off by far more.
void ExpectMatchesDirectSum(const Samples& re, const Samples& im) {
  const Transformed fast = RunFft(re, im);
  EXPECT_EQ(fast.count, im.empty() ? re.size() / 2 : re.size());  // the bins that carry information
  const Bins expected = DirectSum(re, im);
  long double inputSize = 0;
  for (std::size_t j = 0; j < re.size(); ++j) inputSize += std::abs(re[j]) + (im.empty() ? 0 : std::abs(im[j]));
  for (std::size_t k = 0; k < re.size(); ++k)
    ASSERT_LT(std::abs(fast.bins[k] - expected[k]), 1e-13L * inputSize)
        << "n = " << re.size() << ", bin " << k << ", " << (im.empty() ? "real" : "complex");
}

std::size_t LargestBin(const Bins& bins) {
  const auto byMagnitude = [](const auto& a, const auto& b) { return std::abs(a) < std::abs(b); };
  return std::max_element(bins.begin(), bins.end(), byMagnitude) - bins.begin();
}

TEST(Fft, AgreesWithTheDirectSumForEveryLength) {
  for (std::size_t n = 2; n <= 1024; n *= 2) {
    ExpectMatchesDirectSum(RandomSamples(n, n), {});
    ExpectMatchesDirectSum(RandomSamples(n, n + 1), RandomSamples(n, n + 2));
  }
}

TEST(Fft, WindowsAConstantBlock) {
  const Bins bins = RunFft(Samples(1024, 1), {}).bins;
  EXPECT_NEAR(bins[0].real(), 512.5L, 1e-12L);  // the sum of the window weights
  EXPECT_NEAR(bins[0].imag(), 0, 1e-12L);
  EXPECT_NEAR(bins[1].real(), -255.87L, 0.005L);
  EXPECT_NEAR(bins[1].imag(), 0.785L, 0.0005L);
  EXPECT_NEAR(bins[2].real(), -0.166L, 0.0005L);

  const Bins scaled = RunFft(Samples(1024, 1 / 22.627417L), {}).bins;
  EXPECT_NEAR(MagnitudeDb(scaled[0].real(), scaled[0].imag()), 27.10L, 0.005L);
}

TEST(Fft, ComplexModeWithoutImaginaryPartMatchesRealMode) {
  const Samples block = RandomSamples(1024, 3);
  EXPECT_EQ(RunFft(block, Samples(1024, 0)).bins, RunFft(block, {}).bins);
}

TEST(Fft, PutsPositiveFrequenciesInTheLowerBins) {
  const Samples cosine = Tone(1024, 5, Cos, 1000), sine = Tone(1024, 5, Sin, 1000);
  Samples negatedSine(sine);
  for (auto& s : negatedSine) s = -s;

  const Bins rising = RunFft(cosine, sine).bins;
  EXPECT_EQ(LargestBin(rising), 5u);
  EXPECT_NEAR(MagnitudeDb(rising[5].real() / 22.627417L, rising[5].imag() / 22.627417L), 87.10L, 0.005L);
  EXPECT_EQ(LargestBin(RunFft(cosine, negatedSine).bins), 1019u);
}

TEST(Fft, RebuildsItsTablesWhenTheLengthChanges) {
  for (std::size_t n : {1024, 256, 1024}) {
    ExpectMatchesDirectSum(RandomSamples(n, 11), {});
    ExpectMatchesDirectSum(RandomSamples(n, 12), RandomSamples(n, 13));
  }
}

TEST(Fft, RefusesLengthsItDoesNotServeAndLeavesTheOutputsAlone) {
  const Samples in = RandomSamples(4096, 5);
  for (const std::int32_t length : {-4, 0, 1, 3, 1000, 2048, 4096}) {
    for (const FftMode mode : {FftMode::Real, FftMode::Complex}) {
      Samples outRe(4096, 7), outIm(4096, 9);
      EXPECT_EQ(Fft(length, mode, in, in, outRe, outIm), 0) << length;
      EXPECT_EQ(outRe, Samples(4096, 7)) << length;
      EXPECT_EQ(outIm, Samples(4096, 9)) << length;
    }
  }
}

TEST(Fft, RefusesArraysShorterThanTheLength) {
  const Samples full(1024, 1), shortBlock(1023, 1);
  Samples outRe(1024, 7), outIm(1024, 9), shortOut(1023, 7);
  EXPECT_EQ(Fft(1024, FftMode::Real, shortBlock, {}, outRe, outIm), 0);
  EXPECT_EQ(Fft(1024, FftMode::Complex, full, shortBlock, outRe, outIm), 0);
  EXPECT_EQ(Fft(1024, FftMode::Real, full, {}, shortOut, outIm), 0);
  EXPECT_EQ(Fft(1024, FftMode::Real, full, {}, outRe, shortOut), 0);
  EXPECT_EQ(outRe, Samples(1024, 7));
  EXPECT_EQ(outIm, Samples(1024, 9));
  EXPECT_EQ(shortOut, Samples(1023, 7));
}

TEST(MagnitudeDb, ConvertsTheMagnitudeToDecibels) {
  const long double fiveDb = 20 * std::log10(5 + 1e-10L);
  EXPECT_NEAR(MagnitudeDb(3, 4), fiveDb, 1e-12L);
  EXPECT_NEAR(MagnitudeDb(-3, -4), fiveDb, 1e-12L);
  EXPECT_NEAR(fiveDb, 13.98L, 0.005L);
  EXPECT_NEAR(MagnitudeDb(0, 1000), 60, 1e-12L);
}

TEST(MagnitudeDb, AddsAFloorSoAnEmptyBinShowsMinus200) {
  EXPECT_NEAR(MagnitudeDb(0, 0), -200, 1e-9L);
  // The floor is added, not a lower limit: a magnitude equal to it gains 6 dB.
  EXPECT_NEAR(MagnitudeDb(1e-10L, 0), -200 + 20 * std::log10(2.0L), 1e-9L);
}

}  // namespace
