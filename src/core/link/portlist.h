#pragma once
// The serial ports a Linux system really has, and the running virtual
// boards, as entries of the port list: port name, two spaces, device name,
// and a note when this user may not open the port.
#include <functional>
#include <string>
#include <vector>

// sysClassTty is the kernel's tty class folder (/sys/class/tty), virtualDir
// the folder where virtual boards announce themselves; mayOpen tells whether
// this user may open a port, by its name in /dev.
void AppendSystemPorts(std::vector<std::string>& list, const std::string& sysClassTty,
                       const std::string& virtualDir,
                       const std::function<bool(const std::string& port)>& mayOpen);
