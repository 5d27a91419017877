#include "capture/measurementtext.h"

#include <cmath>
#include <cstdio>
#include <limits>
#include <utility>

namespace {

constexpr const char* NoFigure = "\u2014";

// A finite figure with `decimals` decimals and its unit; −inf (no noise, no
// harmonic left) and NaN (no signal) say nothing a person can use.
std::string Figure(double value, int decimals, const char* unit) {
  if (!std::isfinite(value)) return NoFigure;
  char text[64];
  std::snprintf(text, sizeof text, "%.*f %s", decimals, value, unit);
  return text;
}

// In the unit that keeps the digits few: Hz, kHz or MHz.
std::string Frequency(double hz) {
  if (!std::isfinite(hz)) return NoFigure;
  const double size = std::abs(hz);
  const auto [scale, unit] = size >= 1e6 ? std::pair{1e6, "MHz"} : size >= 1e3 ? std::pair{1e3, "kHz"}
                                                                                : std::pair{1.0, "Hz"};
  char text[64];
  std::snprintf(text, sizeof text, "%.6g %s", hz / scale, unit);
  return text;
}

std::string WithBin(std::string figure, int bin) {
  if (figure != NoFigure) figure.append(" (bin ").append(std::to_string(bin)).append(")");
  return figure;
}

Measurement NoMeasurement() {
  constexpr double None = std::numeric_limits<double>::quiet_NaN();
  Measurement m{0, None, None, None, None, None, None, None, None};
  for (int h = 0; h < int(m.harmonics.size()); ++h) m.harmonics[h] = {h + 2, 0, None};
  return m;
}

}  // namespace

const char* SourceName(MeasureSource source) {
  switch (source) {
    case MeasureSource::I: return "i";
    case MeasureSource::Q: return "q";
    case MeasureSource::Iq: break;
  }
  return "iq";
}

std::vector<FigureRow> MeasurementRows(const std::optional<Measurement>& measured, MeasureSource source,
                                       int blocks) {
  const Measurement m = measured.value_or(NoMeasurement());
  std::vector<FigureRow> rows{
      {"Source", SourceName(source)},
      {"Blocks", std::to_string(blocks)},
      {"Fundamental", WithBin(Frequency(m.fundamentalHz), m.fundamentalBin)},
      {"Level", Figure(m.fundamentalDbfs, 1, "dBFS")},
      {"SNR", Figure(m.snrDb, 1, "dB")},
      {"SINAD", Figure(m.sinadDb, 1, "dB")},
      {"SFDR", Figure(m.sfdrDbc, 1, "dBc")},
      {"THD", Figure(m.thdDbc, 1, "dBc")},
      {"ENOB", Figure(m.enobBits, 2, "bits")},
      {"Noise floor", Figure(m.noiseFloorDbfs, 1, "dBFS/bin")},
  };
  for (const HarmonicFigure& h : m.harmonics) {
    char name[16];
    std::snprintf(name, sizeof name, "H%d", h.order);
    rows.push_back({name, WithBin(Figure(h.dbc, 1, "dBc"), h.bin)});
  }
  return rows;
}

std::string MeasurementText(const std::vector<FigureRow>& rows) {
  std::string text;
  for (const FigureRow& row : rows) text.append(row.name).append(" ").append(row.value).append("\n");
  return text;
}
