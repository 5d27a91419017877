#include "link/netportname.h"

#include <charconv>
#include <string_view>

namespace {

constexpr std::string_view ComPortControlScheme = "rfc2217://";
constexpr std::string_view RawScheme = "socket://";

std::optional<std::uint16_t> PortNumber(std::string_view text) {
  unsigned number = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (error != std::errc() || end != text.data() + text.size() || number == 0 || number > 65535)
    return std::nullopt;
  return static_cast<std::uint16_t>(number);
}

}  // namespace

std::string NetPortName::Endpoint() const {
  const bool ipv6 = host.find(':') != std::string::npos;
  return (ipv6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

bool IsNetworkPortName(const std::string& name) {
  return name.starts_with(ComPortControlScheme) || name.starts_with(RawScheme);
}

std::optional<NetPortName> ParseNetPortName(const std::string& name) {
  if (!IsNetworkPortName(name)) return std::nullopt;
  NetPortName parsed;
  parsed.comPortControl = name.starts_with(ComPortControlScheme);
  std::string_view rest(name);
  rest.remove_prefix(parsed.comPortControl ? ComPortControlScheme.size() : RawScheme.size());
  std::string_view host;
  if (rest.starts_with('[')) {  // [IPv6]:PORT
    const auto close = rest.find(']');
    if (close == std::string_view::npos || rest.substr(close + 1, 1) != ":") return std::nullopt;
    host = rest.substr(1, close - 1);
    rest.remove_prefix(close + 2);
  } else {
    const auto colon = rest.rfind(':');
    if (colon == std::string_view::npos) return std::nullopt;
    host = rest.substr(0, colon);
    if (host.find(':') != std::string_view::npos) return std::nullopt;  // IPv6 wants brackets
    rest.remove_prefix(colon + 1);
  }
  const auto port = PortNumber(rest);
  if (host.empty() || !port) return std::nullopt;
  parsed.host = std::string(host);
  parsed.port = *port;
  return parsed;
}
