// The layout file as the program loads and saves it: any bytes as a file.
// Load, save and load again gives the same cells, captions, chart settings
// and baud rate, and a second save writes the very bytes of the first.
//
// Input: the file.
#include <cstdint>
#include <string>
#include <string_view>
#include <tuple>

#include "fuzz_support.h"
#include "panel/layoutmodel.h"
#include "platform/layoutnames.h"
#include "platform/numtext.h"
#include "platform/profile.h"

namespace {

struct Layout {
  ChartSettings chart;
  PanelTexts cells;
  std::int32_t baudRate;
};

Layout Load(const ProfileFile& file) {
  Layout layout{ReadChartSettings(file), {},
                file.ReadInteger(layout::SectionUsb, layout::KeyBaudRate, layout::DefaultBaudRate)};
  for (const PanelCell& cell : AllPanelCells()) layout.cells[cell.CellIndex()] = ReadCellTexts(file, cell);
  return layout;
}

// Numbers count as the same when they print the same: the file holds 15 digits.
auto Printed(const Layout& layout) {
  const ChartSettings& c = layout.chart;
  const DisplaySettings& d = c.display;
  return std::tuple(FormatNumber(c.maxY), FormatNumber(c.maxX), FormatNumber(c.minY),
                    FormatNumber(c.minX), d.QamMode, d.Spectrum, d.Average, d.ComplexFft, d.Graph1,
                    d.Graph2, d.RealAxis, FormatNumber(d.FreqMHz), layout.baudRate);
}

bool SameCells(const PanelTexts& a, const PanelTexts& b) {
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tie(a[i].caption, a[i].accessMode, a[i].value) !=
        std::tie(b[i].caption, b[i].accessMode, b[i].value))
      return false;
  return true;
}

// Loads the scratch file, saves what it read, and gives what it read.
Layout LoadAndSave(const ScratchFile& scratch) {
  ProfileFile file(scratch.Path());
  const Layout layout = Load(file);
  WriteLayout(file, layout.chart, layout.cells);
  file.Save();
  return layout;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const ScratchFile scratch;
  scratch.Write(std::string_view(reinterpret_cast<const char*>(data), size));
  const Layout loaded = LoadAndSave(scratch);
  const std::string saved = scratch.Read();
  const Layout reloaded = LoadAndSave(scratch);
  Require(Printed(reloaded) == Printed(loaded), "the chart settings and baud rate load again");
  Require(SameCells(reloaded.cells, loaded.cells), "every cell loads again");
  Require(scratch.Read() == saved, "a second save writes the same bytes");
  return 0;
}
