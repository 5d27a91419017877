#include "link/portfault.h"

std::string PortFaultText(PortFault fault, const std::string& path, std::uint32_t baudRate) {
  switch (fault) {
    case PortFault::None: return "";
    case PortFault::Busy: return "Port is busy";
    case PortFault::Missing:
      return path.empty() ? "No port is chosen" : "Port " + path + " does not exist";
    case PortFault::NoPermission:
      return "No permission to open port " + path + ": " + std::string(NoPermissionAdvice);
    case PortFault::NotSerial: return path + " is not a serial port";
    case PortFault::RateRefused:
      return "Port " + path + " does not take " + std::to_string(baudRate) + " baud";
    case PortFault::Lost: return "Port lost: " + path + " has gone";
  }
  return "Port is busy";
}
