#include "capture/measurement.h"
#include "capture/measurementtext.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "board/tone.h"

namespace {

constexpr int Blocks = 64;
constexpr double RateHz = 1e6;
constexpr double Rounding = 1.0 / 12;  // count² per channel, from whole counts
constexpr double FullScale = 32768.0;

double Db(double ratio) { return 10.0 * std::log10(ratio); }

struct Row {
  std::string name;
  MeasureSource source;
  SignalOptions signal;
};

// What the board's signal must measure as, from its settings alone.
struct Truth {
  double levelDbfs, snrDb, sinadDb, enobBits, noiseFloorDbfs;
  double thdDbc, sfdrDbc;  // NaN where noise alone decides them
};

// A complex tone of amplitude A has the power A² and either channel of it A²/2;
// the noise of each channel is σ² + 1/12. Harmonics and spurs keep their dBc in
// either form; a spur, being no harmonic, counts as noise.
Truth TruthOf(const Row& row) {
  const bool complex = row.source == MeasureSource::Iq;
  const SignalOptions& s = row.signal;
  const double channels = complex ? 2.0 : 1.0;
  const double signal = channels * s.amplitude * s.amplitude / 2;
  double harmonics = 0.0, spurs = 0.0;
  double strongest = -std::numeric_limits<double>::infinity();
  for (const Harmonic& h : s.harmonics) {
    harmonics += std::pow(10.0, h.dbc / 10);
    strongest = std::max(strongest, h.dbc);
  }
  for (const Spur& spur : s.spurs) {
    if (spur.cyclesPerBlock == 0) continue;  // an offset, the DC zone's
    spurs += std::pow(10.0, spur.dbc / 10);
    strongest = std::max(strongest, spur.dbc);
  }
  const double noise = channels * (s.noise * s.noise + Rounding) + spurs * signal;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  Truth t;
  t.levelDbfs = Db(s.amplitude * s.amplitude / (FullScale * FullScale));
  t.snrDb = Db(signal / noise);
  t.sinadDb = Db(signal / (noise + harmonics * signal));
  t.enobBits = (t.sinadDb - 1.76) / 6.02;
  // Pn spread over the bins: N of a complex spectrum, N/2 of a one-sided one.
  t.noiseFloorDbfs = t.levelDbfs - t.snrDb - Db(complex ? BlockLength : BlockLength / 2);
  t.thdDbc = s.harmonics.empty() ? nan : Db(harmonics);
  t.sfdrDbc = std::isinf(strongest) ? nan : -strongest;
  return t;
}

// Blocks as the board sends them. A real source's other channel is silent,
// so that reading the wrong one shows.
Measurement MeasureBoard(const Row& row) {
  ToneGenerator tone(row.signal);
  std::vector<std::int32_t> i(Blocks * BlockLength), q(i.size());
  for (std::size_t n = 0; n < i.size(); ++n) {
    const IqSample sample = tone.Next();
    i[n] = row.source == MeasureSource::Q ? 0 : sample.i;
    q[n] = row.source == MeasureSource::I ? 0 : sample.q;
  }
  return Measure(i, q, row.source, RateHz);
}

// Where a tone of this many cycles per block shows: in 0..N, or in 0..N/2 for a real source.
double Aliased(double cycles, MeasureSource source) {
  const double bin = std::fmod(std::fmod(cycles, BlockLength) + BlockLength, BlockLength);
  return source != MeasureSource::Iq && bin > BlockLength / 2 ? BlockLength - bin : bin;
}

void ExpectNearUnlessNan(double measured, double truth, double tolerance, const char* what) {
  if (!std::isnan(truth)) {
    EXPECT_NEAR(measured, truth, tolerance) << what;
  }
}

TEST(Measurement, BoardSignalsMeasureAsTheirSettingsSay) {
  using enum MeasureSource;
  const std::vector<Row> rows = {
      {"coherent, SNR 30", Iq, {.cyclesPerBlock = 37, .amplitude = 16000, .noise = 350}},
      {"non-coherent, SNR 30", Iq, {.cyclesPerBlock = 37.3, .amplitude = 16000, .noise = 350}},
      {"coherent, SNR 55", Iq, {.cyclesPerBlock = 37, .amplitude = 16000, .noise = 20}},
      {"coherent, SNR 81", Iq, {.cyclesPerBlock = 37, .amplitude = 16000, .noise = 1}},
      // Not higher: a tone between bins leaks about -88 dBc past its zone.
      {"non-coherent, SNR 69", Iq, {.cyclesPerBlock = 37.3, .amplitude = 16000, .noise = 4}},
      {"harmonics -50 and -70 dBc", Iq,
       {.cyclesPerBlock = 37.3, .amplitude = 16000, .noise = 4,
        .harmonics = {{2, -50}, {3, -70}}}},
      {"negative frequency, harmonics wrap", Iq,
       {.cyclesPerBlock = -100, .amplitude = 16000, .noise = 2,
        .harmonics = {{2, -60}, {5, -65}}}},
      {"spur -60 dBc", Iq,
       {.cyclesPerBlock = 37, .amplitude = 16000, .noise = 20, .spurs = {{200, -60}}}},
      {"DC offset above the tone", Iq,
       {.cyclesPerBlock = 37, .amplitude = 8000, .noise = 20, .spurs = {{0, 6}, {200, -60}}}},
      {"I alone, non-coherent", I, {.cyclesPerBlock = 37.3, .amplitude = 16000, .noise = 10}},
      // Harmonic 3 at 900 cycles folds to 124, 5 at 1500 wraps to 476.
      {"Q alone, harmonics wrap and fold", Q,
       {.cyclesPerBlock = 300, .amplitude = 16000, .noise = 2,
        .harmonics = {{3, -55}, {5, -70}}}},
      // Harmonics 2 and 4 land on DC, 3 and 5 on the tone: their zones are empty.
      {"Nyquist tone", Iq, {.cyclesPerBlock = 512, .amplitude = 16000, .noise = 20}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const Truth t = TruthOf(row);
    const Measurement m = MeasureBoard(row);
    EXPECT_DOUBLE_EQ(m.fundamentalHz, std::round(row.signal.cyclesPerBlock) * RateHz / BlockLength);
    EXPECT_NEAR(m.fundamentalDbfs, t.levelDbfs, 0.05);
    EXPECT_NEAR(m.snrDb, t.snrDb, 0.2);
    // The noise in the harmonics' zones counts in Pn and again in ΣPh: 36 of
    // 1015 bins lower SINAD by 0.15 dB, but 36 of 508 one-sided bins by 0.30 dB.
    EXPECT_NEAR(m.sinadDb, t.sinadDb, row.source == Iq ? 0.2 : 0.35);
    EXPECT_NEAR(m.enobBits, t.enobBits, 0.05);
    EXPECT_NEAR(m.noiseFloorDbfs, t.noiseFloorDbfs, 0.2);
    ExpectNearUnlessNan(m.thdDbc, t.thdDbc, 0.5, "THD");
    ExpectNearUnlessNan(m.sfdrDbc, t.sfdrDbc, 0.5, "SFDR");
    for (const Harmonic& h : row.signal.harmonics) {
      const HarmonicFigure& figure = m.harmonics[h.order - 2];
      EXPECT_NEAR(figure.dbc, h.dbc, 0.5) << "harmonic " << h.order;
      // k0 is the tone's bin to within half a bin, so h·k0 is within h/2 of it.
      EXPECT_NEAR(figure.bin, Aliased(h.order * row.signal.cyclesPerBlock, row.source), h.order / 2.0)
          << "harmonic " << h.order;
    }
  }
}

}  // namespace

TEST(MeasurementText, WritesEachFigureWithItsUnitAndADashForNoNumber) {
  Measurement m;
  m.fundamentalBin = 1021;
  m.fundamentalHz = -2929.6875;
  m.fundamentalDbfs = -12.34;
  m.snrDb = 55.06;
  m.sinadDb = std::numeric_limits<double>::quiet_NaN();
  m.sfdrDbc = std::numeric_limits<double>::infinity();
  m.thdDbc = -60.04;
  m.enobBits = 8.8449;
  m.noiseFloorDbfs = -97.25;
  m.harmonics = {{{2, 74, -60.04}, {3, 111, -std::numeric_limits<double>::infinity()}, {4, 148, -71.5}, {5, 185, -80}}};
  EXPECT_EQ(MeasurementText(MeasurementRows(m, MeasureSource::Q, 10)),
            "Source q\nBlocks 10\nFundamental -2.92969 kHz (bin 1021)\nLevel -12.3 dBFS\nSNR 55.1 dB\n"
            "SINAD \u2014\nSFDR \u2014\nTHD -60.0 dBc\nENOB 8.84 bits\nNoise floor -97.2 dBFS/bin\n"
            "H2 -60.0 dBc (bin 74)\nH3 \u2014\nH4 -71.5 dBc (bin 148)\nH5 -80.0 dBc (bin 185)\n");
  EXPECT_EQ(MeasurementText(MeasurementRows(std::nullopt, MeasureSource::Iq, 0)),
            "Source iq\nBlocks 0\nFundamental \u2014\nLevel \u2014\nSNR \u2014\nSINAD \u2014\nSFDR \u2014\n"
            "THD \u2014\nENOB \u2014\nNoise floor \u2014\nH2 \u2014\nH3 \u2014\nH4 \u2014\nH5 \u2014\n");
}
