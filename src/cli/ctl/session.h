#pragma once
// What every command of tarnwick-ctl works with: its arguments, the port
// and layout file that the global options chose, and where output goes.
#include <cstdint>
#include <iosfwd>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "ctl/ctl.h"
#include "link/registercommand.h"

// Ends a command with its exit status; the message, when there is one, goes
// to standard error.
struct CtlFailure : std::runtime_error {
  CtlFailure(ExitStatus status, const std::string& message)
      : std::runtime_error(message), status(status) {}
  ExitStatus status;
};

// A link error as tarnwick-ctl ends with it: the message the panel's box
// shows (why the port could not be opened, "Timeout", or that its device has
// gone) and the status that tells it apart.
CtlFailure LinkFailure(LinkError error, const TComPort& port);

struct UsageFailure : CtlFailure {
  explicit UsageFailure(const std::string& message) : CtlFailure(ExitUsage, message) {}
};

// The options a command line may carry: those that take a value and the
// plain switches.
struct OptionSpec {
  std::vector<std::string> valued;
  std::vector<std::string> switches;
};

// A command line split into options ("--name" or "-n", with its value, or
// empty for a switch; "--name=value" too) and the other arguments in order.
struct ParsedArguments {
  std::map<std::string, std::string> options;
  std::vector<std::string> positional;

  bool Has(const std::string& option) const { return options.count(option) > 0; }
  std::string Value(const std::string& option, const std::string& otherwise) const;
};

// Throws UsageFailure for an unknown option or a missing value. With
// `untilCommand`, the first argument that is no option ends the options.
ParsedArguments ParseArguments(const std::vector<std::string>& arguments, const OptionSpec& spec,
                               bool untilCommand = false);

// Throws UsageFailure ("expected " + what) unless there are exactly `count`
// arguments besides the options.
void ExpectArguments(const ParsedArguments& arguments, std::size_t count, const std::string& what);

// --rate MHZ when it is given; throws UsageFailure unless it is a rate above
// zero that gives a finite rate in Hz.
std::optional<double> RateOption(const ParsedArguments& arguments);

// -n B when it is given; throws UsageFailure unless it is a count of blocks
// from 1 on.
std::optional<std::int64_t> BlockCountOption(const ParsedArguments& arguments);

class Session {
 public:
  Session(const ParsedArguments& global, std::ostream& out, std::ostream& err, CaptureClock now);

  bool json = false;
  std::ostream& out;
  std::ostream& err;
  CaptureClock now;  // what a capture's 5-second limit is measured by

  // The layout file the options name, or tarnwick.ini beside the program;
  // it may not exist.
  const std::string& LayoutFile() const { return layoutFile_; }

  // Gives the port its name and rate; throws UsageFailure when no port is
  // named.
  void Configure(TComPort& port) const;
  // Configures the port, opens it and waits for a quiet line; throws
  // LinkFailure(CannotOpen, port) when the port cannot be had.
  void Open(TComPort& port) const;
  std::string PortName() const;  // as the options name it; empty for none
  // The capture window's sample rate in MHz, from the layout file's FREQ;
  // the built-in rate, with a warning, when the file gives none. Throws
  // UsageFailure for a FREQ that is no rate.
  double LayoutRateMHz() const;

 private:
  std::string portText_;
  std::optional<std::uint32_t> baudRate_;
  std::string layoutFile_;
};
