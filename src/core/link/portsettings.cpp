#include "link/portsettings.h"

#include <algorithm>

#include "link/netportname.h"
#include "platform/layoutnames.h"
#include "platform/profile.h"

std::string PortNameOf(const std::string& text) { return text.substr(0, text.find(' ')); }

std::uint32_t StoredBaudRate(const std::string& layoutFile) {
  const ProfileFile file(layoutFile);
  return static_cast<std::uint32_t>(
      file.ReadInteger(layout::SectionUsb, layout::KeyBaudRate, layout::DefaultBaudRate));
}

std::vector<std::string> ReadNetPorts(const ProfileFile& file) {
  std::vector<std::string> ports;
  for (const char* key : layout::KeyNetPorts) {
    const std::string name = file.ReadString(layout::SectionUsb, key, "");
    if (ParseNetPortName(name) && std::ranges::find(ports, name) == ports.end())
      ports.push_back(name);
  }
  return ports;
}

// One key per port. A key beyond them is left as it is: when the ports were
// read from this file and merged by WithNetPort, its name is one of them or
// no port at all, and reads back as nothing new.
void WriteNetPorts(ProfileFile& file, const std::vector<std::string>& ports) {
  for (std::size_t i = 0; i < ports.size() && i < layout::KeyNetPorts.size(); ++i)
    file.WriteString(layout::SectionUsb, layout::KeyNetPorts[i], ports[i]);
}

std::vector<std::string> WithNetPort(std::vector<std::string> ports, const std::string& name) {
  if (!ParseNetPortName(name)) return ports;
  std::erase(ports, name);
  ports.insert(ports.begin(), name);
  if (ports.size() > layout::KeyNetPorts.size()) ports.resize(layout::KeyNetPorts.size());
  return ports;
}
