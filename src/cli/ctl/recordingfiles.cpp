#include "ctl/recordingfiles.h"

#include <filesystem>
#include <system_error>

#include "capture/history.h"
#include "ctl/session.h"

namespace fs = std::filesystem;

OutputFile::OutputFile(std::string target)
    : target_(std::move(target)), temporary_(target_ + ".recording"),
      file_(std::fopen(temporary_.c_str(), "wb"), std::fclose) {
  if (!file_) throw CtlFailure(ExitOutput, Failure());
  // The callers buffer: a failed write is then known at once, and how much of it went.
  std::setvbuf(file_.get(), nullptr, _IONBF, 0);
}

OutputFile::~OutputFile() {
  file_.reset();
  std::error_code ignored;
  if (!delivered_) fs::remove(temporary_, ignored);
}

bool OutputFile::Append(std::string_view bytes) {
  const std::size_t written = std::fwrite(bytes.data(), 1, bytes.size(), file_.get());
  size_ += written;
  return written == bytes.size();
}

bool OutputFile::Close(std::uint64_t keep, std::string_view ending) {
  // The metadata never reaches 2 GB, where a long offset would end on Windows.
  bool closed = ending.empty() || (std::fseek(file_.get(), static_cast<long>(keep), SEEK_SET) == 0 &&
                                   std::fwrite(ending.data(), 1, ending.size(), file_.get()) ==
                                       ending.size());
  closed = std::fclose(file_.release()) == 0 && closed;
  std::error_code error;
  if (keep + ending.size() != size_) fs::resize_file(temporary_, keep + ending.size(), error);
  return closed && !error;
}

bool OutputFile::Deliver() {
  std::error_code error;
  fs::rename(temporary_, target_, error);
  delivered_ = !error;
  return delivered_;
}

RecordingFiles::RecordingFiles(const RecordingTargets& targets, const SigmfGlobal& global)
    : data_(targets.data) {
  pendingData_.reserve(BatchBlocks * BlockBytes);
  if (targets.meta.empty()) return;
  meta_.emplace(targets.meta);
  if (!meta_->Append(SigmfHead(global))) throw CtlFailure(ExitOutput, meta_->Failure());
  metaKept_ = meta_->Size();
}

bool RecordingFiles::Add(std::span<const std::uint8_t> block,
                         std::chrono::system_clock::time_point requested) {
  pendingData_.insert(pendingData_.end(), block.begin(), block.end());
  if (meta_) {
    pendingCaptures_ += SigmfCapture(added_, requested);
    captureEnds_.push_back(meta_->Size() + pendingCaptures_.size());
  }
  ++added_;
  if (pendingData_.size() < BatchBlocks * BlockBytes &&
      std::chrono::steady_clock::now() - lastFlush_ < LongestHold)
    return true;
  return Flush();
}

bool RecordingFiles::Flush() {
  lastFlush_ = std::chrono::steady_clock::now();
  if (meta_ && !meta_->Append(pendingCaptures_)) return Fail(*meta_);
  const std::uint64_t before = data_.Size();
  const bool written = data_.Append({reinterpret_cast<const char*>(pendingData_.data()),
                                     pendingData_.size()});
  const auto whole = static_cast<std::int64_t>((data_.Size() - before) / BlockBytes);
  if (meta_ && whole > 0) metaKept_ = captureEnds_[static_cast<std::size_t>(whole - 1)];
  kept_ += whole;
  pendingData_.clear();
  pendingCaptures_.clear();
  captureEnds_.clear();
  return written || Fail(data_);
}

bool RecordingFiles::Fail(const OutputFile& file) {
  if (failure_.empty()) failure_ = file.Failure();
  return false;
}

RecordingEnd RecordingFiles::Finish() {
  if (failure_.empty()) Flush();
  if (!data_.Close(static_cast<std::uint64_t>(kept_) * BlockBytes, {})) Fail(data_);
  // Cut back to the blocks kept, the metadata needs no room for its tail
  // unless the disk filled within its last bytes.
  const bool described = meta_ && meta_->Close(metaKept_, SigmfTail());
  if (meta_ && !described) Fail(*meta_);
  if (kept_ > 0) Deliver(described);
  return {kept_, failure_};
}

// The data is delivered even without its metadata: the blocks are what the
// user came for. An earlier recording's metadata must then go, or it would
// describe the new data.
void RecordingFiles::Deliver(bool withMeta) {
  if (!data_.Deliver()) {
    Fail(data_);
    return;
  }
  if (!meta_ || (withMeta && meta_->Deliver())) return;
  Fail(*meta_);
  std::error_code ignored;
  fs::remove(meta_->Target(), ignored);
}
