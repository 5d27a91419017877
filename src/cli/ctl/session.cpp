#include "ctl/session.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <utility>

#include "link/comport.h"
#include "link/portsettings.h"
#include "panel/layoutmodel.h"
#include "platform/layoutnames.h"
#include "platform/numtext.h"
#include "platform/paths.h"
#include "platform/profile.h"

namespace {

bool Contains(const std::vector<std::string>& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

// "-1" is an address, not an option.
bool IsOption(const std::string& argument) {
  return argument.size() > 1 && argument[0] == '-' && !ParseIntegerText(argument, true);
}

std::uint32_t BaudRateOf(const std::string& text) {
  const auto rate = ParseIntegerText(text);
  if (!rate || *rate < 0 || *rate > std::numeric_limits<std::uint32_t>::max())
    throw UsageFailure("'" + text + "' is not a baud rate");
  return static_cast<std::uint32_t>(*rate);
}

}  // namespace

std::string ParsedArguments::Value(const std::string& option, const std::string& otherwise) const {
  const auto found = options.find(option);
  return found == options.end() ? otherwise : found->second;
}

ParsedArguments ParseArguments(const std::vector<std::string>& arguments, const OptionSpec& spec,
                               bool untilCommand) {
  ParsedArguments parsed;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (!IsOption(argument)) {
      if (untilCommand) {
        parsed.positional.assign(arguments.begin() + static_cast<std::ptrdiff_t>(i), arguments.end());
        break;
      }
      parsed.positional.push_back(argument);
      continue;
    }
    const auto equals = argument.find('=');
    const std::string name = argument.substr(0, equals);
    if (Contains(spec.valued, name)) {
      if (equals == std::string::npos && i + 1 == arguments.size())
        throw UsageFailure(name + " needs a value");
      parsed.options[name] = equals == std::string::npos ? arguments[++i] : argument.substr(equals + 1);
    } else if (Contains(spec.switches, argument)) {
      parsed.options[argument] = "";
    } else {
      throw UsageFailure("unknown option " + argument);
    }
  }
  return parsed;
}

void ExpectArguments(const ParsedArguments& arguments, std::size_t count, const std::string& what) {
  if (arguments.positional.size() != count) throw UsageFailure("expected " + what);
}

std::optional<double> RateOption(const ParsedArguments& arguments) {
  if (!arguments.Has("--rate")) return std::nullopt;
  const std::string text = arguments.Value("--rate", "");
  const auto megahertz = ParseDecimalText(text);
  if (megahertz && *megahertz > 0 && std::isfinite(*megahertz * 1e6)) return megahertz;
  throw UsageFailure("'" + text + "' is not a sample rate in MHz");
}

std::optional<std::int64_t> BlockCountOption(const ParsedArguments& arguments) {
  if (!arguments.Has("-n")) return std::nullopt;
  const std::string text = arguments.Value("-n", "");
  const auto blocks = ParseIntegerText(text);
  if (blocks && *blocks >= 1) return blocks;
  throw UsageFailure("'" + text + "' is not a block count");
}

Session::Session(const ParsedArguments& global, std::ostream& out, std::ostream& err,
                 CaptureClock now)
    : json(global.Has("--json")), out(out), err(err), now(std::move(now)) {
  const char* environment = std::getenv("TARNWICK_PORT");
  portText_ = global.Value("--port", environment ? environment : "");
  layoutFile_ = global.Value("--layout", LayoutFilesOfThisProgram().read);
  if (global.Has("--baud")) baudRate_ = BaudRateOf(global.Value("--baud", ""));
}

std::string Session::PortName() const { return PortNameOf(portText_); }

void Session::Configure(TComPort& port) const {
  port.PortName = PortName();
  if (port.PortName.empty()) throw UsageFailure("no port: give --port PORT or set TARNWICK_PORT");
  port.BaudRate = baudRate_ ? *baudRate_ : StoredBaudRate(layoutFile_);
  port.Warn = [this](const std::string& text) { err << "tarnwick-ctl: warning: " << text << '\n'; };
}

void Session::Open(TComPort& port) const {
  Configure(port);
  if (!port.Open()) throw LinkFailure(LinkError::CannotOpen, port);
  DropLateAnswers(port);
}

double Session::LayoutRateMHz() const {
  const ProfileFile layout(layoutFile_);
  const double megahertz = ReadChartSettings(layout).display.FreqMHz;
  if (!layout.HasKey(layout::SectionChart, layout::KeyFreq))
    err << "tarnwick-ctl: warning: no sample rate given (--rate MHZ, or FREQ in the layout file); "
           "taking "
        << megahertz << " MHz\n";
  if (megahertz > 0 && std::isfinite(megahertz * 1e6)) return megahertz;
  throw UsageFailure("the layout file's FREQ is no sample rate: give --rate MHZ");
}

// A rate is the command line's choice (or the layout file's): refused, it is
// a usage error like any other bad option; the other faults are the port's.
CtlFailure LinkFailure(LinkError error, const TComPort& port) {
  if (error == LinkError::CannotOpen)
    return CtlFailure(port.Fault == PortFault::RateRefused ? ExitUsage : ExitPort,
                      port.FaultText());
  return CtlFailure(ExitAnswer, port.Fault == PortFault::Lost ? port.FaultText() : "Timeout");
}
