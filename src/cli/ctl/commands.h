#pragma once
// The commands of tarnwick-ctl. Each throws CtlFailure to end with a status
// other than success.
#include <functional>
#include <string>

#include "ctl/session.h"

struct Command {
  std::string name;
  std::string usage;  // its lines of the usage text
  OptionSpec options;
  std::function<void(Session&, const ParsedArguments&)> run;
};

Command PortsCommand();
Command ReadCommand();
Command WriteCommand();
Command CheckCommand();
