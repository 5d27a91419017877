#include "panel/layoutmodel.h"

#include <variant>

#include "link/portsettings.h"
#include "platform/layoutnames.h"
#include "platform/profile.h"

using namespace layout;

namespace {

std::string KeyOf(const char* prefix, const PanelCell& cell) { return prefix + cell.CellSuffix(); }

// Each CHART key with the setting it holds, in the order a save writes them.
// A limit and the rate are numbers, a flag is 1 or 0.
using ChartField =
    std::variant<double ChartSettings::*, bool DisplaySettings::*, double DisplaySettings::*>;

struct ChartKey {
  const char* name;
  ChartField field;
};

constexpr ChartKey ChartKeys[] = {
    {KeyMaxY, &ChartSettings::maxY},
    {KeyMaxX, &ChartSettings::maxX},
    {KeyMinY, &ChartSettings::minY},
    {KeyMinX, &ChartSettings::minX},
    {KeyQam, &DisplaySettings::QamMode},
    {KeySpectrum, &DisplaySettings::Spectrum},
    {KeyAverage, &DisplaySettings::Average},
    {KeyFftComplex, &DisplaySettings::ComplexFft},
    {KeyGraph1, &DisplaySettings::Graph1},
    {KeyGraph2, &DisplaySettings::Graph2},
    {KeyAxis, &DisplaySettings::RealAxis},
    {KeyFreq, &DisplaySettings::FreqMHz},
};

// The setting in `chart` (const or not) that a key's member names.
template <class Chart, class Value>
auto& FieldOf(Chart& chart, Value ChartSettings::*member) {
  return chart.*member;
}

template <class Chart, class Value>
auto& FieldOf(Chart& chart, Value DisplaySettings::*member) {
  return chart.display.*member;
}

// A missing or unreadable key leaves `value` at its default.
void ReadKey(const ProfileFile& file, const char* key, double& value) {
  value = file.ReadFloat(SectionChart, key, value);
}

void ReadKey(const ProfileFile& file, const char* key, bool& value) {
  value = file.ReadBool(SectionChart, key, value);
}

void WriteKey(ProfileFile& file, const char* key, double value) {
  file.WriteFloat(SectionChart, key, value);
}

void WriteKey(ProfileFile& file, const char* key, bool value) {
  file.WriteBool(SectionChart, key, value);
}

void WriteChartSettings(ProfileFile& file, const ChartSettings& chart) {
  for (const ChartKey& key : ChartKeys)
    std::visit([&](auto member) { WriteKey(file, key.name, FieldOf(chart, member)); }, key.field);
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
  ChartSettings chart;
  for (const ChartKey& key : ChartKeys)
    std::visit([&](auto member) { ReadKey(file, key.name, FieldOf(chart, member)); }, key.field);
  return chart;
}

CellTexts ReadCellTexts(const ProfileFile& file, const PanelCell& cell) {
  return {file.ReadString(SectionBoxes, KeyOf(BoxPrefix, cell), cell.FreshCaption()),
          NormalisedAccessMode(file.ReadString(SectionButtons, KeyOf(ButtonPrefix, cell), ModeSet)),
          file.ReadString(SectionEdits, KeyOf(EditPrefix, cell), FreshValue)};
}

void WriteLayout(ProfileFile& file, const ChartSettings& chart, const PanelTexts& cells) {
  const auto baudRate = file.ReadInteger(SectionUsb, KeyBaudRate, DefaultBaudRate);
  const auto netPorts = ReadNetPorts(file);
  for (const char* section :
       {SectionUsb, SectionChart, SectionBoxes, SectionTags, SectionButtons, SectionEdits})
    file.EraseSection(section);
  file.WriteInteger(SectionUsb, KeyBaudRate, baudRate);
  WriteNetPorts(file, netPorts);
  WriteChartSettings(file, chart);
  for (const PanelCell& cell : AllPanelCells()) WriteChangedCell(file, cell, cells[cell.CellIndex()]);
}
