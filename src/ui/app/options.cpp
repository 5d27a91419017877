#include "app/options.h"

#include "platform/paths.h"
#include "version.h"

namespace {

std::string VersionText() {
  return "tarnwick " + std::string(TarnwickVersion) + " (build " + std::to_string(TarnwickBuild) + ")\n";
}

std::string HelpText() {
  return "usage: tarnwick [--version | --help | Qt options such as -platform NAME]\n"
         "A register panel and a capture window for the Tarnwick board over a serial port.\n"
         "  --version  print the version and exit\n"
         "  --help     print this text and exit\n"
         "The layout (panel, baud rate, chart settings) is kept in tarnwick.ini beside the\n"
         "program when the user may write its folder, else in ~/.config/tarnwick/tarnwick.ini\n"
         "($XDG_CONFIG_HOME/tarnwick/tarnwick.ini when that is set). Here it is saved to\n"
         "  " + LayoutFilesOfThisProgram().write + "\n";
}

}  // namespace

std::optional<std::string> OwnOptionAnswer(const std::vector<std::string>& arguments) {
  for (const std::string& argument : arguments) {
    if (argument == "--version") return VersionText();
    if (argument == "--help") return HelpText();
  }
  return std::nullopt;
}
