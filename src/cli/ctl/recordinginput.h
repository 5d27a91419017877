#pragma once
// A recording read back, as plot and measure take it: named by its data
// file, its .sigmf-meta file or its base name; its blocks the board's
// answers one after the other.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "capture/history.h"

struct RecordingInput {
  std::filesystem::path data;
  std::optional<double> rateMHz;  // what its metadata gives, if it gives one
};

// Throws CtlFailure(ExitUsage) for a recording that is not there, or
// metadata that cannot be read or tells of samples other than the board's.
RecordingInput OpenRecording(const std::string& input);

using TakeBlock = std::function<void(std::span<const std::uint8_t, BlockBytes>)>;

// Hands on the first `count` blocks of the data file, or all of them.
// Throws CtlFailure(ExitUsage) when it cannot be read or holds fewer whole
// blocks than `count`, or none. Returns how many it handed on.
std::int64_t ReadBlocks(const std::filesystem::path& data, std::optional<std::int64_t> count,
                        const TakeBlock& take);
