#include "ctl/measure.h"

#include <cmath>
#include <iomanip>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <sstream>
#include <vector>

#include "capture/measurement.h"
#include "ctl/boardblocks.h"
#include "ctl/recordinginput.h"
#include "link/comport.h"

using json = nlohmann::ordered_json;

namespace {

struct Source {
  const char* name;
  MeasureSource source;
};
constexpr Source Sources[] = {
    {"iq", MeasureSource::Iq}, {"i", MeasureSource::I}, {"q", MeasureSource::Q}};

const Source& SourceOf(const ParsedArguments& arguments) {
  const std::string named = arguments.Value("--source", "iq");
  for (const Source& source : Sources)
    if (named == source.name) return source;
  throw UsageFailure("unknown source " + named);
}

// Both channels of every block taken, one block after another, decoded as the
// capture window decodes them.
class Channels {
 public:
  void Add(std::span<const std::uint8_t, BlockBytes> block) {
    decoder_->Decode(block);
    i_.insert(i_.end(), decoder_->HistoryI.begin(), decoder_->HistoryI.begin() + BlockLength);
    q_.insert(q_.end(), decoder_->HistoryQ.begin(), decoder_->HistoryQ.begin() + BlockLength);
  }
  std::int64_t Blocks() const { return static_cast<std::int64_t>(i_.size()) / BlockLength; }
  Measurement Measured(MeasureSource source, double rateHz) const {
    return Measure(i_, q_, source, rateHz);
  }

 private:
  std::unique_ptr<SampleHistory> decoder_ = std::make_unique<SampleHistory>();
  std::vector<std::int32_t> i_, q_;
};

void FetchFromBoard(const Session& session, std::int64_t count, Channels& channels) {
  TComPort port;
  session.Open(port);
  const PortCloser closer(port);
  const StopSignals stop;
  const auto keep = [&](auto block, auto) {
    channels.Add(block);
    return true;
  };
  ThrowForEnding(FetchBlocks(port, session.now, count, stop, keep), port, stop);
}

// A figure that is no number (a harmonic without a bin of its own, silence)
// is "-" in text; JSON tells it as null.
std::string Text(double figure, int decimals) {
  if (!std::isfinite(figure)) return "-";
  std::ostringstream text;
  text << std::fixed << std::setprecision(decimals) << figure;
  return text.str();
}

json Figure(double figure) { return std::isfinite(figure) ? json(figure) : json(nullptr); }

void PrintText(std::ostream& out, const Measurement& m, std::int64_t blocks, const Source& source,
               double rateHz) {
  out << "blocks " << blocks << "\nsource " << source.name << "\nrate " << rateHz / 1e6
      << " MHz\nfundamental bin " << m.fundamentalBin << "\nfundamental "
      << Text(m.fundamentalHz / 1e6, 6) << " MHz\nfundamental level "
      << Text(m.fundamentalDbfs, 2) << " dBFS\nSNR " << Text(m.snrDb, 2) << " dB\nSINAD "
      << Text(m.sinadDb, 2) << " dB\nSFDR " << Text(m.sfdrDbc, 2) << " dBc\nTHD "
      << Text(m.thdDbc, 2) << " dBc\nENOB " << Text(m.enobBits, 2) << " bits\nnoise floor "
      << Text(m.noiseFloorDbfs, 2) << " dBFS\n";
  for (const HarmonicFigure& h : m.harmonics)
    out << "harmonic " << h.order << " bin " << h.bin << ' ' << Text(h.dbc, 2) << " dBc\n";
}

json Json(const Measurement& m, std::int64_t blocks, const Source& source, double rateHz) {
  json harmonics = json::array();
  for (const HarmonicFigure& h : m.harmonics)
    harmonics.push_back({{"order", h.order}, {"bin", h.bin}, {"dbc", Figure(h.dbc)}});
  return {{"blocks", blocks},
          {"source", source.name},
          {"rate_hz", rateHz},
          {"fundamental_bin", m.fundamentalBin},
          {"fundamental_hz", Figure(m.fundamentalHz)},
          {"fundamental_dbfs", Figure(m.fundamentalDbfs)},
          {"snr_db", Figure(m.snrDb)},
          {"sinad_db", Figure(m.sinadDb)},
          {"sfdr_dbc", Figure(m.sfdrDbc)},
          {"thd_dbc", Figure(m.thdDbc)},
          {"enob_bits", Figure(m.enobBits)},
          {"noise_floor_dbfs", Figure(m.noiseFloorDbfs)},
          {"harmonics", harmonics}};
}

// The rate: --rate, else the recording's, else the layout file's, asked for
// only when neither gives one.
void RunMeasure(Session& session, const ParsedArguments& arguments) {
  if (arguments.positional.size() > 1) throw UsageFailure("expected at most one INPUT");
  const Source& source = SourceOf(arguments);
  const std::optional<std::int64_t> count = BlockCountOption(arguments);
  std::optional<double> rateMHz = RateOption(arguments);
  Channels channels;
  if (arguments.positional.empty()) {
    if (!rateMHz) rateMHz = session.LayoutRateMHz();
    FetchFromBoard(session, count.value_or(1), channels);
  } else {
    const RecordingInput recording = OpenRecording(arguments.positional[0]);
    if (!rateMHz) rateMHz = recording.rateMHz;
    if (!rateMHz) rateMHz = session.LayoutRateMHz();
    ReadBlocks(recording.data, count, [&](auto block) { channels.Add(block); });
  }
  const double rateHz = *rateMHz * 1e6;
  const Measurement measured = channels.Measured(source.source, rateHz);
  if (session.json)
    session.out << Json(measured, channels.Blocks(), source, rateHz).dump() << '\n';
  else
    PrintText(session.out, measured, channels.Blocks(), source, rateHz);
}

}  // namespace

Command MeasureCommand() {
  return {"measure",
          "  measure [INPUT] [-n B] [--source iq|i|q] [--rate MHZ] [--json]\n"
          "                         the converter's figures (fundamental, SNR, SINAD, SFDR, THD,\n"
          "                         ENOB, noise floor, harmonics 2 to 5) of B blocks fetched now\n"
          "                         (default 1) or the first B of INPUT, a recording (default\n"
          "                         all); source: I + jQ, or I or Q alone; MHZ: the sample rate,\n"
          "                         else the recording's, else the layout file's FREQ\n",
          {{"-n", "--source", "--rate"}, {}},
          RunMeasure};
}
