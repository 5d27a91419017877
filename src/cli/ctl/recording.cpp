// The capture window's blocks recorded as they come: SigMF (the data and its
// metadata) or the bare bytes.
#include "ctl/recording.h"

#include <unistd.h>

#include <array>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "capture/captureblock.h"
#include "ctl/recordingfiles.h"
#include "link/comport.h"
#include "panel/layoutmodel.h"
#include "platform/numtext.h"
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
  const std::string count = arguments.Value("-n", "1");
  const auto blocks = ParseIntegerText(count);
  if (!blocks || *blocks < 1) throw UsageFailure("'" + count + "' is not a block count");
  options.blocks = *blocks;
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

// Ctrl+C, SIGTERM and SIGHUP (a closed terminal or session) end a recording
// between two blocks, so that the files keep whole blocks only and the
// metadata that describes them; the handler only notes the signal. The handlers before ours come back at the end:
// RunCtl may run inside a program with handlers of its own.
class StopSignals {
 public:
  StopSignals() {
    caught_ = 0;
    struct sigaction noting {};
    noting.sa_handler = [](int signal) { caught_ = signal; };
    sigemptyset(&noting.sa_mask);
    for (std::size_t i = 0; i < Signals.size(); ++i) sigaction(Signals[i], &noting, &previous_[i]);
  }
  ~StopSignals() {
    for (std::size_t i = 0; i < Signals.size(); ++i) sigaction(Signals[i], &previous_[i], nullptr);
  }
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

  int Caught() const { return caught_; }

 private:
  static constexpr std::array<int, 3> Signals{SIGINT, SIGTERM, SIGHUP};
  static inline volatile std::sig_atomic_t caught_ = 0;
  std::array<struct sigaction, Signals.size()> previous_{};
};

// Blocks done and blocks per second, redrawn in place at most ten times a
// second for a person at a terminal; nothing for a script or a log. It goes
// straight to the terminal, since only a terminal shows it.
class Progress {
 public:
  void Count() {
    ++blocks_;
    if (shown_ && Clock::now() - drawn_ >= std::chrono::milliseconds(100)) Draw();
  }
  ~Progress() {
    if (drawn_ == start_) return;  // too short a recording to show
    Draw();
    std::cerr << '\n';
  }

 private:
  using Clock = std::chrono::steady_clock;

  void Draw() {
    drawn_ = Clock::now();
    const double seconds = std::chrono::duration<double>(drawn_ - start_).count();
    std::cerr << '\r' << blocks_ << " blocks, " << std::lround(blocks_ / seconds) << " blocks/s"
              << EraseToLineEnd << std::flush;
  }

  static constexpr const char* EraseToLineEnd = "\033[K";  // of a longer line drawn before

  const bool shown_ = isatty(STDERR_FILENO) == 1;
  const Clock::time_point start_ = Clock::now();
  Clock::time_point drawn_ = start_;
  std::int64_t blocks_ = 0;
};

// Why a recording ended before its count.
enum class Ending { Done, Unwritable, Signal, Failed };

// Fetches blocks into the files until `count` are in, a file cannot be
// written, a signal comes (at once, even while the board is silent) or a
// block fails. The line gets no time to
// settle after a block: a wait on every block would cost the recording its
// pace, so only the part of an over-long answer that has come with the block
// fails it.
Ending RecordBlocks(TComPort& port, const CaptureClock& now, RecordingFiles& files,
                    std::int64_t count, const StopSignals& stop) {
  Progress progress;
  std::array<std::uint8_t, BlockBytes> block;
  const auto untilASignal = [&](int) { return !stop.Caught(); };
  for (std::int64_t done = 0; done < count; ++done) {
    if (stop.Caught()) return Ending::Signal;
    const auto requested = std::chrono::system_clock::now();
    const BlockResult result =
        FetchBlock(port, block, now, std::chrono::milliseconds(0), untilASignal);
    if (result == BlockResult::Abandoned) return Ending::Signal;
    if (result != BlockResult::Whole) return Ending::Failed;
    if (!files.Add(block, requested)) return Ending::Unwritable;
    progress.Count();
  }
  return Ending::Done;
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
  const Ending ending = RecordBlocks(port, session.now, files, options.blocks, stop);
  const RecordingEnd end = files.Finish();
  if (session.json) session.out << Summary(options.files, end.blocks).dump() << '\n';
  if (!end.failure.empty()) throw CtlFailure(ExitOutput, end.failure);
  if (ending == Ending::Failed) throw LinkFailure(LinkError::NoAnswer, port);
  if (ending == Ending::Signal) throw CtlFailure(static_cast<ExitStatus>(ExitSignal + stop.Caught()), "");
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
