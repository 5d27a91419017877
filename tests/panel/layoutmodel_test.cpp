// The layout file's content without windows: settings read by their forms,
// and the rewrite of the program's sections.
#include "panel/layoutmodel.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>

#include "panel_fixture.h"
#include "platform/profile.h"

namespace fs = std::filesystem;

namespace {

PanelTexts FreshPanel() {
  PanelTexts texts;
  for (const PanelCell& cell : AllPanelCells()) texts[cell.CellIndex()] = {cell.FreshCaption(), "set", "0"};
  return texts;
}

class LayoutModel : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = fs::temp_directory_path() / ("tarnwick-layout-" + std::to_string(std::random_device{}()));
    fs::create_directories(folder);
  }
  void TearDown() override { fs::remove_all(folder); }

  std::string Path() const { return (folder / "tarnwick.ini").string(); }

  ProfileFile Load(const std::string& content) const {
    std::ofstream(Path(), std::ios::binary) << content;
    return ProfileFile(Path());
  }

  // The file as a save of these settings and a fresh panel leaves it.
  std::string Rewritten(const std::string& content, const ChartSettings& chart = {}) const {
    ProfileFile file = Load(content);
    WriteLayout(file, chart, FreshPanel());
    file.Save();
    std::ifstream in(Path(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  fs::path folder;
};

}  // namespace

TEST_F(LayoutModel, SettingsReadByTheirFormsAndFallBackOneByOne) {
  const ChartSettings chart = ReadChartSettings(Load(
      "[CHART]\nMaxY=2.5e3\nMaxX=abc\nMinY=\nMinX=-0.5\nQAM=yes\nSPECTRUM=2\nAVG=$1\n"
      "FFTCOMPLEX=0x0\nGRAPH1=0\nGRAPH2=word\nAXIS=\nFREQ=1,5\n"));
  EXPECT_EQ(chart.maxY, 2500);
  EXPECT_EQ(chart.maxX, 10000);  // not a number
  EXPECT_EQ(chart.minY, -10000);  // empty
  EXPECT_EQ(chart.minX, -0.5);
  const DisplaySettings& display = chart.display;
  EXPECT_FALSE(display.QamMode);  // not an integer
  EXPECT_TRUE(display.Spectrum);
  EXPECT_TRUE(display.Average);
  EXPECT_FALSE(display.ComplexFft);
  EXPECT_FALSE(display.Graph1);
  EXPECT_TRUE(display.Graph2);
  EXPECT_FALSE(display.RealAxis);
  EXPECT_EQ(display.FreqMHz, 150);  // the file's numbers know no comma
}

TEST_F(LayoutModel, EachChartSettingIsSavedUnderItsOwnKeyAndReadBack) {
  struct Row {
    std::function<void(ChartSettings&)> change;
    std::string line;
  };
  const Row rows[] = {
      {[](ChartSettings& c) { c.maxY = 2.5; }, "MaxY=2.5"},
      {[](ChartSettings& c) { c.maxX = 3.5; }, "MaxX=3.5"},
      {[](ChartSettings& c) { c.minY = -4.5; }, "MinY=-4.5"},
      {[](ChartSettings& c) { c.minX = -5.5; }, "MinX=-5.5"},
      {[](ChartSettings& c) { c.display.QamMode = true; }, "QAM=1"},
      {[](ChartSettings& c) { c.display.Spectrum = true; }, "SPECTRUM=1"},
      {[](ChartSettings& c) { c.display.Average = true; }, "AVG=1"},
      {[](ChartSettings& c) { c.display.ComplexFft = true; }, "FFTCOMPLEX=1"},
      {[](ChartSettings& c) { c.display.Graph1 = false; }, "GRAPH1=0"},
      {[](ChartSettings& c) { c.display.Graph2 = false; }, "GRAPH2=0"},
      {[](ChartSettings& c) { c.display.RealAxis = true; }, "AXIS=1"},
      {[](ChartSettings& c) { c.display.FreqMHz = 61.44; }, "FREQ=61.44"},
  };
  for (const Row& row : rows) {
    ChartSettings changed;
    row.change(changed);
    EXPECT_NE(Rewritten("", changed).find("\n" + row.line + "\n"), std::string::npos) << row.line;
    EXPECT_EQ(ReadChartSettings(ProfileFile(Path())), changed) << row.line;
  }
}

TEST_F(LayoutModel, BaudRateIsCarriedForwardInDecimal) {
  EXPECT_EQ(Rewritten(""), "[USB]\nBaudRate=115200\n" + DefaultChart);
  EXPECT_EQ(Rewritten("[USB]\nBaudRate=0x1C200\n"), "[USB]\nBaudRate=115200\n" + DefaultChart);
  EXPECT_EQ(Rewritten("[USB]\nBaudRate=fast\n"), "[USB]\nBaudRate=115200\n" + DefaultChart);
  EXPECT_EQ(Rewritten("[usb]\nbaudrate=9600\n"), "[USB]\nBaudRate=9600\n" + DefaultChart);
}

TEST_F(LayoutModel, TheProgramsSectionsAreReplacedAndOthersKept) {
  const std::string before =
      "[Mine]\r\nx=1\r\n[TAGS]\r\nt=2\r\n[chart]\r\nColour=red\r\nmaxy=5\r\n"
      "[BOXES]\r\nboxDynamic80=beyond the grid\r\nboxDynamic00=64 | TXGAIN\r\n"
      "[Other]\r\ny=2\r\n[BOXES]\r\nboxDynamic01=second copy\r\n";
  const std::string expected = "[Mine]\nx=1\n[Other]\ny=2\n[USB]\nBaudRate=115200\n" + DefaultChart;
  const std::string once = Rewritten(before);
  EXPECT_EQ(once, expected);
  EXPECT_EQ(Rewritten(once), expected);
}
