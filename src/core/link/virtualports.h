#pragma once
// Virtual boards announce their ports here so that the port list can show
// them beside the machine's real serial ports. One record file per running
// board, named after its process id, removed when the board ends; records of
// boards that died without removing them are ignored. Each user's boards
// announce themselves in a folder of that user's own, so the port list shows
// the boards of the same user.
#include <optional>
#include <string>
#include <vector>

struct VirtualPort {
  std::string path;    // the device path the tool opens, e.g. /dev/pts/3
  std::string device;  // what the port list shows beside it
};

// $XDG_RUNTIME_DIR/tarnwick-ports, or /tmp/tarnwick-ports-<uid> where that
// variable is unset or empty.
std::string VirtualPortDirectory();

// Writes the record of this process and returns the record's file name. The
// folder is created (mode 0700) when missing, and used only when it is then a
// real folder, not a link, owned by this user: nothing when it is not.
std::optional<std::string> RegisterVirtualPort(const VirtualPort& port,
                                               const std::string& directory = VirtualPortDirectory());
void UnregisterVirtualPort(const std::string& recordFile);

// The ports of the boards that are running now, ordered by process id; none
// when the folder is not a real folder owned by this user.
std::vector<VirtualPort> ListVirtualPorts(const std::string& directory = VirtualPortDirectory());
