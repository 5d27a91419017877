// The capture window's blocks recorded as they come: SigMF (the data and its
// metadata) or the bare bytes.
#include "ctl/recording.h"

#include <chrono>
#include <cstdio>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "capture/captureblock.h"
#include "ctl/boardblocks.h"
#include "ctl/recordingfiles.h"
#include "link/comport.h"
#include "panel/layoutmodel.h"
#include "platform/profile.h"

using json = nlohmann::ordered_json;

namespace {

struct CaptureOptions {
  std::int64_t blocks = 1;
  RecordingTargets files;
};

// "-o rec.sigmf-data" and "-o rec.sigmf-meta" name the recording "rec", as
// "-o rec.bin" does a raw one.
std::string BaseOf(const std::string& named, const std::vector<std::string>& extensions) {
  for (const std::string& extension : extensions)
    if (named.size() > extension.size() && named.ends_with(extension))
      return named.substr(0, named.size() - extension.size());
  return named;
}

CaptureOptions OptionsOf(const ParsedArguments& arguments) {
  ExpectArguments(arguments, 0, "no arguments");
  CaptureOptions options;
  options.blocks = BlockCountOption(arguments).value_or(1);
  const std::string named = arguments.Value("-o", "");
  if (named.empty()) throw UsageFailure("capture needs -o BASE");
  const std::string format = arguments.Value("--format", "sigmf");
  if (format == "sigmf") {
    const std::string base = BaseOf(named, {".sigmf-data", ".sigmf-meta"});
    options.files = {base + ".sigmf-data", base + ".sigmf-meta"};
  } else if (format == "raw") {
    options.files = {BaseOf(named, {".bin"}) + ".bin", ""};
  } else {
    throw UsageFailure("unknown format " + format);
  }
  return options;
}

// In Hz: --rate in MHz, else the capture window's rate from the layout file.
// Only the SigMF metadata tells it.
double SampleRate(const Session& session, const ParsedArguments& arguments) {
  const auto given = RateOption(arguments);
  return (given ? *given : session.LayoutRateMHz()) * 1e6;
}

json Summary(const RecordingTargets& targets, std::int64_t blocks) {
  json summary{{"blocks", blocks}, {"bytes", blocks * BlockBytes}};
  if (blocks == 0) return summary;  // no file was made
  summary["data"] = targets.data;
  if (!targets.meta.empty()) summary["meta"] = targets.meta;
  return summary;
}

// Whatever ends the recording, the blocks before it stay, described; the
// first cause is the one told.
void Capture(Session& session, const ParsedArguments& arguments) {
  const CaptureOptions options = OptionsOf(arguments);
  SigmfGlobal global{0, "tarnwick board on " + session.PortName()};
  if (!options.files.meta.empty()) global.sampleRate = SampleRate(session, arguments);
  TComPort port;
  session.Open(port);
  const PortCloser closer(port);
  RecordingFiles files(options.files, global);

  const StopSignals stop;
  const auto record = [&](auto block, auto requested) { return files.Add(block, requested); };
  const Ending ending = FetchBlocks(port, session.now, options.blocks, stop, record);
  const RecordingEnd end = files.Finish();
  if (session.json) session.out << Summary(options.files, end.blocks).dump() << '\n';
  if (!end.failure.empty()) throw CtlFailure(ExitOutput, end.failure);
  ThrowForEnding(ending, port, stop);
}

}  // namespace

Command CaptureCommand() {
  return {"capture",
          "  capture [-n N] -o BASE [--format sigmf|raw] [--rate MHZ]\n"
          "                         fetch N blocks (default 1) and record them: BASE.sigmf-data\n"
          "                         and BASE.sigmf-meta, or BASE.bin (raw); MHZ: the sample rate,\n"
          "                         else the layout file's FREQ\n",
          {{"-n", "-o", "--format", "--rate"}, {}},
          Capture};
}
