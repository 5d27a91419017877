#include "ctl/recordinginput.h"

#include <array>
#include <fstream>
#include <nlohmann/json.hpp>

#include "ctl/session.h"

using json = nlohmann::ordered_json;

namespace {

std::filesystem::path DataFileOf(const std::string& input) {
  std::filesystem::path named(input);
  if (named.extension() == ".sigmf-meta") return named.replace_extension(".sigmf-data");
  for (const std::string& candidate : {input, input + ".sigmf-data", input + ".bin"})
    if (std::filesystem::is_regular_file(candidate)) return candidate;
  throw CtlFailure(ExitUsage,
                   "Unable to read " + input + ", " + input + ".sigmf-data or " + input + ".bin");
}

// The metadata beside a SigMF data file; a raw recording has none, and one
// whose recording was ended outright may have lost it.
std::optional<std::filesystem::path> MetaFileOf(std::filesystem::path data) {
  if (data.extension() != ".sigmf-data") return std::nullopt;
  data.replace_extension(".sigmf-meta");
  if (!std::filesystem::exists(data)) return std::nullopt;
  return data;
}

std::optional<double> RecordedRateMHz(const std::filesystem::path& meta) {
  std::ifstream stream(meta);
  if (!stream) throw CtlFailure(ExitUsage, "Unable to read " + meta.string());
  const auto fault = [&](const std::string& what) {
    return CtlFailure(ExitUsage, meta.string() + ": " + what);
  };
  try {
    const json global = json::parse(stream).at("global");
    const auto datatype = global.at("core:datatype").get<std::string>();
    if (datatype != "ci16_be") throw fault("unsupported datatype " + datatype);
    if (!global.contains("core:sample_rate")) return std::nullopt;
    const auto hertz = global["core:sample_rate"].get<double>();
    if (!(hertz > 0)) throw fault("core:sample_rate is no sample rate");
    return hertz / 1e6;
  } catch (const json::exception& error) {
    throw fault(error.what());
  }
}

}  // namespace

RecordingInput OpenRecording(const std::string& input) {
  RecordingInput recording{DataFileOf(input), std::nullopt};
  if (const auto meta = MetaFileOf(recording.data)) recording.rateMHz = RecordedRateMHz(*meta);
  return recording;
}

std::int64_t ReadBlocks(const std::filesystem::path& data, std::optional<std::int64_t> count,
                        const TakeBlock& take) {
  std::ifstream stream(data, std::ios::binary);
  if (!stream) throw CtlFailure(ExitUsage, "Unable to read " + data.string());
  std::array<std::uint8_t, BlockBytes> block;
  std::int64_t read = 0;
  while ((!count || read < *count) &&
         stream.read(reinterpret_cast<char*>(block.data()), BlockBytes)) {
    take(block);
    ++read;
  }
  const std::string whole = " of " + std::to_string(BlockBytes) + " bytes";
  if (read == 0) throw CtlFailure(ExitUsage, data.string() + " holds no whole block" + whole);
  if (count && read < *count)
    throw CtlFailure(ExitUsage, data.string() + " holds only " + std::to_string(read) +
                                    " whole blocks" + whole + ", not " + std::to_string(*count));
  return read;
}
