#include "capture/dumpfile.h"

#include <array>
#include <bit>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <limits>
#include <system_error>

#include "capture/history.h"
#include "platform/errors.h"

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

DumpImage DumpContent() {
  DumpImage image;
  char* at = image.data();
  for (int k = 0; k < BlockLength; ++k) {
    at = PutFloat(at, HistoryI[k]);
    at = PutFloat(at, HistoryQ[k]);
  }
  return image;
}

bool WriteNewFile(const std::filesystem::path& path, const DumpImage& content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
  out.close();
  return !out.fail();
}

}  // namespace

std::string DumpFilePath() { return (std::filesystem::current_path() / "dump.bin").string(); }

void WriteDump(const std::string& path) {
  // The new dump goes to a file beside the old one, which it then replaces in
  // one step: a failure at any point leaves the old dump whole and no partial
  // file behind.
  const std::filesystem::path target(path);
  std::filesystem::path beside = target;
  beside += ".saving";
  std::error_code error;
  if (WriteNewFile(beside, DumpContent())) {
    std::filesystem::rename(beside, target, error);
    if (!error) return;
  }
  std::filesystem::remove(beside, error);
  throw WriteError("Unable to write to " + path);
}
