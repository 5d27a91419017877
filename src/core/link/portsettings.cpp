#include "link/portsettings.h"

#include "platform/layoutnames.h"
#include "platform/profile.h"

std::string PortNameOf(const std::string& text) { return text.substr(0, text.find(' ')); }

std::uint32_t StoredBaudRate(const std::string& layoutFile) {
  const ProfileFile file(layoutFile);
  return static_cast<std::uint32_t>(
      file.ReadInteger(layout::SectionUsb, layout::KeyBaudRate, layout::DefaultBaudRate));
}
