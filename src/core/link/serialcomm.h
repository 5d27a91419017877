#pragma once
// The serial ports that Windows knows, as entries of the port list: the
// registry key HARDWARE\DEVICEMAP\SERIALCOMM holds one value per port, named
// after the device ("\Device\Serial0") with the port name ("COM3") as data.
#include <string>
#include <string_view>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

// The entry of one value: port name, two spaces, device name. The device
// name is what follows the first "\Device\" in the value's name, or the whole
// name without one. data is the value's raw data as returned: text that ends
// at its terminating zero, taken whole when it has none (also when empty).
std::string SerialCommEntry(std::string_view valueName, std::string_view data);

#ifdef _WIN32
// Appends the entry of every value of an open key, in the key's order. A
// value whose name or data exceeds 256 characters is skipped.
void AppendSerialCommPorts(HKEY key, std::vector<std::string>& list);
#endif
