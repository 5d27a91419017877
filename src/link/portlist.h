#pragma once
// The serial ports a Linux system really has, and the running virtual
// boards, as entries of the port list: port name, two spaces, device name.
#include <string>
#include <vector>

// sysClassTty is the kernel's tty class folder (/sys/class/tty), virtualDir
// the folder where virtual boards announce themselves.
void AppendSystemPorts(std::vector<std::string>& list, const std::string& sysClassTty,
                       const std::string& virtualDir);
