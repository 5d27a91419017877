#include "capture/dumpfile.h"

#include <array>
#include <bit>
#include <cstdint>
#include <filesystem>
#include <limits>

#include "capture/history.h"
#include "platform/errors.h"
#include "platform/filereplace.h"

namespace {

static_assert(std::numeric_limits<float>::is_iec559 && sizeof(float) == 4);

constexpr std::size_t DumpBytes = 2 * BlockLength * sizeof(float);

using DumpImage = std::array<char, DumpBytes>;

// A 16-bit sample is exact in single precision. The bytes are laid out least
// significant first by arithmetic, whatever the host's own order.
char* PutFloat(char* at, std::int32_t sample) {
  auto bits = std::bit_cast<std::uint32_t>(static_cast<float>(sample));
  for (int b = 0; b < 4; ++b, bits >>= 8) *at++ = static_cast<char>(bits & 0xFF);
  return at;
}

DumpImage DumpContent(const SampleHistory& history) {
  DumpImage image;
  char* at = image.data();
  for (int k = 0; k < BlockLength; ++k) {
    at = PutFloat(at, history.HistoryI[k]);
    at = PutFloat(at, history.HistoryQ[k]);
  }
  return image;
}

}  // namespace

std::string DumpFilePath() { return (std::filesystem::current_path() / "dump.bin").string(); }

void WriteDump(const std::string& path, const SampleHistory& history) {
  const DumpImage image = DumpContent(history);
  if (!ReplaceFileContent(path, std::string_view(image.data(), image.size())))
    throw WriteError("Unable to write to " + path);
}
