// The Telnet stream a port server sends: however TCP cuts it into segments,
// the parser takes out the same data and the same commands; and any bytes
// sent escaped come back as the same data and nothing else.
//
// Input: the first byte picks where the stream is cut into two segments; the
// rest is the stream.
#include <cstdint>
#include <vector>

#include "fuzz_support.h"
#include "link/telnet.h"

namespace {

struct Parsed {
  std::vector<std::uint8_t> data;
  std::vector<telnet::Command> commands;
};

Parsed ParseInSegments(const std::uint8_t* bytes, std::size_t size, std::size_t cut) {
  Parsed parsed;
  telnet::Parser parser;
  parser.Feed(bytes, cut, parsed.data, parsed.commands);
  parser.Feed(bytes + cut, size - cut, parsed.data, parsed.commands);
  return parsed;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t* stream = input + 1;
  const std::size_t length = size - 1;
  const std::size_t cut = length == 0 ? 0 : input[0] % (length + 1);

  const Parsed whole = ParseInSegments(stream, length, 0);
  const Parsed cutUp = ParseInSegments(stream, length, cut);
  Require(cutUp.data == whole.data, "a cut between segments changes no data");
  Require(cutUp.commands == whole.commands, "a cut between segments changes no command");
  Require(whole.data.size() <= length, "no more data than bytes");

  std::vector<std::uint8_t> escaped;
  telnet::AppendEscaped(escaped, stream, length);
  const Parsed back = ParseInSegments(escaped.data(), escaped.size(), cut % (escaped.size() + 1));
  Require(back.data == std::vector<std::uint8_t>(stream, stream + length),
          "escaped bytes come back as they were");
  Require(back.commands.empty(), "escaped bytes hold no command");
  return 0;
}
