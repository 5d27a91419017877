// The layout file's content without windows: settings read by their forms,
// the rewrite of the program's sections, and the network ports kept.
#include "panel/layoutmodel.h"
#include "panel/layoutstore.h"

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

  std::string Bytes() const {
    std::ifstream in(Path(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  // The file as a save of these settings and a fresh panel leaves it.
  std::string Rewritten(const std::string& content, const ChartSettings& chart = {}) const {
    ProfileFile file = Load(content);
    WriteLayout(file, chart, FreshPanel());
    file.Save();
    return Bytes();
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

TEST_F(LayoutModel, BaudRateInDecimalAndNetworkPortsAreCarriedForward) {
  EXPECT_EQ(Rewritten(""), "[USB]\nBaudRate=115200\n" + DefaultChart);
  EXPECT_EQ(Rewritten("[USB]\nBaudRate=0x1C200\n"), "[USB]\nBaudRate=115200\n" + DefaultChart);
  EXPECT_EQ(Rewritten("[USB]\nBaudRate=fast\n"), "[USB]\nBaudRate=115200\n" + DefaultChart);
  EXPECT_EQ(Rewritten("[usb]\nbaudrate=9600\n"), "[USB]\nBaudRate=9600\n" + DefaultChart);
  // Edited by hand: a device and a copy among them.
  EXPECT_EQ(Rewritten("[USB]\nNetPort1=socket://bench:4001\nNetPort2=/dev/ttyS0\n"
                      "NetPort3=socket://bench:4001\nnetport5=rfc2217://[::1]:2217\n"),
            "[USB]\nBaudRate=115200\nNetPort1=socket://bench:4001\nNetPort2=rfc2217://[::1]:2217\n" +
                DefaultChart);
}

TEST_F(LayoutModel, TheLastFiveNetworkPortsAreKeptMostRecentFirstBesideTheRest) {
  const std::string before = "[Mine]\r\nx=1\r\n[USB]\r\nBaudRate=9600\r\nFlow=rts\r\n[CHART]\r\nMaxY=5\r\n";
  Load(before);
  const LayoutStore store({Path(), Path()});
  store.RememberNetPort("/dev/ttyUSB0");
  EXPECT_EQ(Bytes(), before);  // a device is not kept, and the file not even rewritten

  const std::string a = "socket://a:1", b = "rfc2217://b.lab:2", c = "socket://10.0.0.3:3",
                    d = "socket://d:4", e = "rfc2217://[fe80::1]:5", f = "socket://f:6";
  struct Row {
    std::string name;
    std::vector<std::string> kept;
  };
  const Row rows[] = {
      {a, {a}},
      {b, {b, a}},
      {c, {c, b, a}},
      {d, {d, c, b, a}},
      {e, {e, d, c, b, a}},
      {f, {f, e, d, c, b}},  // the oldest goes
      {c, {c, f, e, d, b}},  // a repeat moves to the front
      {"socket://nohost", {c, f, e, d, b}},
      {"COM3", {c, f, e, d, b}},
  };
  for (const Row& row : rows) {
    store.RememberNetPort(row.name);
    EXPECT_EQ(store.NetPorts(), row.kept) << row.name;
  }
  EXPECT_EQ(Bytes(), "[Mine]\nx=1\n[USB]\nBaudRate=9600\nFlow=rts\nNetPort1=" + c + "\nNetPort2=" + f +
                         "\nNetPort3=" + e + "\nNetPort4=" + d + "\nNetPort5=" + b + "\n[CHART]\nMaxY=5\n");
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
