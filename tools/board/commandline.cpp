#include "board/commandline.h"

#include <charconv>
#include <utility>

namespace {

template <typename Number>
Number ParseNumber(const std::string& option, const std::string& text, Number low, Number high) {
  Number value{};
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (error != std::errc() || stop != end || !(value >= low && value <= high)) {
    throw UsageError("invalid value '" + text + "' for " + option);
  }
  return value;
}

// "X:DBC", a position and a level in dB relative to the tone.
template <typename Position>
std::pair<Position, double> ParseTone(const std::string& option, const std::string& text,
                                      Position low, Position high) {
  const std::size_t colon = text.find(':');
  if (colon == std::string::npos) throw UsageError("invalid value '" + text + "' for " + option);
  return {ParseNumber<Position>(option, text.substr(0, colon), low, high),
          ParseNumber<double>(option, text.substr(colon + 1), -200.0, 60.0)};
}

class ArgumentReader {
 public:
  explicit ArgumentReader(const std::vector<std::string>& arguments) : arguments_(arguments) {}

  bool Done() const { return next_ == arguments_.size(); }
  const std::string& Take() { return arguments_[next_++]; }
  const std::string& TakeValueOf(const std::string& option) {
    if (Done()) throw UsageError(option + " needs a value");
    return Take();
  }

 private:
  const std::vector<std::string>& arguments_;
  std::size_t next_ = 0;
};

}  // namespace

BoardCommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  constexpr double LargestSample = 32767.0;
  BoardCommandLine line;
  BoardOptions& options = line.options;
  ArgumentReader reader(arguments);
  while (!reader.Done()) {
    const std::string& option = reader.Take();
    if (option == "--help" || option == "-h") {
      line.help = true;
    } else if (option == "--silent") {
      options.silent = true;
    } else if (option == "--name") {
      line.name = reader.TakeValueOf(option);
    } else if (option == "--link") {
      line.link = reader.TakeValueOf(option);
    } else if (option == "--delay-ms") {
      options.answerDelay = std::chrono::milliseconds(
          ParseNumber<int>(option, reader.TakeValueOf(option), 0, 60'000));
    } else if (option == "--capture-bytes") {
      options.captureBytes =
          ParseNumber<std::size_t>(option, reader.TakeValueOf(option), 0, 1'000'000);
    } else if (option == "--rate") {
      options.lineRate =
          ParseNumber<std::uint32_t>(option, reader.TakeValueOf(option), 1, 100'000'000);
    } else if (option == "--read-bytes") {
      options.readBytes = ParseNumber<std::size_t>(option, reader.TakeValueOf(option), 0, 4096);
    } else if (option == "--cycles") {
      options.signal.cyclesPerBlock =
          ParseNumber<double>(option, reader.TakeValueOf(option), -512.0, 512.0);
    } else if (option == "--harmonic") {
      const auto [order, dbc] = ParseTone<int>(option, reader.TakeValueOf(option), 2, 100);
      options.signal.harmonics.push_back({order, dbc});
    } else if (option == "--spur") {
      const auto [cycles, dbc] = ParseTone<double>(option, reader.TakeValueOf(option), -512.0, 512.0);
      options.signal.spurs.push_back({cycles, dbc});
    } else if (option == "--amplitude") {
      options.signal.amplitude =
          ParseNumber<double>(option, reader.TakeValueOf(option), 0.0, LargestSample);
    } else if (option == "--noise") {
      options.signal.noise =
          ParseNumber<double>(option, reader.TakeValueOf(option), 0.0, LargestSample);
    } else {
      throw UsageError("unknown argument '" + option + "'");
    }
  }
  if (line.name.empty()) throw UsageError("--name needs a non-empty text");
  if (line.name.find('\n') != std::string::npos) throw UsageError("--name must be one line");
  return line;
}

std::string UsageText() {
  return "Usage: tarnwick-board [options]\n"
         "Serves a virtual Tarnwick board on a pseudo-terminal until SIGINT, SIGTERM\n"
         "or SIGHUP. Prints the port path as its first line.\n"
         "\n"
         "  --name TEXT          name shown in the port list (default \"Tarnwick virtual board\")\n"
         "  --link PATH          also make PATH a symlink to the port, removed at exit\n"
         "  --delay-ms N         wait N ms (0..60000) before every answer\n"
         "  --silent             answer nothing, like a board that is not there\n"
         "  --capture-bytes N    bytes in a capture answer (default 4096)\n"
         "  --read-bytes N       bytes in a read answer, cut or padded with zeros (default 6)\n"
         "  --rate BAUD          answers leave at this line rate, 10 bits a byte (default: at once)\n"
         "  --cycles X           tone cycles per 1024-sample block, -512..512, may be\n"
         "                       fractional (default 37)\n"
         "  --harmonic H:DBC     add harmonic H (2..100) at DBC dB (-200..60) relative to\n"
         "                       the tone; repeatable\n"
         "  --spur X:DBC         add a tone at X cycles per block (-512..512), DBC as\n"
         "                       above; repeatable\n"
         "  --amplitude X        tone amplitude in counts, 0..32767 (default 8000)\n"
         "  --noise X            noise standard deviation in counts (default 30)\n"
         "  --help               show this text\n";
}
