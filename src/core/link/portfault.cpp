#include "link/portfault.h"

#include "link/netportname.h"

std::string PortFaultText(PortFault fault, const std::string& path, std::uint32_t baudRate) {
  switch (fault) {
    case PortFault::None: return "";
    case PortFault::Missing:
      return path.empty() ? "No port is chosen" : "Port " + path + " does not exist";
    case PortFault::NoPermission:
      return "No permission to open port " + path + ": " + std::string(NoPermissionAdvice);
    case PortFault::NotSerial: return path + " is not a serial port";
    case PortFault::RateRefused:
      return "Port " + path + " does not take " + std::to_string(baudRate) + " baud";
    case PortFault::Lost: return "Port lost: " + path + " has gone";
    default: return "Port is busy";
  }
}

std::string NetPortFaultText(PortFault fault, const std::string& endpoint, std::uint32_t baudRate) {
  const std::string port = "Port " + endpoint;
  switch (fault) {
    case PortFault::Busy: return port + " is busy: its server says \"Port already in use\"";
    case PortFault::Missing:
      return port + " names no host and port (rfc2217://HOST:PORT or socket://HOST:PORT)";
    case PortFault::Lost: return "Port lost: the connection to " + endpoint + " was closed";
    case PortFault::Refused:
      return port + " refuses the connection: no port server listens there";
    case PortFault::UnknownHost: return port + ": the host is unknown";
    case PortFault::NoAnswer:
      return port + " did not answer within " + std::to_string(NetConnectTimeoutMs / 1000) + " s";
    case PortFault::Unreachable: return port + " cannot be reached";
    default: return PortFaultText(fault, endpoint, baudRate);
  }
}
