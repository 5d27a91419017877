// tarnwick-board: a virtual board on a pseudo-terminal, announced in the
// tool's port list, served until a stop signal arrives.
#include <csignal>
#include <filesystem>
#include <iostream>

#include "board/commandline.h"
#include "board/ptyboard.h"
#include "link/virtualports.h"

namespace fs = std::filesystem;

namespace {

// Blocked in every thread (the serving thread inherits the mask), so that
// the signals wait for sigwait instead of ending the process uncleanly.
sigset_t BlockStopSignals() {
  sigset_t signals;
  sigemptyset(&signals);
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&signals, signal);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  return signals;
}

// A link left behind by a board that was killed is replaced; anything else
// standing at the path is not touched.
void CreateLink(const fs::path& link, const std::string& target) {
  if (fs::is_symlink(link)) fs::remove(link);
  fs::create_symlink(target, link);
}

void Serve(const BoardCommandLine& line, const sigset_t& stopSignals) {
  PtyBoard board(line.options);
  if (!line.link.empty()) CreateLink(line.link, board.PortPath());
  const std::string directory = VirtualPortDirectory();
  const auto record = RegisterVirtualPort({board.PortPath(), line.name}, directory);
  if (!record)
    std::cerr << "tarnwick-board: " << directory
              << " is not a folder of this user's own: the port is served but not listed\n";
  std::cout << board.PortPath() << std::endl;

  int signal = 0;
  sigwait(&stopSignals, &signal);

  if (record) UnregisterVirtualPort(*record);
  if (!line.link.empty()) fs::remove(line.link);
}

}  // namespace

int main(int argc, char** argv) {
  BoardCommandLine line;
  try {
    line = ParseCommandLine({argv + 1, argv + argc});
  } catch (const UsageError& error) {
    std::cerr << "tarnwick-board: " << error.what() << "\n\n" << UsageText();
    return 2;
  }
  if (line.help) {
    std::cout << UsageText();
    return 0;
  }
  const sigset_t stopSignals = BlockStopSignals();
  try {
    Serve(line, stopSignals);
  } catch (const std::exception& error) {
    std::cerr << "tarnwick-board: " << error.what() << '\n';
    return 1;
  }
  return 0;
}
