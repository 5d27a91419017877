#include "link/portlist.h"

#include "link/comport.h"
#include "link/portfault.h"
#include "link/virtualports.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string FirstLine(const fs::path& file) {
  std::ifstream in(file);
  std::string line;
  std::getline(in, line);
  return line;
}

// An on-board UART slot that the driver found no chip for reports type 0.
bool IsPhantomUart(const fs::path& tty) {
  std::error_code error;
  return fs::exists(tty / "type", error) && FirstLine(tty / "type") == "0";
}

// The product name of a USB adapter, else the driver that serves the port.
std::string DeviceName(const fs::path& tty) {
  std::error_code error;
  fs::path device = fs::canonical(tty / "device", error);
  if (error) return tty.filename().string();
  std::string driver;
  for (int level = 0; level < 5 && device.has_relative_path(); ++level) {
    if (fs::exists(device / "product", error)) return FirstLine(device / "product");
    const fs::path link = device / "driver";
    if (driver.empty() && fs::is_symlink(link, error)) {
      const fs::path target = fs::read_symlink(link, error);
      // The serial core's own layers ("port", "ctrl") name no hardware.
      if (target.string().find("/serial-base/") == std::string::npos)
        driver = target.filename().string();
    }
    device = device.parent_path();
  }
  return driver.empty() ? tty.filename().string() : driver;
}

// Natural order, so that ttyUSB2 comes before ttyUSB10.
bool NaturalLess(const std::string& a, const std::string& b) {
  const auto split = [](const std::string& s) {
    const auto digits = s.find_last_not_of("0123456789") + 1;
    const std::string tail = s.substr(digits);
    return std::make_pair(s.substr(0, digits), tail.empty() ? -1L : std::stol(tail));
  };
  return split(a) < split(b);
}

// Only a refusal counts: a node that is missing or on a read-only file
// system is no matter of this user's groups.
bool MayOpenDevice(const std::string& port) {
  return access(("/dev/" + port).c_str(), R_OK | W_OK) == 0 || errno != EACCES;
}

}  // namespace

void AppendSystemPorts(std::vector<std::string>& list, const std::string& sysClassTty,
                       const std::string& virtualDir,
                       const std::function<bool(const std::string& port)>& mayOpen) {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(sysClassTty, error)) {
    const fs::path tty = entry.path();
    // Consoles, virtual terminals and ptys have no device behind them.
    if (!fs::exists(tty / "device", error) || IsPhantomUart(tty)) continue;
    names.push_back(tty.filename().string());
  }
  std::sort(names.begin(), names.end(), NaturalLess);
  for (const auto& name : names) {
    const std::string note =
        mayOpen(name) ? "" : " (no permission: " + std::string(NoPermissionAdvice) + ")";
    list.push_back(name + "  " + DeviceName(fs::path(sysClassTty) / name) + note);
  }
  for (const auto& port : ListVirtualPorts(virtualDir)) list.push_back(port.path + "  " + port.device);
}

void TComPort::EnumPorts(std::vector<std::string>& list) {
  AppendSystemPorts(list, "/sys/class/tty", VirtualPortDirectory(), MayOpenDevice);
}
