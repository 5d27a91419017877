#pragma once
// The converter figures written for a person, one row each: the Measurements
// window shows the rows and copies them as text, a row a line.
#include <optional>
#include <string>
#include <vector>

#include "capture/measurement.h"

struct FigureRow {
  std::string name;
  std::string value;  // with its unit; "—" for a figure that is no number
};

// Source, blocks, the fundamental's frequency and level, SNR, SINAD, SFDR,
// THD, ENOB, the noise floor and the harmonics 2 to 5. Without a
// measurement (no block yet) every figure is "—".
std::vector<FigureRow> MeasurementRows(const std::optional<Measurement>& m, MeasureSource source,
                                       int blocks);

// "name value", a row a line.
std::string MeasurementText(const std::vector<FigureRow>& rows);

const char* SourceName(MeasureSource source);
