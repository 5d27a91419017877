// tarnwick-ctl plot: recordings and blocks from the board drawn into PNGs.
#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
#include <numbers>

#include "ctl_fixture.h"

namespace {

// Pixels in graph 1's colour: the chart draws them nowhere else.
int RedPixels(const QImage& image) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) count += image.pixel(x, y) == qRgb(255, 0, 0);
  return count;
}

}  // namespace

TEST_F(CtlFiles, PlotDrawsARecordingOrABlockFromTheBoardIntoAPng) {
  const std::string png = (folder / "tone.png").string();
  {  // I a tone of 64 cycles, Q silent: each word big-endian I then Q
    std::ofstream data(base + ".sigmf-data", std::ios::binary);
    for (int k = 0; k < 1024; ++k) {
      const auto i = static_cast<std::int16_t>(std::lround(8000 * std::cos(2 * std::numbers::pi * 64 * k / 1024)));
      data << char(i >> 8) << char(i & 0xFF) << '\0' << '\0';
    }
  }
  const std::string layout = (folder / "absent.ini").string();
  const Result recording = Run({"--layout", layout, "--json", "plot", "-o", png, "--size", "640x360", base});
  EXPECT_EQ(recording.status, ExitSuccess) << recording.err;
  EXPECT_EQ(recording.out, "{\"png\":\"" + png + "\",\"width\":640,\"height\":360}\n");
  const QImage tone(QString::fromStdString(png));
  EXPECT_EQ(tone.size(), QSize(640, 360));
  EXPECT_GT(RedPixels(tone), 500);

  const Result fetched = Run({"--layout", layout, "plot", "-o", png, "--mode", "constellation"});
  EXPECT_EQ(fetched.status, ExitSuccess) << fetched.err;
  EXPECT_EQ(fetched.out, "");
  const QImage board(QString::fromStdString(png));
  EXPECT_EQ(board.size(), QSize(1600, 900));
  EXPECT_GT(RedPixels(board), 500);

  const Result missing = Run({"plot", "-o", png, base + ".bin"});
  EXPECT_EQ(missing.status, ExitUsage);
  EXPECT_NE(missing.err.find(base + ".bin"), std::string::npos);
}
