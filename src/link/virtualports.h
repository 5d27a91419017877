#pragma once
// Virtual boards announce their ports here so that the port list can show
// them beside the machine's real serial ports. One record file per running
// board, named after its process id, removed when the board ends; records of
// boards that died without removing them are ignored.
#include <string>
#include <vector>

struct VirtualPort {
  std::string path;    // the device path the tool opens, e.g. /dev/pts/3
  std::string device;  // what the port list shows beside it
};

std::string VirtualPortDirectory();

// Writes the record of this process; returns the record's file name.
std::string RegisterVirtualPort(const VirtualPort& port,
                                const std::string& directory = VirtualPortDirectory());
void UnregisterVirtualPort(const std::string& recordFile);

// The ports of the boards that are running now, ordered by process id.
std::vector<VirtualPort> ListVirtualPorts(const std::string& directory = VirtualPortDirectory());
