// tarnwick-ctl plot: recordings and blocks from the board drawn into PNGs.
#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
#include <numbers>

#include "ctl_fixture.h"

namespace {

// The pixels in graph 1's colour, and their bounding box: the chart draws
// that colour nowhere else.
struct Red {
  int count = 0;
  QRect box;
};
Red RedOf(const QImage& image) {
  Red red;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixel(x, y) == qRgb(255, 0, 0)) {
        ++red.count;
        red.box |= QRect(x, y, 1, 1);
      }
  return red;
}

class Plot : public CtlFiles {
 protected:
  // A recording of one block: I a tone of 64 cycles, Q silent; each word
  // big-endian I then Q.
  void RecordTone(double amplitude) {
    std::ofstream data(base + ".sigmf-data", std::ios::binary);
    for (int k = 0; k < 1024; ++k) {
      const auto i = static_cast<std::int16_t>(
          std::lround(amplitude * std::cos(2 * std::numbers::pi * 64 * k / 1024)));
      data << char(i >> 8) << char(i & 0xFF) << '\0' << '\0';
    }
  }

  void WriteMeta(const std::string& text) { std::ofstream(base + ".sigmf-meta") << text; }

  // The picture of a plot of the recording that must succeed, small;
  // `err` gets its messages.
  QImage Drawn(std::vector<std::string> options, std::string* err = nullptr) {
    options.insert(options.begin(), {"--layout", layout, "plot", "-o", png, "--size", "320x180"});
    options.push_back(base);
    const Result result = Run(options);
    EXPECT_EQ(result.status, ExitSuccess) << result.err;
    if (err) *err = result.err;
    return QImage(QString::fromStdString(png));
  }

  const std::string png = (folder / "plot.png").string();
  const std::string layout = (folder / "tarnwick.ini").string();  // none unless a test writes it
};

}  // namespace

TEST_F(Plot, DrawsARecordingOrABlockFromTheBoardIntoAPng) {
  RecordTone(8000);
  const Result recording = Run({"--layout", layout, "--json", "plot", "-o", png, "--size", "640x360", base});
  EXPECT_EQ(recording.status, ExitSuccess) << recording.err;
  EXPECT_EQ(recording.out, "{\"png\":\"" + png + "\",\"width\":640,\"height\":360}\n");
  const QImage tone(QString::fromStdString(png));
  EXPECT_EQ(tone.size(), QSize(640, 360));
  EXPECT_GT(RedOf(tone).count, 500);

  const Result fetched = Run({"--layout", layout, "plot", "-o", png, "--mode", "constellation"});
  EXPECT_EQ(fetched.status, ExitSuccess) << fetched.err;
  EXPECT_EQ(fetched.out, "");
  const QImage board(QString::fromStdString(png));
  EXPECT_EQ(board.size(), QSize(1600, 900));
  // Without a layout file, the board's tone is a circle on fitted axes.
  const Red circle = RedOf(board);
  EXPECT_GT(circle.count, 500);
  EXPECT_NEAR(circle.box.width(), circle.box.height(), 0.02 * circle.box.height());

  const Result missing = Run({"plot", "-o", png, base + ".bin"});
  EXPECT_EQ(missing.status, ExitUsage);
  EXPECT_NE(missing.err.find(base + ".bin"), std::string::npos);
}

TEST_F(Plot, RefusesMetadataItCannotReadABadRateAndAPngItCannotWrite) {
  RecordTone(8000);
  const std::string meta = base + ".sigmf-meta";
  const std::string good = R"({"global": {"core:datatype": "ci16_be", "core:sample_rate": 1e6}})";
  struct Row {
    std::string meta;
    std::vector<std::string> options;
    int status;
    std::string err;  // a part of the message
  };
  const Row rows[] = {
      {R"({"global": {"core:datatype": "cf32_le"}})", {}, ExitUsage,
       meta + ": unsupported datatype cf32_le"},
      {"", {}, ExitUsage, meta + ": [json.exception.parse_error.101] parse error"},
      {"{\"global\": {", {}, ExitUsage, meta + ": [json.exception.parse_error.101] parse error"},
      {good, {"--rate", "0"}, ExitUsage, "'0' is not a sample rate in MHz"},
      {good, {"--rate", "-1"}, ExitUsage, "'-1' is not a sample rate in MHz"},
      {good, {"--rate", "nan"}, ExitUsage, "'nan' is not a sample rate in MHz"},
      {good, {"-o", (folder / "absent" / "plot.png").string()}, ExitOutput, "Unable to write to"},
  };
  for (const Row& row : rows) {
    WriteMeta(row.meta);
    // The recording by its base name, its data file and its meta file.
    for (const std::string& input : {base, base + ".sigmf-data", meta}) {
      std::vector<std::string> arguments{"--layout", layout, "plot", "-o", png};
      arguments.insert(arguments.end(), row.options.begin(), row.options.end());
      arguments.push_back(input);
      const Result result = Run(arguments);
      EXPECT_EQ(result.status, row.status) << row.meta << ' ' << input;
      EXPECT_NE(result.err.find(row.err), std::string::npos) << result.err;
    }
  }
}

// On the real axis, where the rate places the samples.
TEST_F(Plot, TheRecordingsRateIsThePlotsUnlessRateIsGiven) {
  RecordTone(8000);
  std::ofstream(layout) << "[CHART]\nFREQ=3\n";
  const QImage at2 = Drawn({"--real-axis", "--rate", "2"});
  const QImage at3 = Drawn({"--real-axis", "--rate", "3"});
  EXPECT_NE(at2, at3);
  EXPECT_EQ(Drawn({"--real-axis"}), at3);  // the layout file's

  WriteMeta(R"({"global": {"core:datatype": "ci16_be", "core:sample_rate": 2e6}})");
  std::string err;
  EXPECT_EQ(Drawn({"--real-axis"}, &err), at2);
  EXPECT_EQ(err, "");
  EXPECT_EQ(Drawn({"--real-axis", "--rate", "3"}), at3);
}

// A faint tone fills the picture on fitted axes, and hardly shows within the
// layout file's limits.
TEST_F(Plot, AxesFitTheDataWithoutLimitsFromTheLayoutFileOrWithFit) {
  RecordTone(1000);
  struct Row {
    std::string layout;  // none when empty
    std::vector<std::string> options;
    bool fits;
  };
  const Row rows[] = {
      {"", {}, true},
      {"[USB]\nBaudRate=9600\n", {}, true},
      {"[CHART]\nMaxY=10000\n", {}, false},
      {"[CHART]\nMaxY=10000\n", {"--fit"}, true},
  };
  for (const Row& row : rows) {
    fs::remove(layout);
    if (!row.layout.empty()) std::ofstream(layout) << row.layout;
    const QImage image = Drawn(row.options);
    EXPECT_EQ(RedOf(image).box.height() > 0.6 * image.height(), row.fits) << row.layout;
  }
}
