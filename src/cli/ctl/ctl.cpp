#include "ctl/ctl.h"

#include <ostream>

#include "ctl/commands.h"
#include "ctl/measure.h"
#include "ctl/plot.h"
#include "ctl/recording.h"
#include "platform/errors.h"
#include "platform/messages.h"

namespace {

const OptionSpec GlobalOptions{{"--port", "--baud", "--layout"}, {"--json", "--help"}};

const std::vector<Command>& Commands() {
  static const std::vector<Command> commands{PortsCommand(), ReadCommand(), WriteCommand(),
                                             CheckCommand(), CaptureCommand(), PlotCommand(),
                                             MeasureCommand()};
  return commands;
}

constexpr const char* GlobalUsage =
    "usage: tarnwick-ctl [--port PORT] [--baud N] [--layout FILE] [--json] COMMAND [ARGS]\n"
    "  PORT: --port, else $TARNWICK_PORT; N: --baud, else the layout file's, else 115200;\n"
    "  FILE: --layout, else the one tarnwick reads (tarnwick --help tells where);\n"
    "  --json: each result as one JSON object. COMMAND --help: its usage.\n";

std::string UsageText() {
  std::string text = GlobalUsage;
  for (const Command& command : Commands()) text += command.usage;
  return text;
}

const Command& CommandNamed(const std::string& name) {
  for (const Command& command : Commands())
    if (command.name == name) return command;
  throw UsageFailure("unknown command " + name);
}

OptionSpec WithGlobalOptions(OptionSpec spec) {
  spec.valued.insert(spec.valued.end(), GlobalOptions.valued.begin(), GlobalOptions.valued.end());
  spec.switches.insert(spec.switches.end(), GlobalOptions.switches.begin(), GlobalOptions.switches.end());
  return spec;
}

// Global options may also follow the command.
int RunCommandLine(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
                   const CaptureClock& now) {
  ParsedArguments global = ParseArguments(arguments, GlobalOptions, /*untilCommand=*/true);
  if (global.positional.empty()) {
    if (!global.Has("--help")) throw UsageFailure("no command");
    out << UsageText();
    return ExitSuccess;
  }
  const Command& command = CommandNamed(global.positional[0]);
  const std::vector<std::string> rest(global.positional.begin() + 1, global.positional.end());
  const ParsedArguments own = ParseArguments(rest, WithGlobalOptions(command.options));
  if (own.Has("--help") || global.Has("--help")) {
    out << GlobalUsage << command.usage;
    return ExitSuccess;
  }
  global.options.insert(own.options.begin(), own.options.end());
  Session session(global, out, err, now);
  command.run(session, own);
  return ExitSuccess;
}

// A result that never reached its reader is a failure, whatever came before
// it: a script would go on with nothing. A failure of the command itself
// keeps its own status.
int WithOutputDelivered(int status, std::ostream& out, std::ostream& err) {
  if (out.flush()) return status;
  err << "tarnwick-ctl: unable to write to standard output\n";
  return status == ExitSuccess ? ExitOutput : status;
}

int RunCatching(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
                const CaptureClock& now) {
  try {
    return RunCommandLine(arguments, out, err, now);
  } catch (const UsageFailure& failure) {
    err << "tarnwick-ctl: " << failure.what() << " (tarnwick-ctl --help for the usage)\n";
    return ExitUsage;
  } catch (const CtlFailure& failure) {
    if (*failure.what()) err << failure.what() << '\n';
    return failure.status;
  } catch (const ConversionError& error) {
    // The panel's message, as its error box shows it.
    err << WithFullStop(error.what()) << '\n';
    return ExitUsage;
  }
}

}  // namespace

int RunCtl(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
           const CaptureClock& now) {
  return WithOutputDelivered(RunCatching(arguments, out, err, now), out, err);
}
