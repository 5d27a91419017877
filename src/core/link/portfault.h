#pragma once
// Why a port could not be opened, told so that the user knows what to do:
// wait for the other program, fix the name, ask for the right, pick another
// device or another rate.
#include <cstdint>
#include <string>
#include <string_view>

enum class PortFault {
  None,
  Busy,          // another program holds it
  Missing,       // no such device
  NoPermission,  // the system refuses this user the device
  NotSerial,     // a file, a folder, or a device that is no terminal
  RateRefused,   // the line does not take the baud rate (or no line runs at it)
  Lost,          // an open port whose device went away: unplugged, its server gone
  // A port on another machine only:
  Refused,       // nobody listens at that host and port
  UnknownHost,   // the host's name resolves to no address
  NoAnswer,      // the host did not take the connection in time
  Unreachable,   // no route to the host
};

// Debian, Ubuntu and Fedora give the serial devices to the group dialout:
// the port list and a refused open advise the same.
inline constexpr std::string_view NoPermissionAdvice = "join the dialout group";

// The message for an open that failed, or a port lost, naming the device; "Port is busy" for
// one that another program holds, as it always read.
std::string PortFaultText(PortFault fault, const std::string& path, std::uint32_t baudRate);

// The same for a port on another machine, naming its host and port (the
// whole port name when it names none).
std::string NetPortFaultText(PortFault fault, const std::string& endpoint, std::uint32_t baudRate);
