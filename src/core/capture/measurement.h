#pragma once
// The figures by which a converter is judged, from captured blocks of a tone:
// its level, SNR, SINAD, SFDR, THD, ENOB, the noise floor and the harmonics.
//
// Each block of N = 1024 samples is weighted by the four-term Blackman-Harris
// window (periodic) and transformed in double precision; P[k] = |X[k]|² / (N Σw²),
// so that sums of P give mean power, averaged over the blocks. A complex
// source has the bins 0..N−1; a single channel, the one-sided bins 0..N/2
// with P doubled between the ends. Full scale is 32768² for a complex source
// and 32768²/2 for a real one, so a full-scale tone reads 0 dBFS.
//
// Zones of ±4 bins, the window's main lobe (modulo N for a complex source,
// clipped to 0..N/2 for a real one), share out the bins; a bin belongs to the
// first zone that claims it: DC (around bin 0), the fundamental (around k0,
// the largest bin outside DC), then the harmonics 2..5 (around h·k0 modulo N,
// folded into 0..N/2 for a real source). Every other bin is noise, and the
// noise power Pn is their sum scaled up to all the bins outside DC.
#include <array>
#include <cstdint>
#include <span>

#include "capture/history.h"

enum class MeasureSource {
  Iq,  // the complex signal I + jQ
  I,   // the I channel alone, a real signal
  Q,   // the Q channel alone
};

struct HarmonicFigure {
  int order = 0;
  int bin = 0;        // the centre of its zone
  double dbc = 0.0;   // its zone's power relative to the fundamental; −inf when no bin is left to it
};

struct Measurement {
  int fundamentalBin = 0;
  double fundamentalHz = 0.0;     // negative for a complex source's bin above N/2
  double fundamentalDbfs = 0.0;   // the power of its zone
  double snrDb = 0.0;             // Pf / Pn
  double sinadDb = 0.0;           // Pf / (Pn + ΣPh)
  double sfdrDbc = 0.0;           // P[k0] over the largest bin outside the DC and fundamental zones
  double thdDbc = 0.0;            // ΣPh / Pf
  double enobBits = 0.0;          // (SINAD − 1.76) / 6.02
  double noiseFloorDbfs = 0.0;    // Pn per bin outside DC
  std::array<HarmonicFigure, 4> harmonics{};  // orders 2 to 5
};

// i and q: the same B ≥ 1 blocks of each channel, BlockLength samples a block,
// one after another as SampleHistory holds them; for a real source the other
// channel is not read but must be as long. rateHz: the sample rate. Throws
// std::invalid_argument for lengths that are not such blocks.
Measurement Measure(std::span<const std::int32_t> i, std::span<const std::int32_t> q,
                    MeasureSource source, double rateHz);
