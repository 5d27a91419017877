#pragma once
// Ports on another machine, named as pyserial and the tools built on it name
// them: "rfc2217://HOST:PORT" for a port server speaking the Telnet Com Port
// Control Option, "socket://HOST:PORT" for one passing raw bytes. HOST is a
// name, an IPv4 address or an IPv6 address in brackets.
#include <cstdint>
#include <optional>
#include <string>

// A host that has taken no connection within this is not there to take one.
inline constexpr int NetConnectTimeoutMs = 3000;

struct NetPortName {
  bool comPortControl = false;  // rfc2217://: Telnet with the serial settings
  std::string host;             // without the brackets of an IPv6 address
  std::uint16_t port = 0;

  // "HOST:PORT" ("[HOST]:PORT" for an IPv6 address), as messages name it.
  std::string Endpoint() const;
};

// True for every name that starts as a network port does, even one that
// then names no host or port: such a name is a mistyped network port, never
// a device.
bool IsNetworkPortName(const std::string& name);

// The host and port of a network port name; nothing for any other name, or
// one without a host or a port from 1 to 65535.
std::optional<NetPortName> ParseNetPortName(const std::string& name);
