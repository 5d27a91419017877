#pragma once
// How a port name becomes a device path on a POSIX system.
#include <string>

// "/dev/ttyUSB0" as is; "COM3" is the third on-board port /dev/ttyS2; any other
// name lives in /dev. An empty result means the name cannot name a device.
std::string DevicePath(const std::string& portName);
