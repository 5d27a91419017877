#pragma once
// The files of a recording while it is made. Each is written under a
// temporary name beside its target ("rec.sigmf-data.recording") and takes
// the target's place only when the recording ends with a block in it: a
// recording that got nothing leaves no files and an earlier one of the same
// name as it was.
//
// The data goes out through a large buffer, written when it holds 256 blocks
// or has waited 100 ms, never synced: the board, not the disk, sets the pace,
// and a write that fails is known within 100 ms. The metadata's captures go
// out with the data, just before it, so that on a full disk they are already
// there: a failure then cuts them back to the blocks the data file kept,
// which needs no room.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "ctl/sigmf.h"

struct RecordingTargets {
  std::string data;
  std::string meta;  // empty for the raw format, which has none
};

// How a recording's files ended.
struct RecordingEnd {
  std::int64_t blocks = 0;  // whole blocks kept, and described
  std::string failure;      // the message for a file that could not be written
};

// One file under its temporary name until it is delivered.
class OutputFile {
 public:
  // Throws CtlFailure(ExitOutput) when it cannot be created.
  explicit OutputFile(std::string target);
  ~OutputFile();  // an undelivered file leaves nothing behind
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // False when not every byte went out; Size() counts those that did.
  bool Append(std::string_view bytes);
  std::uint64_t Size() const { return size_; }
  // Keeps the first `keep` bytes, then `ending`, and closes the file.
  bool Close(std::uint64_t keep, std::string_view ending);
  // Moves it to its target, replacing what was there.
  bool Deliver();
  const std::string& Target() const { return target_; }
  std::string Failure() const { return "Unable to write to " + target_; }

 private:
  std::string target_, temporary_;
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file_;
  std::uint64_t size_ = 0;
  bool delivered_ = false;
};

class RecordingFiles {
 public:
  RecordingFiles(const RecordingTargets& targets, const SigmfGlobal& global);

  // Takes a block requested at `requested`; false once a file could not be
  // written, which ends the recording.
  bool Add(std::span<const std::uint8_t> block, std::chrono::system_clock::time_point requested);
  // Writes what waits, describes the blocks kept and delivers the files;
  // the first failure on the way is told, the blocks before it kept.
  RecordingEnd Finish();

 private:
  bool Flush();
  bool Fail(const OutputFile& file);
  void Deliver(bool withMeta);

  static constexpr std::size_t BatchBlocks = 256;
  static constexpr std::chrono::milliseconds LongestHold{100};

  OutputFile data_;
  std::optional<OutputFile> meta_;
  std::vector<std::uint8_t> pendingData_;
  std::string pendingCaptures_;
  std::vector<std::uint64_t> captureEnds_;  // in the meta file, of each pending block
  std::chrono::steady_clock::time_point lastFlush_ = std::chrono::steady_clock::now();
  std::int64_t added_ = 0;
  std::int64_t kept_ = 0;        // whole blocks in the data file
  std::uint64_t metaKept_ = 0;   // the meta file's bytes that describe them
  std::string failure_;
};
