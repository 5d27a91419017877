#include "panel/layoutmodel.h"

#include "platform/layoutnames.h"
#include "platform/profile.h"

using namespace layout;

namespace {

std::string KeyOf(const char* prefix, const PanelCell& cell) { return prefix + cell.CellSuffix(); }

void WriteChartSettings(ProfileFile& file, const ChartSettings& chart) {
  file.WriteFloat(SectionChart, KeyMaxY, chart.maxY);
  file.WriteFloat(SectionChart, KeyMaxX, chart.maxX);
  file.WriteFloat(SectionChart, KeyMinY, chart.minY);
  file.WriteFloat(SectionChart, KeyMinX, chart.minX);
  file.WriteBool(SectionChart, KeyQam, chart.qamMode);
  file.WriteBool(SectionChart, KeySpectrum, chart.spectrum);
  file.WriteBool(SectionChart, KeyAverage, chart.average);
  file.WriteBool(SectionChart, KeyFftComplex, chart.complexFft);
  file.WriteBool(SectionChart, KeyGraph1, chart.graph1);
  file.WriteBool(SectionChart, KeyGraph2, chart.graph2);
  file.WriteBool(SectionChart, KeyAxis, chart.realAxis);
  file.WriteFloat(SectionChart, KeyFreq, chart.freqMHz);
}

void WriteChangedCell(ProfileFile& file, const PanelCell& cell, const CellTexts& texts) {
  if (!IsChanged(cell, texts)) return;
  file.WriteString(SectionBoxes, KeyOf(BoxPrefix, cell), texts.caption);
  if (texts.accessMode != ModeSet)
    file.WriteString(SectionButtons, KeyOf(ButtonPrefix, cell), texts.accessMode);
  file.WriteString(SectionEdits, KeyOf(EditPrefix, cell), texts.value);
}

}  // namespace

ChartSettings ReadChartSettings(const ProfileFile& file) {
  const ChartSettings defaults;
  ChartSettings chart;
  chart.maxY = file.ReadFloat(SectionChart, KeyMaxY, defaults.maxY);
  chart.maxX = file.ReadFloat(SectionChart, KeyMaxX, defaults.maxX);
  chart.minY = file.ReadFloat(SectionChart, KeyMinY, defaults.minY);
  chart.minX = file.ReadFloat(SectionChart, KeyMinX, defaults.minX);
  chart.qamMode = file.ReadBool(SectionChart, KeyQam, defaults.qamMode);
  chart.spectrum = file.ReadBool(SectionChart, KeySpectrum, defaults.spectrum);
  chart.average = file.ReadBool(SectionChart, KeyAverage, defaults.average);
  chart.complexFft = file.ReadBool(SectionChart, KeyFftComplex, defaults.complexFft);
  chart.graph1 = file.ReadBool(SectionChart, KeyGraph1, defaults.graph1);
  chart.graph2 = file.ReadBool(SectionChart, KeyGraph2, defaults.graph2);
  chart.realAxis = file.ReadBool(SectionChart, KeyAxis, defaults.realAxis);
  chart.freqMHz = file.ReadFloat(SectionChart, KeyFreq, defaults.freqMHz);
  return chart;
}

CellTexts ReadCellTexts(const ProfileFile& file, const PanelCell& cell) {
  return {file.ReadString(SectionBoxes, KeyOf(BoxPrefix, cell), cell.FreshCaption()),
          NormalisedAccessMode(file.ReadString(SectionButtons, KeyOf(ButtonPrefix, cell), ModeSet)),
          file.ReadString(SectionEdits, KeyOf(EditPrefix, cell), FreshValue)};
}

void WriteLayout(ProfileFile& file, const ChartSettings& chart, const PanelTexts& cells) {
  const auto baudRate = file.ReadInteger(SectionUsb, KeyBaudRate, DefaultBaudRate);
  for (const char* section :
       {SectionUsb, SectionChart, SectionBoxes, SectionTags, SectionButtons, SectionEdits})
    file.EraseSection(section);
  file.WriteInteger(SectionUsb, KeyBaudRate, baudRate);
  WriteChartSettings(file, chart);
  for (const PanelCell& cell : AllPanelCells()) WriteChangedCell(file, cell, cells[cell.CellIndex()]);
}
