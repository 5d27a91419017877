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
#include "ctl/sigmf.h"
#include "link/comport.h"
#include "panel/layoutmodel.h"
#include "platform/filereplace.h"
#include "platform/numtext.h"
#include "platform/profile.h"

using json = nlohmann::ordered_json;

namespace {

struct CaptureOptions {
  std::int64_t blocks = 1;
  std::string dataPath;
  std::string metaPath;  // empty for the raw format
};

CaptureOptions OptionsOf(const ParsedArguments& arguments) {
  ExpectArguments(arguments, 0, "no arguments");
  CaptureOptions options;
  const std::string count = arguments.Value("-n", "1");
  const auto blocks = ParseIntegerText(count);
  if (!blocks || *blocks < 1) throw UsageFailure("'" + count + "' is not a block count");
  options.blocks = *blocks;
  const std::string base = arguments.Value("-o", "");
  if (base.empty()) throw UsageFailure("capture needs -o BASE");
  const std::string format = arguments.Value("--format", "sigmf");
  if (format == "sigmf") {
    options.dataPath = base + ".sigmf-data";
    options.metaPath = base + ".sigmf-meta";
  } else if (format == "raw") {
    options.dataPath = base + ".bin";
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

// The data goes out through a large buffer, a write per 256 blocks, never
// synced: the board, not the disk, should set the pace. The metadata is
// written once, when the recording ends, however it ends: rewriting it after
// every block would cost more than the block. A recording killed outright
// keeps its data without metadata.
class RecordingFiles {
 public:
  RecordingFiles(const CaptureOptions& options, SigmfRecording description)
      : options_(options), description_(std::move(description)),
        data_(std::fopen(options.dataPath.c_str(), "wb"), std::fclose) {
    if (!data_) throw CtlFailure(ExitUsage, "Unable to write to " + options.dataPath);
    std::setvbuf(data_.get(), buffer_.data(), _IOFBF, buffer_.size());
  }

  void Add(std::span<const std::uint8_t> block) {
    std::fwrite(block.data(), 1, block.size(), data_.get());
    description_.arrivals.push_back(std::chrono::system_clock::now());
  }

  // Throws CtlFailure when a file could not be written.
  json Finish() {
    const bool failed = std::ferror(data_.get()) != 0;
    if (std::fclose(data_.release()) != 0 || failed)
      throw CtlFailure(ExitUsage, "Unable to write to " + options_.dataPath);
    const std::size_t blocks = description_.arrivals.size();
    json summary{{"blocks", blocks}, {"bytes", blocks * BlockBytes}, {"data", options_.dataPath}};
    if (options_.metaPath.empty()) return summary;
    if (!ReplaceFileContent(options_.metaPath, SigmfMeta(description_)))
      throw CtlFailure(ExitUsage, "Unable to write to " + options_.metaPath);
    summary["meta"] = options_.metaPath;
    return summary;
  }

 private:
  const CaptureOptions& options_;
  SigmfRecording description_;
  std::vector<char> buffer_ = std::vector<char>(256 * BlockBytes);  // outlives data_
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> data_;
};

// Fetches blocks into the files until `count` are in, a block fails or a
// signal comes; false when a block failed. The line gets no time to settle
// after a block: a wait on every block would cost the recording its pace, so
// only the part of an over-long answer that has come with the block fails it.
bool RecordBlocks(TComPort& port, const CaptureClock& now, RecordingFiles& files,
                  std::int64_t count, const StopSignals& stop) {
  Progress progress;
  std::array<std::uint8_t, BlockBytes> block;
  const auto toTheEnd = [](int) { return true; };
  for (std::int64_t done = 0; done < count && !stop.Caught(); ++done) {
    if (FetchBlock(port, block, now, std::chrono::milliseconds(0), toTheEnd) != BlockResult::Whole)
      return false;
    files.Add(block);
    progress.Count();
  }
  return true;
}

// A failed block or a signal ends the recording; the blocks before it stay.
void Capture(Session& session, const ParsedArguments& arguments) {
  const CaptureOptions options = OptionsOf(arguments);
  SigmfRecording description{0, "tarnwick board on " + session.PortName(), {}};
  if (!options.metaPath.empty()) description.sampleRate = SampleRate(session, arguments);
  TComPort port;
  session.Open(port);
  const PortCloser closer(port);
  RecordingFiles files(options, std::move(description));

  const StopSignals stop;
  const bool whole = RecordBlocks(port, session.now, files, options.blocks, stop);
  const json summary = files.Finish();
  if (session.json) session.out << summary.dump() << '\n';
  if (!whole) throw CtlFailure(ExitAnswer, "Timeout");
  if (stop.Caught()) throw CtlFailure(static_cast<ExitStatus>(ExitSignal + stop.Caught()), "");
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
