// tarnwick-ctl measure: blocks from the board and from recordings, measured.
#include <gtest/gtest.h>

#include <cmath>

#include "ctl_fixture.h"

using json = nlohmann::ordered_json;

namespace {

// A tone of known figures: amplitude 8000, noise σ = 3 on either channel
// (low enough to leave the harmonic's zone its own), a second harmonic at
// −60 dBc, 37 cycles a block.
BoardOptions KnownTone() {
  BoardOptions options;
  options.signal = {.cyclesPerBlock = 37, .amplitude = 8000, .noise = 3, .harmonics = {{2, -60.0}}};
  return options;
}

class Measuring : public CtlFiles {
 protected:
  Measuring() : CtlFiles(KnownTone()) {}

  // The JSON of a measurement that must succeed.
  static json Measured(const Result& result) {
    EXPECT_EQ(result.status, ExitSuccess) << result.err;
    return json::parse(result.out);
  }
};

}  // namespace

TEST_F(Measuring, BlocksFromTheBoardMeasureNearTheirTruth) {
  const json m = Measured(Run({"--json", "measure", "-n", "64", "--rate", "1"}));
  std::vector<std::string> keys;
  for (const auto& item : m.items()) keys.push_back(item.key());
  EXPECT_EQ(keys, (std::vector<std::string>{"blocks", "source", "rate_hz", "fundamental_bin",
                                             "fundamental_hz", "fundamental_dbfs", "snr_db",
                                             "sinad_db", "sfdr_dbc", "thd_dbc", "enob_bits",
                                             "noise_floor_dbfs", "harmonics"}));
  EXPECT_EQ(m["blocks"], 64);
  EXPECT_EQ(m["source"], "iq");
  EXPECT_EQ(m["rate_hz"], 1e6);
  EXPECT_EQ(m["fundamental_bin"], 37);
  EXPECT_DOUBLE_EQ(m["fundamental_hz"].get<double>(), 37 * 1e6 / 1024);
  // The noise of both channels, with the rounding to whole counts.
  const double snrTruth = 10 * std::log10(8000.0 * 8000 / (2 * 3.0 * 3 + 2.0 / 12));
  EXPECT_NEAR(m["snr_db"].get<double>(), snrTruth, 0.5);
  EXPECT_NEAR(m["thd_dbc"].get<double>(), -60, 1);
  EXPECT_NEAR(m["sfdr_dbc"].get<double>(), 60, 1);
  ASSERT_EQ(m["harmonics"].size(), 4u);
  EXPECT_EQ(m["harmonics"][0]["order"], 2);
  EXPECT_EQ(m["harmonics"][0]["bin"], 74);
  EXPECT_NEAR(m["harmonics"][0]["dbc"].get<double>(), -60, 1);
}

// The recording's blocks measure as the same blocks fetched from a board of
// the same settings; the recording's rate is taken. Figures that are no
// number are null, and "-" in text.
TEST_F(Measuring, ARecordingMeasuresAsItsBlocksFromTheBoard) {
  ASSERT_EQ(Run({"capture", "-n", "3", "-o", base, "--rate", "2"}).status, ExitSuccess);
  const PtyBoard fresh(KnownTone());
  std::ostringstream out, err;
  RunCtl({"--port", fresh.PortPath(), "--json", "measure", "-n", "2", "--rate", "2"}, out, err);
  const json fromBoard = json::parse(out.str());
  EXPECT_EQ(fromBoard["rate_hz"], 2e6);
  EXPECT_EQ(Measured(Run({"--json", "measure", "-n", "2", base + ".sigmf-meta"})), fromBoard);
  EXPECT_EQ(Measured(Run({"--json", "measure", base}))["blocks"], 3);

  const std::string silence = (folder / "silence.bin").string();
  std::ofstream(silence, std::ios::binary) << std::string(4096, '\0');
  const json none = Measured(Run({"--json", "measure", silence, "--rate", "1"}));
  EXPECT_TRUE(none["snr_db"].is_null());
  EXPECT_TRUE(none["harmonics"][0]["dbc"].is_null());
  const Result text = Run({"measure", silence, "--rate", "1"});
  EXPECT_NE(text.out.find("\nSNR - dB\n"), std::string::npos) << text.out;
}

TEST_F(Measuring, RefusesABadSourceCountOrRate) {
  ASSERT_EQ(Run({"capture", "-n", "3", "-o", base, "--rate", "2"}).status, ExitSuccess);
  struct Row {
    std::vector<std::string> arguments;
    std::string err;  // a part of the message
  };
  const Row rows[] = {
      {{"measure", "--source", "iq2", base}, "unknown source iq2"},
      {{"measure", "-n", "4", base},
       base + ".sigmf-data holds only 3 whole blocks of 4096 bytes, not 4"},
      {{"measure", "-n", "0"}, "'0' is not a block count"},
      {{"measure", "--rate", "0"}, "'0' is not a sample rate in MHz"},
  };
  for (const Row& row : rows) {
    const Result result = Run(row.arguments);
    EXPECT_EQ(result.status, ExitUsage) << row.err;
    EXPECT_NE(result.err.find(row.err), std::string::npos) << result.err;
  }
}
